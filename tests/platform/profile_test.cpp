// The platform's profile functions on real files: the Windows functions in the
// Windows build, the stand-in elsewhere, held to the same cases.
#include "platform/profile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

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

// A UTF-16 file stays UTF-16, its other settings kept.
TEST(ProfileWrite, KeepsAUtf16FileUtf16) {
  test::TempGameFolder game;
  const auto utf16 = [](std::string_view text) {
    std::string bytes = "\xFF\xFE";
    for (char c : text) bytes += {c, '\0'};
    return bytes;
  };
  test::TempGameFolder::Write(kIni, utf16("[A]\r\na=1\r\n"));
  EXPECT_TRUE(WriteProfileText("A", "b", "2", kIni));
  EXPECT_TRUE(WriteProfileText("C", "c", "3", kIni));
  const std::string bytes = test::TempGameFolder::Read(kIni);
  EXPECT_EQ(bytes.substr(0, 4), utf16("["));
  EXPECT_NE(bytes.find(utf16("b=2").substr(2)), std::string::npos);
  for (const auto& [section, key, value] :
       {std::tuple{"A", "a", "1"}, {"A", "b", "2"}, {"C", "c", "3"}})
    EXPECT_EQ(ReadProfileText(section, key, "def", 500, kIni), value) << key;
}

// Writers on several threads at once lose no update of one another.
TEST(ProfileWrite, ConcurrentWritersLoseNothing) {
  test::TempGameFolder game;
  test::TempGameFolder::MakeFolder("Data/Cradlewright/Settings");
  constexpr int kThreads = 4, kWrites = 10;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([t] {
      for (int i = 0; i < kWrites; ++i)
        WriteProfileText("T" + std::to_string(t), "k" + std::to_string(i), std::to_string(i), kIni);
    });
  for (std::thread& thread : threads) thread.join();
  for (int t = 0; t < kThreads; ++t)
    for (int i = 0; i < kWrites; ++i)
      EXPECT_EQ(ReadProfileText("T" + std::to_string(t), "k" + std::to_string(i), "-", 500, kIni),
                std::to_string(i));
}

// A write that cannot complete, as on a full disk, leaves the old file byte for
// byte and nothing beside it. ctest runs this under a file-size limit of
// CW_FILE_SIZE_LIMIT bytes (cw_profile_write_size_limit); elsewhere it is skipped.
TEST(ProfileWriteUnderSizeLimit, LeavesTheOldFileWhole) {
  const char* limitText = std::getenv("CW_FILE_SIZE_LIMIT");
  if (limitText == nullptr) GTEST_SKIP() << "needs the file-size limit that ctest sets";
  const std::size_t limit = std::stoull(limitText);
  test::TempGameFolder game;
  std::string original = "[S]\r\n";
  for (int i = 0; original.size() + 4096 < limit; ++i)
    original += "key" + std::to_string(i) + "=value of setting " + std::to_string(i) + "\r\n";
  test::TempGameFolder::Write(kIni, original);
  ASSERT_EQ(test::TempGameFolder::Read(kIni), original);

  EXPECT_FALSE(WriteProfileText("S", "added", std::string(8192, 'x'), kIni));
  EXPECT_FALSE(WriteProfileText("Z", "added", std::string(8192, 'x'), kIni));
  EXPECT_TRUE(test::TempGameFolder::Read(kIni) == original) << "the old file changed";
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("Data/Cradlewright/Settings"),
                          std::filesystem::directory_iterator()),
            1);
  // A write that fits is still made.
  EXPECT_TRUE(WriteProfileText("S", "key0", "changed", kIni));
  EXPECT_EQ(ReadProfileText("S", "key0", "def", 500, kIni), "changed");
  EXPECT_EQ(ReadProfileText("S", "key1", "def", 500, kIni), "value of setting 1");
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
