// INI writers refuse paths that lead outside the game's Data folder: nothing is
// created outside it, nothing inside changes, and the log says why.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "natives/utility/ini_settings.h"
#include "plugin/debug_log.h"
#include "tests/support/temp_game_folder.h"

namespace cw::utility {
namespace {
namespace fs = std::filesystem;

std::string g_logged;
void Logged(const char* text) {
  g_logged += text;
  g_logged += "\n";
}

// Every file and folder below `root` with its bytes ("<folder>" for folders).
std::map<std::string, std::string> Snapshot(const fs::path& root) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    const std::string name = fs::relative(entry.path(), root).generic_string();
    files[name] =
        entry.is_directory() ? "<folder>" : test::TempGameFolder::Read(entry.path().string());
  }
  return files;
}

using Writer = std::function<bool(const std::string& path)>;

class IniWritesOutsideData : public testing::Test {
 protected:
  void SetUp() override {
    // The game folder sits one level below the temporary folder, so that a path
    // leaving it by one level is still seen.
    fs::create_directories("Game/Data/Cradlewright/Settings");
    test::TempGameFolder::Write("Game/Data/Cradlewright/Settings/Main.ini",
                                "[Settings]\r\nK=1\r\n");
    test::TempGameFolder::Write("Game/Skyrim.ini", "[General]\r\nK=1\r\n");
    fs::current_path("Game");
    g_logged.clear();
    Log().ResetWarnings();
    Log().SetCallback(&Logged);
  }
  void TearDown() override { Log().SetCallback(nullptr); }

  test::TempGameFolder game_;
};

TEST_F(IniWritesOutsideData, EveryWriterRefusesAndChangesNothing) {
  const std::pair<const char*, Writer> writers[] = {
      {"text", [](const std::string& p) { return WriteIniText(p, "Settings", "K", "7"); }},
      {"bool", [](const std::string& p) { return WriteIniBool(p, "Settings", "K", true); }},
      {"int", [](const std::string& p) { return WriteIniInt(p, "Settings", "K", 7); }},
      {"float", [](const std::string& p) { return WriteIniFloat(p, "Settings", "K", 7.0f); }},
  };
  // Category and file as a script passes them, and the reason the log gives; the
  // writers get IniFilePath's result.
  const char* const kOutside = "leads outside the Data folder";
  const char* const kDevice = "names a Windows device";
  const char* const kColon = "holds a colon (a drive or a stream)";
  const struct {
    const char* category;
    const char* file;
    const char* reason;
  } refused[] = {
      {"../../..", "evil.ini", kOutside},              // beside the game folder
      {"..\\..\\..\\..", "evil.ini", kOutside},        // two levels up
      {"..\\..", "Skyrim.ini", kOutside},              // the game folder itself
      {"Settings", "..\\..\\..\\evil.ini", kOutside},  // through the file name
      {"...", "evil.ini", kOutside},
      {"C:\\Users\\Public", "evil.ini", kColon},  // a drive
      {"Settings", "Main.ini:hidden", kColon},    // an alternate data stream
      {"Settings", "CON", kDevice},               // devices
      {"Settings", "nul.ini", kDevice},
      {"Settings", "Com1.txt", kDevice},
      {"LPT9", "evil.ini", kDevice},
  };
  const fs::path outer = fs::current_path().parent_path();
  const auto before = Snapshot(outer);
  for (const auto& [kind, write] : writers) {
    Log().ResetWarnings();  // the same line for every writer
    for (const auto& [category, file, reason] : refused) {
      const std::string path = IniFilePath(category, file);
      SCOPED_TRACE(std::string(kind) + " " + path);
      g_logged.clear();
      EXPECT_FALSE(write(path));
      EXPECT_EQ(g_logged, "INI setting not written: " + path + " " + reason + "\n");
    }
  }
  EXPECT_EQ(Snapshot(outer), before);
  EXPECT_FALSE(fs::exists(outer.parent_path() / "evil.ini"));
}

// Inside Data every writer still writes, also through a ".." that stays inside.
TEST_F(IniWritesOutsideData, PathsInsideDataAreWritten) {
  fs::create_directories("Data/Other");
  EXPECT_TRUE(WriteIniInt(IniFilePath("Settings", "Main.ini"), "Settings", "K", 7));
  EXPECT_TRUE(WriteIniBool(IniFilePath("..\\Other", "a.ini"), "S", "K", true));
  EXPECT_EQ(ReadIniInt(IniFilePath("Settings", "Main.ini"), "Settings", "K", 0), 7);
  EXPECT_TRUE(fs::exists("Data/Other/a.ini"));
  EXPECT_TRUE(g_logged.empty());
}

// Reading is not restricted: a mod may read another mod's or the game's files.
TEST_F(IniWritesOutsideData, ReadingOutsideDataStillWorks) {
  EXPECT_EQ(ReadIniInt(IniFilePath("..\\..", "Skyrim.ini"), "General", "K", 0), 1);
}

}  // namespace
}  // namespace cw::utility
