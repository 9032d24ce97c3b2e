#include "natives/utility/mod_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "tests/support/temp_game_folder.h"

namespace cw::utility {
namespace {

const std::string kMod = "Data/Cradlewright/";

class ModFilesTest : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* file : {"a.txt", "b.txt", "c.log"})
      test::TempGameFolder::Write(kMod + "Files/" + file, "x");
  }
  test::TempGameFolder game_;
};

TEST(ModDirectory, AddsASeparatorOnlyWhenMissing) {
  const struct {
    const char* folder;
    const char* dir;
  } cases[] = {
      {"", "Data/Cradlewright/"},           {"Saves", "Data/Cradlewright/Saves/"},
      {"A/B", "Data/Cradlewright/A/B/"},    {"Sub/", "Data/Cradlewright/Sub/"},
      {"Sub\\", "Data/Cradlewright/Sub\\"},
  };
  for (const auto& c : cases) EXPECT_EQ(ModDirectory(c.folder), c.dir) << c.folder;
}

TEST_F(ModFilesTest, CountsEveryEntryWithTheExtension) {
  EXPECT_EQ(CountModFiles("Files", "txt"), 2u);
  EXPECT_EQ(CountModFiles("Files\\", "txt"), 2u);
  EXPECT_EQ(CountModFiles("Files/", "log"), 1u);
  EXPECT_EQ(CountModFiles("Files", "ini"), 0u);
  EXPECT_EQ(CountModFiles("Missing", "txt"), 0u);
  test::TempGameFolder::MakeFolder(kMod + "Files/d.txt");
  EXPECT_EQ(CountModFiles("Files", "txt"), 3u);
  // Nothing is filtered: "*.*" delivers "." and ".." of a sub-folder too.
  EXPECT_EQ(CountModFiles("Files", "*"), 6u);
}

TEST_F(ModFilesTest, NamesAgreeWithTheCount) {
  test::TempGameFolder::MakeFolder(kMod + "Files/d.txt");
  const std::uint32_t count = CountModFiles("Files", "txt");
  std::set<std::string> names;
  for (std::uint32_t i = 0; i < count; ++i) names.insert(ModFileName("Files", "txt", i));
  EXPECT_EQ(names, (std::set<std::string>{"a.txt", "b.txt", "d.txt"}));
  EXPECT_EQ(ModFileName("Files", "txt", count), "");
  EXPECT_EQ(ModFileName("Files", "txt", 0xFFFFFFFFu), "");
  EXPECT_EQ(ModFileName("Missing", "txt", 0), "");
  EXPECT_EQ(ModFileName("Files\\", "log", 0), "c.log");
}

TEST_F(ModFilesTest, FileExistsOnlyForReadableWritableFiles) {
  test::TempGameFolder::MakeFolder(kMod + "Files/Sub");
  EXPECT_TRUE(ModFileExists("Files/a.txt"));
  EXPECT_TRUE(ModFileExists("Files\\a.txt"));
  EXPECT_FALSE(ModFileExists("Files/none.txt"));
  EXPECT_FALSE(ModFileExists("Files/Sub"));
  EXPECT_FALSE(ModFileExists("Files"));
  EXPECT_FALSE(ModFileExists(""));
  if (!test::TempGameFolder::MakeReadOnly(kMod + "Files/b.txt"))
    GTEST_SKIP() << "this system lets the administrator write read-only files";
  EXPECT_FALSE(ModFileExists("Files/b.txt"));
}

TEST_F(ModFilesTest, NextAutoFileIsTheFirstFreeNumber) {
  EXPECT_EQ(NextAutoFileName("Saves", "save", "txt"), "save000.txt");  // missing folder
  for (int n = 0; n < 5; ++n)
    test::TempGameFolder::Write(kMod + "Saves/save00" + std::to_string(n) + ".txt", "x");
  EXPECT_EQ(NextAutoFileName("Saves", "save", "txt"), "save005.txt");
  EXPECT_EQ(NextAutoFileName("Saves", "save", "txt"), "save005.txt");  // creates nothing
  EXPECT_FALSE(std::filesystem::exists(kMod + "Saves/save005.txt"));
  EXPECT_EQ(NextAutoFileName("Saves", "save", "log"), "save000.log");
  EXPECT_EQ(NextAutoFileName("Saves", "other", "txt"), "other000.txt");
}

TEST_F(ModFilesTest, NextAutoFileSkipsEveryTakenName) {
  // A read-only file and a folder take their numbers as well.
  test::TempGameFolder::Write(kMod + "Saves/save000.txt", "x");
  test::TempGameFolder::MakeReadOnly(kMod + "Saves/save000.txt");
  test::TempGameFolder::MakeFolder(kMod + "Saves/save001.txt");
  EXPECT_EQ(NextAutoFileName("Saves", "save", "txt"), "save002.txt");
}

TEST_F(ModFilesTest, NextAutoFileGivesNothingWhenAll128AreTaken) {
  for (int n = 0; n < 128; ++n) {
    std::string number = std::to_string(n);
    number.insert(0, 3 - number.size(), '0');
    test::TempGameFolder::Write(kMod + "Saves/save" + number + ".txt", "");
  }
  EXPECT_EQ(NextAutoFileName("Saves", "save", "txt"), "");
  std::filesystem::remove(kMod + "Saves/save127.txt");
  EXPECT_EQ(NextAutoFileName("Saves", "save", "txt"), "save127.txt");
}

}  // namespace
}  // namespace cw::utility
