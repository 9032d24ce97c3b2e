#include "papyrus/script_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "papyrus/script_declarations.h"
#include "plugin/registration.h"
#include "tests/support/game_folder.h"
#include "tests/support/process.h"

namespace cw::papyrus {
namespace {

using Found = std::set<std::pair<Difference, std::string>>;

Found Check(const std::string& source) {
  Found found;
  for (const Finding& f : CheckScript(ReadPapyrusScript(source))) found.insert({f.what, f.native});
  return found;
}

// The written declarations of a class with one line replaced (or removed when
// `with` is empty, or added when `line` is empty).
std::string Edited(const char* className, const std::string& line, const std::string& with) {
  std::string source = DeclarationSource(className);
  if (line.empty()) return source + with + "\n";
  const std::size_t at = source.find(line + "\n");
  EXPECT_NE(at, std::string::npos) << line;
  if (at == std::string::npos) return source;
  return source.replace(at, line.size() + 1, with.empty() ? "" : with + "\n");
}

struct MismatchCase {
  const char* name;
  const char* className;
  std::string line;  // replaced; empty: `with` is added
  std::string with;  // empty: the line is removed
  Found expected;
};

class ScriptMismatch : public testing::TestWithParam<MismatchCase> {};

TEST_P(ScriptMismatch, IsReported) {
  const MismatchCase& c = GetParam();
  EXPECT_EQ(Check(Edited(c.className, c.line, c.with)), c.expected);
}

const std::string kToLower = "String Function toLower(String asText) global native";
const std::string kHex = "String Function Hex(Int aiValue, Int aiDigits) global native";
const std::string kModFromString =
    "String Function GetModFromString(String asReference, Bool abWithExtension) global native";
const std::string kRead = "Function IOReadTranslation(String asLanguage) global native";
const std::string kQuest =
    "Quest Function GetQuestObject(String asModName, Int aiIndex) global native";

INSTANTIATE_TEST_SUITE_P(
    Kinds, ScriptMismatch,
    testing::Values(
        MismatchCase{
            "NotDeclared", kClassUtility, kToLower, "", {{Difference::kNotDeclared, "FWUtility"}}},
        MismatchCase{"UnknownNative",
                     kClassChildEnchant,
                     "",
                     "Int Function GetPower() global native",
                     {{Difference::kUnknownNative, "FWChildEnchant.GetPower"}}},
        MismatchCase{"OtherFunctionsAreFine",
                     kClassUtility,
                     "",
                     "Int Function Helper()\n  Return 1\nEndFunction",
                     {}},
        MismatchCase{
            "Twice", kClassUtility, "", kToLower, {{Difference::kTwice, "FWUtility.toLower"}}},
        MismatchCase{"ResultKind",
                     kClassUtility,
                     kToLower,
                     "Int Function toLower(String asText) global native",
                     {{Difference::kResultKind, "FWUtility.toLower"}}},
        MismatchCase{"ResultWhereThereIsNone",
                     kClassTextContents,
                     kRead,
                     "Bool Function IOReadTranslation(String asLanguage) global native",
                     {{Difference::kResultKind, "FWTextContents.IOReadTranslation"}}},
        MismatchCase{"FormForQuest",
                     kClassUtility,
                     kQuest,
                     "Form Function GetQuestObject(String asModName, Int aiIndex) global native",
                     {{Difference::kResultKind, "FWUtility.GetQuestObject"}}},
        MismatchCase{"ParameterArray",
                     kClassUtility,
                     kToLower,
                     "String Function toLower(String[] asText) global native",
                     {{Difference::kParameterKinds, "FWUtility.toLower"}}},
        MismatchCase{"ParameterCount",
                     kClassUtility,
                     kHex,
                     "String Function Hex(Int aiValue) global native",
                     {{Difference::kParameterKinds, "FWUtility.Hex"}}},
        MismatchCase{"ParameterOrder",
                     kClassUtility,
                     kModFromString,
                     "String Function GetModFromString(Bool abWithExtension, String asReference) "
                     "global native",
                     {{Difference::kParameterKinds, "FWUtility.GetModFromString"}}},
        MismatchCase{"ParametersSwappedUnderTheSameKind",
                     kClassUtility,
                     kHex,
                     "String Function Hex(Int digits, Int value) global native",
                     {{Difference::kParametersSwapped, "FWUtility.Hex"}}},
        MismatchCase{"OtherParameterNamesAreFine",
                     kClassUtility,
                     kHex,
                     "String Function Hex(Int n, Int width) global native",
                     {}},
        MismatchCase{"ReservedParameterName",
                     kClassUtility,
                     "String Function ScriptUser(String asScriptName) global native",
                     "String Function ScriptUser(String scriptName) global native",
                     {{Difference::kReservedWord, "FWUtility.ScriptUser"}}},
        MismatchCase{"NotGlobal",
                     kClassUtility,
                     kToLower,
                     "String Function toLower(String asText) native",
                     {{Difference::kNotGlobal, "FWUtility.toLower"}}},
        MismatchCase{"NotNative",
                     kClassUtility,
                     kToLower,
                     "String Function toLower(String asText) global\nEndFunction",
                     {{Difference::kNotNative, "FWUtility.toLower"}}},
        MismatchCase{"NameCase",
                     kClassUtility,
                     kToLower,
                     "string function TOLOWER(STRING ASTEXT) GLOBAL NATIVE",
                     {{Difference::kNameCase, "FWUtility.toLower"}}},
        MismatchCase{"ClassNameCase",
                     kClassTextContents,
                     "Scriptname FWTextContents Hidden",
                     "ScriptName fwTextContents",
                     {{Difference::kNameCase, "FWTextContents"}}},
        MismatchCase{"SeveralAtOnce",
                     kClassUtility,
                     kHex,
                     "Float Function hex(Int aiValue)",
                     {{Difference::kNameCase, "FWUtility.Hex"},
                      {Difference::kResultKind, "FWUtility.Hex"},
                      {Difference::kParameterKinds, "FWUtility.Hex"},
                      {Difference::kNotGlobal, "FWUtility.Hex"},
                      {Difference::kNotNative, "FWUtility.Hex"}}}),
    [](const testing::TestParamInfo<MismatchCase>& info) { return info.param.name; });

TEST(ScriptCheck, ScriptsOfOtherClassesAreCheckedOnlyForTheLanguage) {
  EXPECT_TRUE(Check("Scriptname Other\nInt Function toLower() native\n").empty());
  EXPECT_EQ(Check("Scriptname Other\nFunction f(Int length)\n"),
            (Found{{Difference::kReservedWord, "Other.f"}}));
  EXPECT_EQ(Check("Int Function toLower() native\n"), (Found{{Difference::kNoScriptname, ""}}));
}

// Hand-written scripts with one typical mistake each, checked as files: the exact
// report (without its summary line) and the exit status.
struct FileCase {
  const char* name;
  std::string file;                 // below the test's folder
  std::string source;               // bytes of the file
  std::vector<std::string> report;  // "LINE: ..." after the file's path, or "FILE: ..."
  int status;
  std::vector<std::string> extra = {};  // more arguments
};

class CheckFiles : public testing::TestWithParam<FileCase> {};

TEST_P(CheckFiles, ReportsTheMistakeAtItsLine) {
  const FileCase& c = GetParam();
  test::GameFolder folder;
  folder.Write(c.file, c.source);
  const std::string path = (folder.path() / c.file).string();
  std::vector<std::string> args = c.extra;
  args.push_back(path);
  std::ostringstream out, err;
  EXPECT_EQ(CheckScriptFiles(args, out, err), c.status) << out.str() << err.str();
  std::vector<std::string> report;
  std::istringstream lines(out.str());
  for (std::string line; std::getline(lines, line);)
    if (line.rfind(path + ":", 0) == 0)
      report.push_back(line.substr(line.find_first_not_of(' ', path.size() + 1)));
  EXPECT_EQ(report, c.report) << out.str();
}

const char* const kNote41 =
    "1: note: FWUtility: 41 native(s) of the plugin not declared (a script needs to declare only "
    "those it calls; --all lists them)";
const char* const kNote40 =
    "1: note: FWUtility: 40 native(s) of the plugin not declared (a script needs to declare only "
    "those it calls; --all lists them)";

INSTANTIATE_TEST_SUITE_P(
    Mistakes, CheckFiles,
    testing::Values(
        FileCase{"OnlyWhatItCalls",
                 "FWUtility.psc",
                 "Scriptname FWUtility Hidden\n" + kHex + "\n",
                 {"1: note: FWUtility: 40 native(s) of the plugin not declared (a script needs "
                  "to declare only those it calls; --all lists them)"},
                 0},
        FileCase{"Misspelled",
                 "FWUtility.psc",
                 "Scriptname FWUtility Hidden\n\nString Function Hxe(Int aiValue, Int aiDigits) "
                 "global native\n",
                 {kNote41,
                  "3: error: FWUtility.Hxe: declared native; the plugin registers no native of "
                  "that name (did you mean Hex?)"},
                 1},
        FileCase{"InTheOtherClass",
                 "FWUtility.psc",
                 "Scriptname FWUtility\n; wrong class\nString Function GetModFile(String "
                 "asFileName) global native\n",
                 {kNote41,
                  "3: error: FWUtility.GetModFile: declared native; the plugin registers no "
                  "native of that name (it is a native of FWChildEnchant)"},
                 1},
        FileCase{
            "WrongSignature",
            "FWUtility.psc",
            "Scriptname FWUtility\nString Function Hex(Int aiValue) global native\n",
            {kNote40, "2: error: FWUtility.Hex: takes (Int); the plugin's native takes (Int, Int)"},
            1},
        FileCase{"ReservedWord",
                 "FWUtility.psc",
                 "Scriptname FWUtility\n{doc}\nString Function ScriptUser(String scriptName) "
                 "global native\n",
                 {kNote40,
                  "3: error: FWUtility.ScriptUser: the parameter name scriptName is a reserved "
                  "word of Papyrus; the compiler stops here"},
                 1},
        FileCase{"FileNameDiffers",
                 "Whatever.psc",
                 DeclarationSource(kClassTextContents),
                 {"1: warning: FWTextContents: the file is named Whatever.psc; the compiler "
                  "looks for Scriptname FWTextContents in FWTextContents.psc"},
                 0},
        FileCase{
            "ByteOrderMark",
            "FWUtility.psc",
            "\xEF\xBB\xBFScriptname FWUtility\r\nString Function Hex(Int aiValue) native\r\n",
            {kNote40, "2: error: FWUtility.Hex: takes (Int); the plugin's native takes (Int, Int)",
             "2: error: FWUtility.Hex: not declared global"},
            1},
        FileCase{"EveryNativeNotDeclared",
                 "FWTextContents.psc",
                 Edited(kClassTextContents, kRead, ""),
                 {"1: note: FWTextContents.IOReadTranslation: not declared; the plugin "
                  "registers: " +
                  kRead},
                 0,
                 {"--all"}},
        FileCase{"Utf16",
                 "FWUtility.psc",
                 std::string("\xFF\xFES\0c\0", 6),
                 {"error: UTF-16 text; save it as UTF-8 or ANSI"},
                 2},
        FileCase{"NoText",
                 "FWUtility.psc",
                 std::string("Scriptname FWUtility\n\0\x01", 23),
                 {"error: not a text file (it holds NUL bytes)"},
                 2}),
    [](const testing::TestParamInfo<FileCase>& info) { return info.param.name; });

TEST(CheckFolders, EveryScriptBelowInNameOrder) {
  test::GameFolder folder;
  folder.Write("Source/Scripts/FWUtility.psc", DeclarationSource(kClassUtility));
  folder.Write("Source/Scripts/Sub/FWChildEnchant.psc",
               "Scriptname FWChildEnchant\nInt Function GetFormID(String asFileName) native\n");
  folder.Write("Source/Scripts/MyQuest.psc", "Scriptname MyQuest extends Quest\n");
  folder.Write("Source/Scripts/readme.txt", "not a script");
  std::ostringstream out, err;
  const std::string root = (folder.path() / "Source").string();
  EXPECT_EQ(CheckScriptFiles({root}, out, err), 1);
  const std::string sub =
      (folder.path() / "Source" / "Scripts" / "Sub" / "FWChildEnchant.psc").string();
  EXPECT_EQ(out.str(),
            sub +
                ":1: note: FWChildEnchant: 3 native(s) of the plugin not declared (a script "
                "needs to declare only those it calls; --all lists them)\n" +
                sub + ":2: error: FWChildEnchant.GetFormID: not declared global\n" +
                "3 script(s) read, 2 of them of the plugin's classes: 1 error(s), 0 warning(s), "
                "1 note(s)\n");

  folder.Write("Empty/readme.txt", "");
  std::ostringstream out2;
  EXPECT_EQ(CheckScriptFiles({(folder.path() / "Empty").string()}, out2, err), 2);
  EXPECT_NE(out2.str().find("the folder holds no .psc file"), std::string::npos) << out2.str();
}

// The host program: declarations written to a folder check clean; a changed file
// gives status 1; a missing file or a usage error status 2.
TEST(HostScriptCommands, DeclarationsRoundTripThroughCheckScripts) {
  test::GameFolder folder;
  const std::string dir = (folder.path() / "Source").string();
  const test::ProcessResult written = test::RunHost({"declarations", dir});
  ASSERT_EQ(written.status, 0) << written.err;

  test::ProcessResult r = test::RunHost({"check-scripts", dir});
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_EQ(r.out,
            "3 script(s) read, 3 of them of the plugin's classes: 0 error(s), 0 warning(s), 0 "
            "note(s)\n");

  folder.Write("Source/FWUtility.psc",
               Edited(kClassUtility, kToLower, "String Function toLower(String asText) native"));
  r = test::RunHost({"check-scripts", dir});
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_NE(r.out.find("FWUtility.psc:5: error: FWUtility.toLower: not declared global"),
            std::string::npos)
      << r.out;

  EXPECT_EQ(test::RunHost({"check-scripts", dir + "/Missing.psc"}).status, 2);
  EXPECT_EQ(test::RunHost({"check-scripts"}).status, 2);
  EXPECT_EQ(test::RunHost({"check-scripts", "--every", dir}).status, 2);
  EXPECT_EQ(test::RunHost({"declarations"}).status, 2);
  EXPECT_EQ(test::RunHost({"reference"}).status, 2);
}

}  // namespace
}  // namespace cw::papyrus
