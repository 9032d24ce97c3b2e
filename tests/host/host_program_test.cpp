// The plugin binary driven through cradlewright-host: start-up, refusals,
// registration and the value conversions at the script boundary.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "platform/log_folder.h"
#include "plugin/debug_log.h"
#include "plugin/native_function.h"
#include "plugin/registration.h"
#include "plugin/version.h"
#include "tests/support/fixtures.h"
#include "tests/support/game_folder.h"
#include "tests/support/process.h"

namespace cw::test {
namespace {

ProcessResult Host(const GameFolder& game, std::vector<std::string> args,
                   const std::string& input = "") {
  args.insert(args.begin(), {"--game-dir", game.str()});
  return RunHost(args, input);
}

TEST(HostStartUp, AcceptsWithItsOwnDatabaseAndRemovesIt) {
  GameFolder game;
  const ProcessResult r = Host(game, {"query"});
  EXPECT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 2u) << r.out;  // and the plugin's start-up line
  EXPECT_EQ(lines[0], "accepted");
  // Nothing is left of what it made: neither the database nor its folders.
  EXPECT_TRUE(std::filesystem::is_empty(game.path() / "Data"));
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
  std::string plain;     // the first line, for players
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
    ASSERT_EQ(lines.size(), 6u) << r.out;
    EXPECT_EQ(lines[1], GetParam().plain);
    EXPECT_EQ(lines[2].rfind("unsupported runtime version ", 0), 0u) << lines[2];
    EXPECT_EQ(lines[3], "Addr Library not loaded");
    EXPECT_EQ(lines[4], GetParam().lastLine);
    EXPECT_EQ(lines[5], GetParam().reason);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HostRefusal,
    testing::Values(
        Refusal{"Editor", {"--editor"}, "", "", ""},
        Refusal{"NoDatabase",
                {"--no-database"},
                "Cradlewright is not running: the Address Library file version-1-5-97-0.bin for "
                "game 1.5.97.0 is missing: install \"Address Library for SKSE Plugins\" for game "
                "1.5.97.0 (into Data\\SKSE\\Plugins)",
                " IsLoaded: 0 HasBadQuery:1",
                "Data\\SKSE\\Plugins\\version-1-5-97-0.bin: file cannot be opened"},
        Refusal{"MissingIdentifier",
                {"--omit-id", "97746"},
                "Cradlewright is not running: the Address Library file version-1-5-97-0.bin for "
                "game 1.5.97.0 lacks addresses this plugin needs: update Cradlewright to a version "
                "made for game 1.5.97.0",
                " IsLoaded: 1 HasBadQuery:1",
                "address identifiers missing from Data\\SKSE\\Plugins\\version-1-5-97-0.bin "
                "(SE numbering): 97746"},
        Refusal{"MissingAbsoluteIdentifier",
                {"--omit-id", "514141"},
                "Cradlewright is not running: the Address Library file version-1-5-97-0.bin for "
                "game 1.5.97.0 lacks addresses this plugin needs: update Cradlewright to a version "
                "made for game 1.5.97.0",
                " IsLoaded: 1 HasBadQuery:1",
                "address identifiers missing from Data\\SKSE\\Plugins\\version-1-5-97-0.bin "
                "(SE numbering): 514141"},
        // Skyrim VR: its script extender calls query as the SE one does.
        Refusal{"SkyrimVR",
                {"--runtime", "1.4.15.0"},
                "Cradlewright is not running: game 1.4.15.0 is Skyrim VR, which this plugin does "
                "not support; it runs only in Skyrim Special Edition and the Anniversary Edition",
                " IsLoaded: 0 HasBadQuery:1",
                "game 1.4.15.0 is Skyrim VR: no database is read"}),
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
                                       {"--plugin", TestPlugin("cw_plugin_without_record")},
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
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[2], "unsupported runtime version 01000000");
  EXPECT_EQ(lines[4], " IsLoaded: 0 HasBadQuery:1");
  EXPECT_EQ(lines[5], "the running game states no usable version");
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
  const ProcessResult r = Host(game, {"--verbose", "natives"});
  ASSERT_EQ(r.status, 0) << r.err;
#if defined(_WIN32)
  std::ifstream in(logFile, std::ios::binary);
  const std::string log((std::istreambuf_iterator<char>(in)), {});
#else
  const std::string log = r.err;
#endif
  // The natives of each class, counted in the registration table.
  std::string counts;
  for (const char* className : {"FWUtility", "FWChildEnchant", "FWTextContents"}) {
    int count = 0;
    for (const NativeEntry& native : Natives()) count += std::string(native.className) == className;
    counts += std::string(counts.empty() ? "" : ", ") + className + " " + std::to_string(count);
  }
  const std::vector<std::string> expected = {
      std::string("Cradlewright ") + CW_VERSION_TEXT +
      ": game 1.5.97.0, Data\\SKSE\\Plugins\\version-1-5-97-0.bin (21 entries), natives " + counts};
  EXPECT_EQ(Lines(log), expected);
  // Without --verbose a good start is not shown.
  EXPECT_EQ(Host(game, {"natives"}).err, "");
}

TEST(HostStartUp, MessageNamesTheRuntimeVersion) {
  GameFolder game;
  const ProcessResult r = Host(game, {"--no-database", "query"});
  const std::vector<std::string> lines = Lines(r.out);
  ASSERT_GE(lines.size(), 3u) << r.out;
  EXPECT_EQ(lines[2], "unsupported runtime version 01050610");
}

// Every file below a folder with its bytes.
std::map<std::string, std::string> Snapshot(const std::filesystem::path& root) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    std::string bytes;
    if (entry.is_regular_file()) {
      std::ifstream in(entry.path(), std::ios::binary);
      bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    files[std::filesystem::relative(entry.path(), root).generic_string()] = bytes;
  }
  return files;
}

// A database that is already there, whatever it holds, stays as it is: start-up
// reads the host's own from a temporary folder, and calls still work.
TEST(HostStartUp, LeavesTheFilesOfTheGameFolderAsTheyWere) {
  CW_NEED_FIXTURE("version-1-5-97-0.bin");
  const std::string realBytes = FixtureBytes("version-1-5-97-0.bin");
  for (const std::string& database : {realBytes, std::string("not a database")}) {
    GameFolder game;
    game.CopyExamples();
    game.Write("Data/SKSE/Plugins/version-1-5-97-0.bin", database);
    const auto before = Snapshot(game.path());
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"call", "FWUtility.Hex", "255", "4"},
          std::vector<std::string>{"--verbose", "run", "-"}, std::vector<std::string>{"query"}}) {
      const ProcessResult r = Host(game, args, "FWUtility.GetFileCount Saves txt\n");
      EXPECT_EQ(r.status, 0) << r.err;
    }
    EXPECT_EQ(Snapshot(game.path()), before);
  }
}

// Without --game-dir the current folder is the game folder, and the database
// goes to a temporary one: the folder gets nothing a call did not make.
TEST(HostStartUp, MakesNothingInTheCurrentFolderWithoutAGameFolder) {
  GameFolder game;
  game.Write("Data/Cradlewright/Settings/Main.ini", "[General]\n");
  const auto before = Snapshot(game.path());
  const std::filesystem::path was = std::filesystem::current_path();
  const std::string host = std::filesystem::absolute(HostProgram()).string();
  std::filesystem::current_path(game.path());
  const ProcessResult hex = RunProcess(host, {"call", "FWUtility.Hex", "255", "4"});
  const auto afterHex = Snapshot(game.path());
  const ProcessResult ini =
      RunProcess(host, {"call", "FWUtility.setIniInt", "Settings", "Main.ini", "Difficulty", "7"});
  std::filesystem::current_path(was);
  EXPECT_EQ(hex.out, "00ff\n") << hex.err;
  EXPECT_EQ(afterHex, before);
  // The INI write is the call's own doing, in the current folder.
  EXPECT_EQ(ini.status, 0) << ini.err;
  const auto afterIni = Snapshot(game.path());
  EXPECT_EQ(afterIni.size(), before.size());
  EXPECT_NE(afterIni.at("Data/Cradlewright/Settings/Main.ini").find("Difficulty=7"),
            std::string::npos);
}

TEST(HostStartUp, CallsFailWhenThePluginRefuses) {
  GameFolder game;
  const ProcessResult r = Host(game, {"--editor", "call", "FWUtility.toLower", "A"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
}

// What the engine's registry holds, as the host lists it, is the registration
// table's rows in their order, with the kinds the engine's type words give.
TEST(HostRegistration, ListsEveryNativeInTableOrderWithItsKinds) {
  std::vector<std::string> expected;
  for (const NativeEntry& native : Natives()) {
    std::string line = std::string(native.className) + "." + native.name + "(";
    for (std::uint16_t i = 0; i < native.paramCount; ++i)
      line += std::string(i ? ", " : "") + KindName(native.params[i]);
    expected.push_back(line + ") -> " + KindName(native.result));
  }
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

// Calls as a mod author writes them: names in any letter case, calls pasted from
// a script, forms the game did not load; `run` places every problem at its line.
struct CallCase {
  const char* name;
  std::vector<std::string> args;
  std::string input;
  int status;
  std::string out;
  std::string err;  // all of standard error
};

// Standard error with "\n" line ends (a Windows program writes "\r\n").
std::string UnixLines(const std::string& text) {
  std::string lines;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) lines += text[i];
  return lines;
}

class HostCall : public testing::TestWithParam<CallCase> {};

TEST_P(HostCall, AnswersAsTheGameWould) {
  GameFolder game;
  const ProcessResult r = Host(game, GetParam().args, GetParam().input);
  EXPECT_EQ(r.status, GetParam().status) << r.err;
  EXPECT_EQ(r.out, GetParam().out);
  EXPECT_EQ(UnixLines(r.err), GetParam().err);
}

const char* const kNoForm =
    "warning: no --form or --quest loads form 04000001: the native gets None\n";

INSTANTIATE_TEST_SUITE_P(
    Rows, HostCall,
    testing::Values(
        CallCase{"NamesInAnyCase", {"call", "fwutility.HEX", "255", "4"}, "", 0, "00ff\n", ""},
        CallCase{"CloseToANative",
                 {"call", "fwutility.GetFileCnt", "a", "b"},
                 "",
                 2,
                 "",
                 "cradlewright-host: unknown native: fwutility.GetFileCnt (did you mean "
                 "GetFileCount?)\n"},
        CallCase{"ScriptCall", {"call", "FWUtility.Hex(255, 4)"}, "", 0, "00ff\n", ""},
        CallCase{"ScriptCallInWords", {"call", "FWUtility.Hex(255,", "4)"}, "", 0, "00ff\n", ""},
        CallCase{"ScriptString",
                 {"call", "FWUtility.toUpper(\"hello, \\\"you\\\"\")"},
                 "",
                 0,
                 "HELLO, \"YOU\"\n",
                 ""},
        CallCase{
            "ScriptNoneAndBool", {"call", "FWUtility.GetModFromForm(None, True)"}, "", 0, "\n", ""},
        CallCase{"ScriptCallUnclosed",
                 {"call", "FWUtility.Hex(255, 4"},
                 "",
                 2,
                 "",
                 "cradlewright-host: expected CLASS.NATIVE(ARG, ...) in: FWUtility.Hex(255, 4\n"},
        CallCase{"FormNotLoaded",
                 {"call", "FWUtility.GetStringFromForm", "04000001"},
                 "",
                 0,
                 "\n",
                 std::string("cradlewright-host: ") + kNoForm},
        CallCase{"RunPlacesErrorsAtTheFilesLine",
                 {"run"},
                 "# a comment\n\nFWUtility.Hex 255 4\nFWUtility.Hex 1\nFWUtility.Hex 2 2\n",
                 2,
                 "00ff\n",
                 "<stdin>:4: FWUtility.Hex takes 2 argument(s), got 1\n"},
        CallCase{"RunPlacesBadQuotes",
                 {"run", "-"},
                 "\nFWUtility.toUpper \"abc\n",
                 2,
                 "",
                 "<stdin>:2: unterminated quote in: FWUtility.toUpper \"abc\n"},
        CallCase{"RunTakesScriptCalls",
                 {"run"},
                 "FWUtility.Hex(255, 4)\n  fwutility.toupper(\"a b\")\n",
                 0,
                 "00ff\nA B\n",
                 ""},
        CallCase{"RunWarnsAtTheLine",
                 {"run"},
                 "\nFWUtility.GetStringFromForm 04000001\n",
                 0,
                 "\n",
                 std::string("<stdin>:2: ") + kNoForm}),
    [](const testing::TestParamInfo<CallCase>& info) { return std::string(info.param.name); });

TEST(HostRun, NamesTheFileOfABadLine) {
  GameFolder game;
  game.Write("calls.run", "FWUtility.Hex 255 4\r\nFWUtility.nothing 1\r\n");
  const std::string file = (game.path() / "calls.run").string();
  const ProcessResult r = Host(game, {"run", file});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(UnixLines(r.err), file + ":2: unknown native: FWUtility.nothing\n");
}

TEST(HostDatabase, ReadsTheGamesDatabase) {
  CW_NEED_FIXTURE("version-1-5-97-0.bin");
  const std::string file = Fixture("version-1-5-97-0.bin");
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
  CW_NEED_FIXTURE("versionlib-1-6-353-0.bin");
  const std::string file = Fixture("versionlib-1-6-353-0.bin");
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
