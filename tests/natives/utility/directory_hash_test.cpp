#include "natives/utility/directory_hash.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "tests/support/temp_game_folder.h"

namespace cw::utility {
namespace {

const std::string kMod = "Data/Cradlewright/";

TEST(FormatDirectoryHash, BuildsTheFiveGroups) {
  const struct {
    DirectoryTotals totals;
    const char* text;
  } cases[] = {
      {{0, 0, 0}, "0002-003-000-560b-000000"},
      {{1, 5, 10}, "0013-558-005-f615-00000a"},
      {{2, 8, 9}, "0024-88b-008-ef14-000009"},
      {{1, 3, -1}, "0013-336-003-450a-ffffff"},
      // Negative remainders are written from their two's-complement digits.
      {{-1, -1, -12345}, "fff1-ff2-fff-2170-ffcfc7"},
      {{4096, 3000, 8388500}, "0003-846-384-f6b5-000000"},
      {{std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::min(),
        std::numeric_limits<std::int32_t>::max()},
       "0007-ee1-ddc-6d6c-006bff"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FormatDirectoryHash(c.totals), c.text)
        << c.totals.entries << " " << c.totals.nameBytes << " " << c.totals.sizeSum;
}

TEST(DirectoryHash, WorkedExamples) {
  test::TempGameFolder game;
  EXPECT_EQ(DirectoryHash("Missing"), "0002-003-000-560b-000000");
  test::TempGameFolder::MakeFolder(kMod + "Empty");
  EXPECT_EQ(DirectoryHash("Empty"), "0002-003-000-560b-000000");
  test::TempGameFolder::Write(kMod + "One/a.txt", "0123456789");
  EXPECT_EQ(DirectoryHash("One"), "0013-558-005-f615-00000a");
  test::TempGameFolder::MakeFolder(kMod + "One/sub");
  EXPECT_EQ(DirectoryHash("One"), "0024-88b-008-ef14-000009");
  EXPECT_EQ(DirectoryHash("One\\"), "0024-88b-008-ef14-000009");
  EXPECT_EQ(DirectoryHash("One/"), "0024-88b-008-ef14-000009");
  test::TempGameFolder::MakeFolder(kMod + "Two/sub");
  EXPECT_EQ(DirectoryHash("Two"), "0013-336-003-450a-ffffff");
}

TEST(DirectoryHash, FollowsCountNameLengthsAndSizes) {
  test::TempGameFolder game;
  test::TempGameFolder::Write(kMod + "F/a.txt", "12345");
  test::TempGameFolder::Write(kMod + "F/bb.txt", "1234567");
  const std::string base = DirectoryHash("F");
  test::TempGameFolder::Write(kMod + "F/a.txt", "123456");
  const std::string grown = DirectoryHash("F");
  EXPECT_NE(grown, base);
  std::filesystem::rename(kMod + "F/a.txt", kMod + "F/z.txt");
  EXPECT_EQ(DirectoryHash("F"), grown);
  test::TempGameFolder::Write(kMod + "F/c.txt", "");
  EXPECT_NE(DirectoryHash("F"), grown);
}

#if !defined(_WIN32)
// Each entry is sized by the name the listing gives, even a name that Windows
// would read as another (a trailing dot) or one that differs only in case.
TEST(SumDirectory, SizesEntriesByTheirListedNames) {
  test::TempGameFolder game;
  test::TempGameFolder::Write(kMod + "F/a.", "0123456789");
  test::TempGameFolder::Write(kMod + "F/B.txt", "12");
  test::TempGameFolder::Write(kMod + "F/b.txt", "123");
  const DirectoryTotals totals = SumDirectory(kMod + "F/");
  EXPECT_EQ(totals.entries, 3);
  EXPECT_EQ(totals.nameBytes, 12);
  EXPECT_EQ(totals.sizeSum, 15);
}
#endif

TEST(DirectoryHash, HashesTheExampleSaves) {
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(std::filesystem::path(CW_SOURCE_DIR) / "examples" / "game");
  // notes.log, save000.txt and save001.txt: N 3, L 31, S 80.
  EXPECT_EQ(DirectoryHash("Saves"), "0035-937-01f-865b-000050");
  std::filesystem::current_path(previous);
}

}  // namespace
}  // namespace cw::utility
