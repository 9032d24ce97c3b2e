#include "platform/files.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/temp_game_folder.h"

namespace cw::platform {
namespace {

std::string ReadThrough(const std::string& path) {
  std::FILE* file = OpenFile(path, "rb");
  if (file == nullptr) return "<none>";
  char buffer[64] = {};
  const std::size_t got = std::fread(buffer, 1, sizeof buffer - 1, file);
  std::fclose(file);
  return std::string(buffer, got);
}

TEST(OpenFile, ResolvesPathsAsWindowsDoes) {
  test::TempGameFolder game;
  test::TempGameFolder::Write("Data/Scripts/Quest.pex", "pex");
  const struct {
    const char* path;
    const char* content;
  } cases[] = {
      {"Data/Scripts/Quest.pex", "pex"},     {"Data\\Scripts\\Quest.pex", "pex"},
      {"data/scripts/quest.PEX", "pex"},     {"DATA\\SCRIPTS/QUEST.pex", "pex"},
      {"Data//Scripts\\\\Quest.pex", "pex"}, {"Data/Scripts/../Scripts/Quest.pex", "pex"},
      {"Data/Scripts/Quest.pex.", "pex"},    {"Data/Scripts/Missing.pex", "<none>"},
      {"Data/Missing/Quest.pex", "<none>"},  {"", "<none>"},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadThrough(c.path), c.content) << c.path;
}

TEST(OpenFile, CreatesAMissingFileInTheExistingFolder) {
  test::TempGameFolder game;
  test::TempGameFolder::MakeFolder("Data/Cradlewright/Saves");
  std::FILE* file = OpenFile("data\\cradlewright\\saves\\New.txt", "wb");
  ASSERT_NE(file, nullptr);
  std::fputs("new", file);
  std::fclose(file);
  EXPECT_EQ(test::TempGameFolder::Read("Data/Cradlewright/Saves/New.txt"), "new");
  EXPECT_EQ(OpenFile("Data/Cradlewright/NoFolder/New.txt", "wb"), nullptr);
}

TEST(IsReadableWritable, PassesOnlyFilesOpenForWriting) {
  test::TempGameFolder game;
  test::TempGameFolder::Write("Data/Cradlewright/rw.txt", "x");
  test::TempGameFolder::Write("Data/Cradlewright/Sub/inner.txt", "x");
  const struct {
    const char* path;
    bool passes;
  } cases[] = {
      {"Data/Cradlewright/rw.txt", true},    {"DATA\\CRADLEWRIGHT\\RW.TXT", true},
      {"Data/Cradlewright/Sub", false},      {"Data/Cradlewright/Sub/", false},
      {"Data/Cradlewright/none.txt", false}, {"Data/Cradlewright/None/x.txt", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsReadableWritable(c.path), c.passes) << c.path;
  EXPECT_FALSE(std::filesystem::exists("Data/Cradlewright/none.txt"));
  EXPECT_EQ(test::TempGameFolder::Read("Data/Cradlewright/rw.txt"), "x");
}

TEST(IsReadableWritable, FailsForAReadOnlyFile) {
  test::TempGameFolder game;
  test::TempGameFolder::Write("Data/Cradlewright/ro.txt", "x");
  if (!test::TempGameFolder::MakeReadOnly("Data/Cradlewright/ro.txt"))
    GTEST_SKIP() << "this system lets the administrator write read-only files";
  EXPECT_FALSE(IsReadableWritable("Data/Cradlewright/ro.txt"));
}

TEST(PathExists, SeesFilesAndFoldersOfAnyAttribute) {
  test::TempGameFolder game;
  test::TempGameFolder::Write("Data/Cradlewright/ro.txt", "x");
  test::TempGameFolder::MakeReadOnly("Data/Cradlewright/ro.txt");
  test::TempGameFolder::MakeFolder("Data/Cradlewright/Sub");
  EXPECT_TRUE(PathExists("Data/Cradlewright/ro.txt"));
  EXPECT_TRUE(PathExists("data\\cradlewright\\RO.TXT"));
  EXPECT_TRUE(PathExists("Data/Cradlewright/Sub"));
  EXPECT_FALSE(PathExists("Data/Cradlewright/none.txt"));
  EXPECT_FALSE(PathExists(""));
}

TEST(ReadableFileSize, SizesFilesButNotFolders) {
  test::TempGameFolder game;
  test::TempGameFolder::Write("Data/Cradlewright/ten.txt", "0123456789");
  test::TempGameFolder::Write("Data/Cradlewright/empty.txt", "");
  test::TempGameFolder::MakeFolder("Data/Cradlewright/Sub");
  EXPECT_EQ(ReadableFileSize("Data/Cradlewright/ten.txt"), 10u);
  EXPECT_EQ(ReadableFileSize("data/cradlewright/TEN.TXT"), 10u);
  EXPECT_EQ(ReadableFileSize("Data/Cradlewright/empty.txt"), 0u);
  EXPECT_EQ(ReadableFileSize("Data/Cradlewright/Sub"), std::nullopt);
  EXPECT_EQ(ReadableFileSize("Data/Cradlewright/none.txt"), std::nullopt);
}

}  // namespace
}  // namespace cw::platform
