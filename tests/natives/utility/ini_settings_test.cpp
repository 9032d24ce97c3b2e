#include "natives/utility/ini_settings.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "tests/support/temp_game_folder.h"

namespace cw::utility {
namespace {

const std::string kIni = "Data\\Cradlewright\\Settings\\Main.ini";
const std::string kIniFile = "Data/Cradlewright/Settings/Main.ini";

class IniSettingsTest : public testing::Test {
 protected:
  void Store(const std::string& value) {
    test::TempGameFolder::Write(kIniFile, "[Settings]\r\nk=" + value + "\r\n");
  }
  test::TempGameFolder game_;
};

TEST(IniFilePath, JoinsCategoryAndFileInTheBackslashForm) {
  const struct {
    const char* category;
    const char* file;
    const char* path;
  } cases[] = {
      {"Settings", "Main.ini", "Data\\Cradlewright\\Settings\\Main.ini"},
      {"", "a.ini", "Data\\Cradlewright\\a.ini"},
      {"Sub/", "a.ini", "Data\\Cradlewright\\Sub/a.ini"},
      {"Sub\\", "a.ini", "Data\\Cradlewright\\Sub\\a.ini"},
      {"A/B", "a.ini", "Data\\Cradlewright\\A/B\\a.ini"},
      {"Settings", "", "Data\\Cradlewright\\Settings\\"},
  };
  for (const auto& c : cases) EXPECT_EQ(IniFilePath(c.category, c.file), c.path);
}

TEST(IsTrueText, AcceptsExactlyTheListedTexts) {
  for (const char* text : {"1", "y", "Y", "true", "True", "TRUE", "yes", "Yes", "YES"})
    EXPECT_TRUE(IsTrueText(text)) << text;
  for (const char* text : {"", "0", "no", "On", "on", "yEs", "tRUE", "01", "2", " yes", "True "})
    EXPECT_FALSE(IsTrueText(text)) << text;
}

TEST_F(IniSettingsTest, BoolReadsTheStoredTextOrTheDefault) {
  const struct {
    const char* stored;
    bool value;
  } cases[] = {{"1", true},  {"Y", true},   {"yes", true}, {"YES", true},  {"True", true},
               {"0", false}, {"no", false}, {"On", false}, {"yEs", false}, {"2", false}};
  for (const auto& c : cases) {
    Store(c.stored);
    EXPECT_EQ(ReadIniBool(kIni, "Settings", "k", !c.value), c.value) << c.stored;
  }
  EXPECT_TRUE(ReadIniBool(kIni, "Settings", "missing", true));
  EXPECT_FALSE(ReadIniBool(kIni, "Settings", "missing", false));
  EXPECT_TRUE(ReadIniBool("Data\\Cradlewright\\None\\x.ini", "Settings", "k", true));
}

TEST(HexSettingValue, ReadsShortHexTextsAsAStreamDoes) {
  const struct {
    const char* text;
    std::optional<std::int32_t> value;
  } cases[] = {
      {"0x1F", 31},
      {"0x", 0},
      {"0x7fffffff", 2147483647},
      {"0xffffffff", 2147483647},
      {"0x-10", -16},
      {"0x+10", 16},
      {"0xzz", 0},
      {"0x 1f", 31},
      {"0x1fzz", 31},
      {"0xABCDEF", 0xABCDEF},
      {"0x-", 0},
      {"0x0x1F", 0},
      {"0X1F", std::nullopt},
      {"0x000000001f", std::nullopt},
      {"42", std::nullopt},
      {"", std::nullopt},
      {"x0x1", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(HexSettingValue(c.text), c.value) << c.text;
}

TEST_F(IniSettingsTest, IntReadsHexAndDecimalTexts) {
  const struct {
    const char* stored;
    std::int32_t value;
  } cases[] = {
      {"0x1F", 31},
      {"0x", 0},
      {"0x7fffffff", 2147483647},
      {"0xffffffff", 2147483647},
      {"0x-10", -16},
      {"0xzz", 0},
      {"42", 42},
      {"-7", -7},
      {"  42  ", 42},
      {"-2147483648", std::numeric_limits<std::int32_t>::min()},
      // These go to the platform's integer reader.
      {"0X1F", 0},
      {"0x000000001f", 31},
      {"abc", 0},
  };
  for (const auto& c : cases) {
    Store(c.stored);
    EXPECT_EQ(ReadIniInt(kIni, "Settings", "k", 99), c.value) << c.stored;
  }
  EXPECT_EQ(ReadIniInt(kIni, "Settings", "missing", 99), 99);
  EXPECT_EQ(ReadIniInt("Data\\Cradlewright\\None\\x.ini", "Settings", "k", -3), -3);
}

TEST_F(IniSettingsTest, FloatReadsTheLeadingNumberOfNineteenBytes) {
  const struct {
    const char* stored;
    float value;
  } cases[] = {
      {"2.", 2.0f},
      {"abc", 0.0f},
      {"1.5", 1.5f},
      {"-0.25x", -0.25f},
      {"5.000000075e-002", 0.05f},
      {"1.e+010", 1.0e10f},
      {"0000000000000000001.5", 1.0f},  // cut to 19 bytes before the number is read
  };
  for (const auto& c : cases) {
    Store(c.stored);
    EXPECT_EQ(ReadIniFloat(kIni, "Settings", "k", 7.0f), c.value) << c.stored;
  }
  EXPECT_EQ(ReadIniFloat(kIni, "Settings", "missing", 0.123456789f), 0.123457f);
  EXPECT_EQ(ReadIniFloat(kIni, "Settings", "missing", 3.14159265f), 3.14159f);
  EXPECT_EQ(ReadIniFloat(kIni, "Settings", "missing", 1234567.0f), 1234570.0f);
}

TEST_F(IniSettingsTest, TextIsCutTo499Bytes) {
  Store(std::string(600, 'v'));
  EXPECT_EQ(ReadIniText(kIni, "Settings", "k", "def"), std::string(499, 'v'));
  EXPECT_EQ(ReadIniText(kIni, "Settings", "missing", "def"), "def");
}

TEST_F(IniSettingsTest, WrittenValuesReadBackUnchanged) {
  test::TempGameFolder::MakeFolder("Data/Cradlewright/Settings");
  for (std::int32_t value : {1234, 0, -1, std::numeric_limits<std::int32_t>::min(),
                             std::numeric_limits<std::int32_t>::max()}) {
    EXPECT_TRUE(WriteIniInt(kIni, "Settings", "i", value));
    EXPECT_EQ(ReadIniInt(kIni, "Settings", "i", 5), value);
  }
  for (float value : {2.0f, 0.05f, -0.25f, 1.0e10f, 0.1f, 1234567890.0f}) {
    EXPECT_TRUE(WriteIniFloat(kIni, "Settings", "f", value));
    EXPECT_EQ(ReadIniFloat(kIni, "Settings", "f", 5.0f), value);
  }
  for (bool value : {true, false}) {
    EXPECT_TRUE(WriteIniBool(kIni, "Settings", "b", value));
    EXPECT_EQ(ReadIniBool(kIni, "Settings", "b", !value), value);
  }
  EXPECT_TRUE(WriteIniText(kIni, "Settings", "s", "some text"));
  EXPECT_EQ(ReadIniText(kIni, "Settings", "s", ""), "some text");
}

TEST_F(IniSettingsTest, WritersStoreTheDocumentedTexts) {
  test::TempGameFolder::MakeFolder("Data/Cradlewright/Settings");
  EXPECT_TRUE(WriteIniFloat(kIni, "Settings", "two", 2.0f));
  EXPECT_TRUE(WriteIniFloat(kIni, "Settings", "small", 0.05f));
  EXPECT_TRUE(WriteIniBool(kIni, "Settings", "on", true));
  EXPECT_TRUE(WriteIniBool(kIni, "Settings", "off", false));
  EXPECT_TRUE(WriteIniInt(kIni, "Settings", "neg", -42));
  EXPECT_EQ(ReadIniText(kIni, "Settings", "two", ""), "2.");
  EXPECT_EQ(ReadIniText(kIni, "Settings", "small", ""), "5.000000075e-002");
  EXPECT_EQ(ReadIniText(kIni, "Settings", "on", ""), "True");
  EXPECT_EQ(ReadIniText(kIni, "Settings", "off", ""), "False");
  EXPECT_EQ(ReadIniText(kIni, "Settings", "neg", ""), "-42");
}

TEST_F(IniSettingsTest, SectionArgumentChoosesTheSection) {
  test::TempGameFolder::MakeFolder("Data/Cradlewright/Settings");
  EXPECT_TRUE(WriteIniText(kIni, "General", "k", "in general"));
  EXPECT_EQ(ReadIniText(kIni, "General", "k", "def"), "in general");
  EXPECT_EQ(ReadIniText(kIni, "Settings", "k", "def"), "def");
  // A category with a separator is also the section name.
  test::TempGameFolder::MakeFolder("Data/Cradlewright/A/B");
  const std::string nested = IniFilePath("A/B", "a.ini");
  EXPECT_TRUE(WriteIniText(nested, "A/B", "k", "v"));
  EXPECT_EQ(test::TempGameFolder::Read("Data/Cradlewright/A/B/a.ini"), "[A/B]\r\nk=v\r\n");
}

TEST_F(IniSettingsTest, RefusedWritesLeaveTheFileAsItWas) {
  Store("1");
  const std::string before = test::TempGameFolder::Read(kIniFile);
  EXPECT_FALSE(WriteIniText(kIni, "Settings", "k", "x\r\n[Settings]\r\nk=2"));
  EXPECT_FALSE(WriteIniText(kIni, "Settings", "k=1", "2"));
  EXPECT_FALSE(WriteIniText(kIni, "Settings\n", "k", "2"));
  EXPECT_EQ(test::TempGameFolder::Read(kIniFile), before);
  // The folder is never created.
  EXPECT_FALSE(WriteIniInt("Data\\Cradlewright\\None\\a.ini", "None", "k", 1));
  EXPECT_FALSE(std::filesystem::exists("Data/Cradlewright/None"));
}

// The example game folder's settings, as the demo reads them.
TEST(ExampleGameFolder, SettingsReadAsDocumented) {
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(std::filesystem::path(CW_SOURCE_DIR) / "examples" / "game");
  const std::string path = IniFilePath("Settings", "Main.ini");
  EXPECT_EQ(ReadIniInt(path, "Settings", "Difficulty", 0), 2);
  EXPECT_EQ(ReadIniText(path, "Settings", "Name", ""), "Brynja");
  EXPECT_TRUE(ReadIniBool(path, "Settings", "Enabled", false));
  EXPECT_EQ(ReadIniFloat(path, "Settings", "Scale", 0.0f), 1.5f);
  EXPECT_EQ(ReadIniInt(path, "Settings", "Mask", 0), 31);
  EXPECT_EQ(ReadIniText(path, "General", "Greeting", ""), "Welcome back");
  EXPECT_FALSE(ReadIniBool(path, "General", "AutoSave", true));
  std::filesystem::current_path(previous);
}

}  // namespace
}  // namespace cw::utility
