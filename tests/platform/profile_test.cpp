// The platform's profile functions on real files: the Windows functions in the
// Windows build, the stand-in elsewhere, held to the same cases.
#include "platform/profile.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/platform/profile_samples.h"
#include "tests/support/temp_game_folder.h"

namespace cw::platform {
namespace {

const std::string kIni = "Data/Cradlewright/Settings/a.ini";

class ProfileReadTest : public testing::TestWithParam<test::ProfileReadCase> {
 protected:
  test::TempGameFolder game_;
};

TEST_P(ProfileReadTest, FindsTheValueOrGivesTheDefault) {
  test::TempGameFolder::Write(kIni, test::kProfileSample);
  const test::ProfileReadCase& c = GetParam();
  EXPECT_EQ(ReadProfileText(c.section, c.key, "def", 500, kIni), c.value.value_or("def"))
      << "[" << c.section << "] " << c.key;
}

INSTANTIATE_TEST_SUITE_P(Sample, ProfileReadTest, testing::ValuesIn(test::kProfileReadCases));

class ProfileIntTest : public testing::TestWithParam<test::ProfileIntCase> {
 protected:
  test::TempGameFolder game_;
};

TEST_P(ProfileIntTest, ReadsTheStoredInteger) {
  test::TempGameFolder::Write(kIni, std::string("[N]\r\nk=") + GetParam().text + "\r\n");
  EXPECT_EQ(ReadProfileInt("N", "k", 77, kIni), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Texts, ProfileIntTest, testing::ValuesIn(test::kProfileIntCases));

TEST(ProfileRead, DefaultsCutsAndPathForms) {
  test::TempGameFolder game;
  test::TempGameFolder::Write(kIni, "[Sec]\r\nKey=value one\r\nempty=\r\nq=\"12\"\r\n");
  // The default loses its trailing blanks only.
  EXPECT_EQ(ReadProfileText("Sec", "missing", "  de f  ", 500, kIni), "  de f");
  // Values and defaults are cut to the buffer with its NUL.
  EXPECT_EQ(ReadProfileText("Sec", "Key", "def", 5, kIni), "valu");
  EXPECT_EQ(ReadProfileText("Sec", "missing", "defaultlong", 5, kIni), "defa");
  EXPECT_EQ(ReadProfileText("Sec", "Key", "def", 1, kIni), "");
  EXPECT_EQ(ReadProfileText("Sec", "Key", "def", 500, "Data\\Cradlewright\\Settings\\a.ini"),
            "value one");
  EXPECT_EQ(ReadProfileText("Sec", "Key", "def", 500, "Data/Cradlewright/Settings/none.ini"),
            "def");
  EXPECT_EQ(ReadProfileText("Sec", "Key", "def", 500, "Data/Cradlewright/None/a.ini"), "def");
  // The integer reader gives the default for a missing key and an empty value.
  EXPECT_EQ(ReadProfileInt("Sec", "missing", -5, kIni), -5);
  EXPECT_EQ(ReadProfileInt("Sec", "empty", -5, kIni), -5);
  EXPECT_EQ(ReadProfileInt("Sec", "q", -5, kIni), 12);
  EXPECT_EQ(ReadProfileInt("Sec", "Key", 0, "Data/Cradlewright/None/a.ini"), 0);
}

TEST(ProfileWrite, CreatesFileSectionAndKeyAndReplacesValues) {
  test::TempGameFolder game;
  test::TempGameFolder::MakeFolder("Data/Cradlewright/Settings");
  EXPECT_TRUE(WriteProfileText("S", "k", "v", kIni));
  EXPECT_TRUE(WriteProfileText("T", "k2", "w", kIni));
  EXPECT_TRUE(WriteProfileText("s", "K3", "v3", kIni));
  EXPECT_TRUE(WriteProfileText("S", "K", "v4", kIni));
  EXPECT_TRUE(WriteProfileText("", "top", "t", kIni));
  EXPECT_TRUE(WriteProfileText("S", "", "nameless", kIni));
  EXPECT_EQ(ReadProfileText("S", "k", "def", 500, kIni), "v4");
  EXPECT_EQ(ReadProfileText("S", "k3", "def", 500, kIni), "v3");
  EXPECT_EQ(ReadProfileText("T", "k2", "def", 500, kIni), "w");
  EXPECT_EQ(ReadProfileText("", "top", "def", 500, kIni), "t");
  EXPECT_EQ(ReadProfileText("S", "", "def", 500, kIni), "nameless");
  EXPECT_EQ(ReadProfileText("T", "k", "def", 500, kIni), "def");
  // Written through the other separator, read back through the first.
  EXPECT_TRUE(WriteProfileText("T", "k2", "x", "Data\\Cradlewright\\Settings\\a.ini"));
  EXPECT_EQ(ReadProfileText("T", "k2", "def", 500, kIni), "x");
}

TEST(ProfileWrite, KeepsEveryOtherSetting) {
  test::TempGameFolder game;
  test::TempGameFolder::Write(kIni, "; head\n[A]\n a = 1 \n\n; tail\n\n[B]\nb=2");
  EXPECT_TRUE(WriteProfileText("A", "c", "3", kIni));
  EXPECT_TRUE(WriteProfileText("B", "d", "4", kIni));
  EXPECT_TRUE(WriteProfileText("C", "e", "5", kIni));
  EXPECT_TRUE(WriteProfileText("a", "A", "9", kIni));
  const std::pair<const char*, const char*> expected[] = {
      {"A", "a"}, {"A", "c"}, {"B", "b"}, {"B", "d"}, {"C", "e"}};
  const char* values[] = {"9", "3", "2", "4", "5"};
  for (std::size_t i = 0; i < std::size(expected); ++i)
    EXPECT_EQ(ReadProfileText(expected[i].first, expected[i].second, "def", 500, kIni), values[i])
        << expected[i].first << "/" << expected[i].second;
}

TEST(ProfileWrite, RefusesAMissingFolderAndLeavesReadOnlyFiles) {
  test::TempGameFolder game;
  EXPECT_FALSE(WriteProfileText("A", "a", "1", "Data/Cradlewright/None/a.ini"));
  EXPECT_FALSE(std::filesystem::exists("Data/Cradlewright/None"));

  test::TempGameFolder::Write(kIni, "[A]\r\na=1\r\n");
  if (!test::TempGameFolder::MakeReadOnly(kIni))
    GTEST_SKIP() << "this system lets the administrator write read-only files";
  EXPECT_FALSE(WriteProfileText("A", "a", "2", kIni));
  EXPECT_EQ(test::TempGameFolder::Read(kIni), "[A]\r\na=1\r\n");
}

TEST(ProfileWrite, FindsTheFileWhateverTheCaseOfItsPath) {
  test::TempGameFolder game;
  test::TempGameFolder::Write(kIni, "[A]\r\na=1\r\n");
  const std::string other = "data\\CRADLEWRIGHT\\settings\\A.INI";
  EXPECT_EQ(ReadProfileText("A", "a", "def", 500, other), "1");
  EXPECT_TRUE(WriteProfileText("A", "a", "2", other));
  EXPECT_EQ(test::TempGameFolder::Read(kIni), "[A]\r\na=2\r\n");
}
TEST(ProfileWrite, RefusesLinesThatWouldChangeOtherSettings) {
  test::TempGameFolder game;
  test::TempGameFolder::Write(kIni, "[A]\r\na=1\r\n");
  EXPECT_FALSE(WriteProfileText("A", "n", "x\r\n[Z]\r\nz=1", kIni));
  EXPECT_FALSE(WriteProfileText("A", "a=b", "1", kIni));
  EXPECT_EQ(test::TempGameFolder::Read(kIni), "[A]\r\na=1\r\n");
}

#if !defined(_WIN32)
// The stand-in goes beyond what the Windows functions promise: other lines stay
// byte for byte, no temporary file is left behind and the file keeps its mode.
TEST(ProfileWriteStandIn, EditsInPlaceAndLeavesNothingBehind) {
  test::TempGameFolder game;
  test::TempGameFolder::Write(kIni, "; head\n[A]\n a = 1 \n\n; tail\n\n[B]\nb=2");
  std::filesystem::permissions(kIni, std::filesystem::perms::owner_read |
                                         std::filesystem::perms::owner_write |
                                         std::filesystem::perms::others_read);
  EXPECT_TRUE(WriteProfileText("A", "c", "3", kIni));
  EXPECT_TRUE(WriteProfileText("a", "A", "9", kIni));
  EXPECT_EQ(test::TempGameFolder::Read(kIni), "; head\n[A]\na=9\n\n; tail\nc=3\n\n[B]\nb=2");
  EXPECT_EQ(std::filesystem::status(kIni).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                std::filesystem::perms::others_read);
  int entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator("Data/Cradlewright/Settings")) {
    (void)entry;
    ++entries;
  }
  EXPECT_EQ(entries, 1);
}

#endif

}  // namespace
}  // namespace cw::platform
