// The plugin binary driven through cradlewright-host: start-up, refusals,
// registration and the value conversions at the script boundary.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/log_folder.h"
#include "plugin/debug_log.h"
#include "plugin/version.h"
#include "tests/support/game_folder.h"
#include "tests/support/process.h"

namespace cw::test {
namespace {

ProcessResult Host(const GameFolder& game, std::vector<std::string> args,
                   const std::string& input = "") {
  args.insert(args.begin(), {"--game-dir", game.str()});
  return RunHost(args, input);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

TEST(HostStartUp, AcceptsWithItsOwnDatabaseAndRemovesIt) {
  GameFolder game;
  const ProcessResult r = Host(game, {"query"});
  EXPECT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 2u) << r.out;  // and the plugin's start-up line
  EXPECT_EQ(lines[0], "accepted");
  EXPECT_FALSE(std::filesystem::exists(game.path() / "Data/SKSE/Plugins/version-1-5-97-0.bin"));
}

TEST(HostRun, ReadsStandardInputForADash) {
  GameFolder game;
  const ProcessResult r = RunHost({"--game-dir", game.str(), "run", "-"},
                                  "FWUtility.toUpper abc\nFWUtility.Hex 255 4\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "ABC\n00ff\n");
}

struct Refusal {
  const char* name;
  std::vector<std::string> options;
  std::string lastLine;  // of the message; empty: the log stays silent
  std::string reason;    // the line after the message
};

class HostRefusal : public testing::TestWithParam<Refusal> {};

TEST_P(HostRefusal, RefusesWithTheLogMessage) {
  GameFolder game;
  std::vector<std::string> args = GetParam().options;
  args.push_back("query");
  const ProcessResult r = Host(game, args);
  EXPECT_EQ(r.status, 1) << r.err;  // a refusal is a plugin that could not be loaded
  const std::vector<std::string> lines = Lines(r.out);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], "refused");
  if (GetParam().lastLine.empty()) {
    EXPECT_EQ(lines.size(), 1u) << r.out;
  } else {
    ASSERT_EQ(lines.size(), 5u) << r.out;
    EXPECT_EQ(lines[2], "Addr Library not loaded");
    EXPECT_EQ(lines[3], GetParam().lastLine);
    EXPECT_EQ(lines[4], GetParam().reason);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HostRefusal,
    testing::Values(
        Refusal{"Editor", {"--editor"}, "", ""},
        Refusal{"NoDatabase",
                {"--no-database"},
                " IsLoaded: 0 HasBadQuery:1",
                "Data\\SKSE\\Plugins\\version-1-5-97-0.bin: file cannot be opened"},
        Refusal{"MissingIdentifier",
                {"--omit-id", "97746"},
                " IsLoaded: 1 HasBadQuery:1",
                "address identifiers missing from Data\\SKSE\\Plugins\\version-1-5-97-0.bin "
                "(SE numbering): 97746"},
        Refusal{"MissingAbsoluteIdentifier",
                {"--omit-id", "514141"},
                " IsLoaded: 1 HasBadQuery:1",
                "address identifiers missing from Data\\SKSE\\Plugins\\version-1-5-97-0.bin "
                "(SE numbering): 514141"}),
    [](const testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

// On the 1.6 line the script extender never calls query: the plugin makes the same
// decisions in load, and a plugin without a version record is not loaded at all.
struct AnniversaryRefusal {
  const char* name;
  std::vector<std::string> options;
  std::string logged;  // a line the plugin's log holds, or "" for a silent log
  std::string said;    // what the host says on standard error
};

class HostAnniversaryRefusal : public testing::TestWithParam<AnniversaryRefusal> {};

TEST_P(HostAnniversaryRefusal, RefusesInLoad) {
  GameFolder game;
  std::vector<std::string> args = {"--runtime", "1.6.1170.0"};
  args.insert(args.end(), GetParam().options.begin(), GetParam().options.end());
  args.push_back("query");
  const ProcessResult r = Host(game, args);
  EXPECT_EQ(r.status, 1) << r.err;
  const std::vector<std::string> lines = Lines(r.out);
  ASSERT_FALSE(lines.empty()) << r.err;
  EXPECT_EQ(lines[0], "refused");
  if (GetParam().logged.empty()) {
    EXPECT_EQ(lines.size(), 1u) << r.out;
  } else {
    EXPECT_NE(r.out.find(GetParam().logged), std::string::npos) << r.out;
  }
  EXPECT_NE(r.err.find(GetParam().said), std::string::npos) << r.err;
  EXPECT_FALSE(
      std::filesystem::exists(game.path() / "Data/SKSE/Plugins/versionlib-1-6-1170-0.bin"));
}

// Built beside the host.
std::string PluginWithoutRecord() {
  const std::filesystem::path folder = std::filesystem::path(HostProgram()).parent_path();
#if defined(_WIN32)
  return (folder / "cw_plugin_without_record.dll").string();
#else
  return (folder / "cw_plugin_without_record.so").string();
#endif
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HostAnniversaryRefusal,
    testing::Values(AnniversaryRefusal{"Editor", {"--editor"}, "", "refused"},
                    AnniversaryRefusal{"NoDatabase",
                                       {"--no-database"},
                                       "unsupported runtime version 01064920",
                                       "refused"},
                    // 104484: the argument at an index, in the 1.6 line's numbering.
                    AnniversaryRefusal{"MissingIdentifier",
                                       {"--omit-id", "104484"},
                                       "unsupported runtime version 01064920",
                                       "refused"},
                    AnniversaryRefusal{"NoVersionRecord",
                                       {"--plugin", PluginWithoutRecord()},
                                       "",
                                       "no SKSEPlugin_Version record"}),
    [](const testing::TestParamInfo<AnniversaryRefusal>& info) {
      return std::string(info.param.name);
    });

TEST(HostStartUp, TheSameBinaryStartsOnBothLines) {
  for (const char* runtime : {"1.5.97.0", "1.6.1170.0"}) {
    GameFolder game;
    const ProcessResult r = Host(game, {"--runtime", runtime, "call", "FWUtility.Hex", "255", "4"});
    EXPECT_EQ(r.status, 0) << runtime << ": " << r.err;
    EXPECT_EQ(r.out, "00ff\n") << runtime;
  }
}

#if !defined(_WIN32)
// On Linux the host states the running game's version itself.
TEST(HostStartUp, FindsTheDatabaseOfTheRunningVersion) {
  GameFolder game;
  EXPECT_EQ(Lines(Host(game, {"--runtime", "1.5.80.0", "query"}).out)[0], "accepted");
  // 1.0.0.0 is not taken for a real version: no database is looked for.
  std::vector<std::string> lines = Lines(Host(game, {"--runtime", "1.0.0.0", "query"}).out);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[1], "unsupported runtime version 01000000");
  EXPECT_EQ(lines[3], " IsLoaded: 0 HasBadQuery:1");
  EXPECT_EQ(lines[4], "the running game states no usable version");
  // A 1.6 game reads versionlib-*.bin in format 2, which the host writes for it.
  lines = Lines(Host(game, {"--runtime", "1.6.353.0", "query"}).out);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "accepted");
  EXPECT_NE(lines[1].find("Data\\SKSE\\Plugins\\versionlib-1-6-353-0.bin (21 entries)"),
            std::string::npos)
      << lines[1];
}
#endif

// An accepted start-up leaves one line in the log, which each start rewrites: on
// POSIX the log is standard error, on Windows the file in the script extender's
// folder below Documents (the test prefix's own).
TEST(HostStartUp, LogsOneLineOnAcceptanceAndRewritesTheLog) {
  GameFolder game;
#if defined(_WIN32)
  const std::filesystem::path logFile = LogFilePath(platform::DocumentsFolder(), false);
  std::filesystem::create_directories(logFile.parent_path());
  { std::ofstream(logFile) << "a line of an earlier game start\n"; }
#endif
  const ProcessResult r = Host(game, {"natives"});
  ASSERT_EQ(r.status, 0) << r.err;
#if defined(_WIN32)
  std::ifstream in(logFile, std::ios::binary);
  const std::string log((std::istreambuf_iterator<char>(in)), {});
#else
  const std::string log = r.err;
#endif
  const std::vector<std::string> expected = {
      std::string("Cradlewright ") + CW_VERSION_TEXT +
      ": game 1.5.97.0, Data\\SKSE\\Plugins\\version-1-5-97-0.bin (21 entries), natives "
      "FWUtility 41, FWChildEnchant 4, FWTextContents 5"};
  EXPECT_EQ(Lines(log), expected);
}

TEST(HostStartUp, MessageNamesTheRuntimeVersion) {
  GameFolder game;
  const ProcessResult r = Host(game, {"--no-database", "query"});
  const std::vector<std::string> lines = Lines(r.out);
  ASSERT_GE(lines.size(), 2u) << r.out;
  EXPECT_EQ(lines[1], "unsupported runtime version 01050610");
}

TEST(HostStartUp, NeverReplacesADatabaseItDidNotWrite) {
  GameFolder game;
  const std::string foreign = "not a database of ours";
  game.Write("Data/SKSE/Plugins/version-1-5-97-0.bin", foreign);
  const ProcessResult r = Host(game, {"query"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("not written by cradlewright-host"), std::string::npos) << r.err;
  std::ifstream in(game.path() / "Data/SKSE/Plugins/version-1-5-97-0.bin", std::ios::binary);
  std::string kept((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(kept, foreign);
}

TEST(HostStartUp, CallsFailWhenThePluginRefuses) {
  GameFolder game;
  const ProcessResult r = Host(game, {"--editor", "call", "FWUtility.toLower", "A"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
}

TEST(HostRegistration, ListsEveryNativeInTableOrderWithItsKinds) {
  const std::vector<std::string> expected = {
      "FWUtility.toLower(String) -> String",
      "FWUtility.toUpper(String) -> String",
      "FWUtility.StringReplace(String, String, String) -> String",
      "FWUtility.MultiStringReplace(String, String, String, String, String, String, String) -> "
      "String",
      "FWUtility.GetQuestObject(String, Int) -> Quest",
      "FWUtility.GetQuestObjectCount(String) -> Int",
      "FWUtility.GetFileCount(String, String) -> Int",
      "FWUtility.GetFileName(String, String, Int) -> String",
      "FWUtility.getTypeString(Int) -> String",
      "FWUtility.getIniPath(String, String) -> String",
      "FWUtility.ScriptHasString(String, String) -> Bool",
      "FWUtility.ScriptStringCount(String) -> Int",
      "FWUtility.ScriptUser(String) -> String",
      "FWUtility.ScriptSource(String) -> String",
      "FWUtility.ScriptMashine(String) -> String",
      "FWUtility.ScriptStringGet(String, Int) -> String",
      "FWUtility.getIniString(String, String, String, String) -> String",
      "FWUtility.getIniBool(String, String, String, Bool) -> Bool",
      "FWUtility.getIniInt(String, String, String, Int) -> Int",
      "FWUtility.getIniFloat(String, String, String, Float) -> Float",
      "FWUtility.getIniCString(String, String, String, String, String) -> String",
      "FWUtility.getIniCBool(String, String, String, String, Bool) -> Bool",
      "FWUtility.getIniCInt(String, String, String, String, Int) -> Int",
      "FWUtility.getIniCFloat(String, String, String, String, Float) -> Float",
      "FWUtility.setIniString(String, String, String, String) -> None",
      "FWUtility.setIniBool(String, String, String, Bool) -> None",
      "FWUtility.setIniInt(String, String, String, Int) -> None",
      "FWUtility.setIniFloat(String, String, String, Float) -> None",
      "FWUtility.setIniCString(String, String, String, String, String) -> None",
      "FWUtility.setIniCBool(String, String, String, String, Bool) -> None",
      "FWUtility.setIniCInt(String, String, String, String, Int) -> None",
      "FWUtility.setIniCFloat(String, String, String, String, Float) -> None",
      "FWUtility.getNextAutoFile(String, String, String) -> String",
      "FWUtility.FileExists(String) -> Bool",
      "FWUtility.Hex(Int, Int) -> String",
      "FWUtility.GetDirectoryHash(String) -> String",
      "FWUtility.GetFormFromString(String) -> Form",
      "FWUtility.GetModFromString(String, Bool) -> String",
      "FWUtility.GetFormIDFromString(String) -> Int",
      "FWUtility.GetStringFromForm(Form) -> String",
      "FWUtility.GetModFromForm(Form, Bool) -> String",
      "FWChildEnchant.GetModFile(String) -> String",
      "FWChildEnchant.GetFormID(String) -> Int",
      "FWChildEnchant.GetPowerMin(String) -> Int",
      "FWChildEnchant.GetPowerMax(String) -> Int",
      "FWTextContents.IOReadTranslation(String) -> None",
      "FWTextContents.getLangText(String) -> String",
      "FWTextContents.getLangSize() -> Int",
      "FWTextContents.getFilePath() -> String",
      "FWTextContents.getErrorCode() -> Int",
  };
  GameFolder game;
  const ProcessResult r = Host(game, {"natives"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Lines(r.out), expected);
}

struct UsageCase {
  const char* name;
  std::vector<std::string> args;
  const char* errorPart;
};

class HostUsage : public testing::TestWithParam<UsageCase> {};

TEST_P(HostUsage, ExitsWithStatusTwoAndSaysWhy) {
  GameFolder game;
  const ProcessResult r = Host(game, GetParam().args);
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find(GetParam().errorPart), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Errors, HostUsage,
    testing::Values(UsageCase{"UnknownNative", {"call", "FWUtility.nothing"}, "unknown native"},
                    UsageCase{"WrongCount", {"call", "FWUtility.toLower"}, "takes 1 argument"},
                    UsageCase{"BadInt", {"call", "FWUtility.Hex", "12x", "1"}, "not an Int"},
                    UsageCase{
                        "BadLiteral", {"call", "FWUtility.Hex", "int:x", "1"}, "bad int literal"},
                    UsageCase{"UnknownOption", {"--bogus", "natives"}, "unknown option"},
                    UsageCase{"NoCommand", {}, "no command"}),
    [](const testing::TestParamInfo<UsageCase>& info) { return std::string(info.param.name); });

TEST(HostDatabase, ReadsTheGamesDatabase) {
  const std::string file = CW_SOURCE_DIR "/../shared/fixtures/version-1-5-97-0.bin";
  const ProcessResult r = RunHost({"database", file, "66859", "514141", "1"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 6u) << r.out;
  EXPECT_EQ(lines[0], "format 1");
  EXPECT_EQ(lines[1], "version 1.5.97.0");
  EXPECT_EQ(lines[2], "entries 778674");
  EXPECT_EQ(lines[3], "66859 0xc02260");
  EXPECT_EQ(lines[4], "514141 0x1ebe428");
  EXPECT_EQ(lines[5], "1 missing");
}

TEST(HostDatabase, ReadsTheNewerFormatToo) {
  const std::string file = CW_SOURCE_DIR "/../shared/fixtures/versionlib-1-6-353-0.bin";
  const ProcessResult r = RunHost({"database", file, "68115", "400269", "0"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> lines = Lines(r.out);
  const std::vector<std::string> expected = {"format 2",         "version 1.6.353.0",
                                             "entries 415925",   "68115 0xc27d60",
                                             "400269 0x1f59da8", "0 missing"};
  EXPECT_EQ(lines, expected);
}

TEST(HostDatabase, RejectsAnUnknownFormat) {
  GameFolder game;
  game.Write("db.bin", std::string("\x03\0\0\0", 4) + std::string(40, '\0'));
  const ProcessResult r = RunHost({"database", (game.path() / "db.bin").string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("format"), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "");
}

}  // namespace
}  // namespace cw::test
