// Texts too long for the system's profile functions (wine's crash or write
// garbage from 32,767 bytes on) never reach them: writes are refused with one log
// line and leave the folder as it was, reads answer their default.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "natives/utility/ini_settings.h"
#include "plugin/debug_log.h"
#include "tests/support/temp_game_folder.h"

namespace cw::utility {
namespace {

const std::string kLong(32001, 'b');
const std::string kLongest(32000, 'b');
const std::string kIni = "Data/Cradlewright/Settings/Main.ini";
const std::string kOriginal = "[Settings]\r\nK=1\r\n";

std::string g_logged;
void Logged(const char* text) {
  g_logged += text;
  g_logged += "\n";
}

class IniLongTexts : public testing::Test {
 protected:
  void SetUp() override {
    test::TempGameFolder::Write(kIni, kOriginal);
    g_logged.clear();
    Log().ResetWarnings();
    Log().SetCallback(&Logged);
  }
  void TearDown() override { Log().SetCallback(nullptr); }

  test::TempGameFolder game_;
};

TEST_F(IniLongTexts, WritesAreRefusedWithOneLine) {
  const std::string path = IniFilePath("Settings", "Main.ini");
  const std::string longPath = IniFilePath("Settings", kLong + ".ini");
  const struct {
    const char* name;
    std::string path, section, key, value;
  } cases[] = {
      {"section", path, kLong, "K", "2"},
      {"key", path, "Settings", kLong, "2"},
      {"value", path, "Settings", "K", kLong},
      {"path", longPath, "Settings", "K", "2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    g_logged.clear();
    EXPECT_FALSE(WriteIniText(c.path, c.section, c.key, c.value));
    EXPECT_EQ(g_logged, "INI setting not written: " + c.path.substr(0, 300) +
                            (c.path.size() > 300 ? "..." : "") +
                            " has a section, key, value or path longer than 32000 bytes\n");
  }
  EXPECT_EQ(test::TempGameFolder::Read(kIni), kOriginal);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("Data/Cradlewright/Settings"),
                          std::filesystem::directory_iterator()),
            1);

  // Texts at the limit are written and read back.
  EXPECT_TRUE(WriteIniText(path, kLongest, kLongest, kLongest));
  EXPECT_EQ(ReadIniText(path, kLongest, kLongest, ""), kLongest.substr(0, 499));
  EXPECT_EQ(ReadIniText(path, "Settings", "K", ""), "1");
}

TEST_F(IniLongTexts, ReadsAnswerTheirDefault) {
  const std::string path = IniFilePath("Settings", "Main.ini");
  const std::string longPath = IniFilePath(kLong, "Main.ini");
  // A default beyond the buffer answers what the buffer holds, a blank at the cut included.
  const std::string blankAtCut = std::string(498, 'a') + "  " + kLong;
  const struct {
    const char* name;
    std::string path, section, key, def, answer;
  } cases[] = {
      {"section", path, kLong, "K", "d", "d"},
      {"key", path, "Settings", kLong, "d", "d"},
      {"path", longPath, "Settings", "K", "d", "d"},
      {"default", path, "Settings", "missing", kLong, kLong.substr(0, 499)},
      {"blank at the cut", path, "Settings", "missing", blankAtCut, blankAtCut.substr(0, 499)},
      {"found despite a long default", path, "Settings", "K", kLong, "1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ReadIniText(c.path, c.section, c.key, c.def), c.answer);
    EXPECT_EQ(ReadIniInt(c.path, c.section, c.key, 7), c.answer == "1" ? 1 : 7);
    EXPECT_EQ(ReadIniFloat(c.path, c.section, c.key, 2.5f), c.answer == "1" ? 1.0f : 2.5f);
  }
  EXPECT_EQ(g_logged, "");
}

}  // namespace
}  // namespace cw::utility
