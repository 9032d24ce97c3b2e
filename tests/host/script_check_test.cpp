#include "host/script_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <utility>

#include "host/script_declarations.h"
#include "plugin/registration.h"
#include "tests/support/game_folder.h"
#include "tests/support/process.h"

namespace cw::sim {
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

TEST(ScriptDeclarations, ReadBackAsTheRegistrationTable) {
  std::size_t declared = 0;
  for (const char* className : kNativeClasses) {
    const PapyrusScript script = ReadPapyrusScript(DeclarationSource(className));
    EXPECT_EQ(script.name, className);
    EXPECT_TRUE(CheckScript(script).empty()) << className;
    declared += script.functions.size();
  }
  EXPECT_EQ(declared, Natives().size());
}

TEST(ScriptDeclarations, LinesOfEachShape) {
  const std::string source = DeclarationSource(kClassTextContents);
  EXPECT_EQ(source.substr(0, source.find('\n')), "Scriptname FWTextContents Hidden");
  for (const char* line : {"\nFunction IOReadTranslation(String language) global native\n",
                           "\nString Function getLangText(String key) global native\n",
                           "\nInt Function getLangSize() global native\n"})
    EXPECT_NE(source.find(line), std::string::npos) << line;
  EXPECT_NE(DeclarationSource(kClassUtility)
                .find("\nQuest Function GetQuestObject(String modName, Int index) global native\n"),
            std::string::npos);
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

const std::string kToLower = "String Function toLower(String text) global native";
const std::string kHex = "String Function Hex(Int value, Int digits) global native";
const std::string kModFromString =
    "String Function GetModFromString(String reference, Bool withExtension) global native";
const std::string kRead = "Function IOReadTranslation(String language) global native";
const std::string kQuest = "Quest Function GetQuestObject(String modName, Int index) global native";

INSTANTIATE_TEST_SUITE_P(
    Kinds, ScriptMismatch,
    testing::Values(
        MismatchCase{
            "Missing", kClassUtility, kToLower, "", {{Difference::kMissing, "FWUtility.toLower"}}},
        MismatchCase{"Extra",
                     kClassChildEnchant,
                     "",
                     "Int Function GetPower() global native",
                     {{Difference::kExtra, "FWChildEnchant.GetPower"}}},
        MismatchCase{"ExtraFunctionsThatAreNotNativeAreFine",
                     kClassUtility,
                     "",
                     "Int Function Helper()\n  Return 1\nEndFunction",
                     {}},
        MismatchCase{
            "Twice", kClassUtility, "", kToLower, {{Difference::kTwice, "FWUtility.toLower"}}},
        MismatchCase{"ResultKind",
                     kClassUtility,
                     kToLower,
                     "Int Function toLower(String text) global native",
                     {{Difference::kResultKind, "FWUtility.toLower"}}},
        MismatchCase{"ResultWhereThereIsNone",
                     kClassTextContents,
                     kRead,
                     "Bool Function IOReadTranslation(String language) global native",
                     {{Difference::kResultKind, "FWTextContents.IOReadTranslation"}}},
        MismatchCase{"FormForQuest",
                     kClassUtility,
                     kQuest,
                     "Form Function GetQuestObject(String modName, Int index) global native",
                     {{Difference::kResultKind, "FWUtility.GetQuestObject"}}},
        MismatchCase{"ParameterKind",
                     kClassUtility,
                     kToLower,
                     "String Function toLower(Int text) global native",
                     {{Difference::kParameterKinds, "FWUtility.toLower"}}},
        MismatchCase{"ParameterArray",
                     kClassUtility,
                     kToLower,
                     "String Function toLower(String[] text) global native",
                     {{Difference::kParameterKinds, "FWUtility.toLower"}}},
        MismatchCase{"ParameterCount",
                     kClassUtility,
                     kHex,
                     "String Function Hex(Int value) global native",
                     {{Difference::kParameterKinds, "FWUtility.Hex"}}},
        MismatchCase{"ParameterOrder",
                     kClassUtility,
                     kModFromString,
                     "String Function GetModFromString(Bool withExtension, String reference) "
                     "global native",
                     {{Difference::kParameterKinds, "FWUtility.GetModFromString"}}},
        MismatchCase{"ParametersSwappedUnderTheSameKind",
                     kClassUtility,
                     kHex,
                     "String Function Hex(Int digits, Int value) global native",
                     {{Difference::kParameterNames, "FWUtility.Hex"}}},
        MismatchCase{"NotGlobal",
                     kClassUtility,
                     kToLower,
                     "String Function toLower(String text) native",
                     {{Difference::kNotGlobal, "FWUtility.toLower"}}},
        MismatchCase{"NotNative",
                     kClassUtility,
                     kToLower,
                     "String Function toLower(String text) global\nEndFunction",
                     {{Difference::kNotNative, "FWUtility.toLower"}}},
        MismatchCase{"NameCase",
                     kClassUtility,
                     kToLower,
                     "string function TOLOWER(STRING TEXT) GLOBAL NATIVE",
                     {{Difference::kNameCase, "FWUtility.toLower"}}},
        MismatchCase{"ClassNameCase",
                     kClassTextContents,
                     "Scriptname FWTextContents Hidden",
                     "ScriptName fwTextContents",
                     {{Difference::kNameCase, "FWTextContents"}}},
        MismatchCase{"SeveralAtOnce",
                     kClassUtility,
                     kHex,
                     "Float Function hex(Int value)",
                     {{Difference::kNameCase, "FWUtility.Hex"},
                      {Difference::kResultKind, "FWUtility.Hex"},
                      {Difference::kParameterKinds, "FWUtility.Hex"},
                      {Difference::kNotGlobal, "FWUtility.Hex"},
                      {Difference::kNotNative, "FWUtility.Hex"}}}),
    [](const testing::TestParamInfo<MismatchCase>& info) { return info.param.name; });

TEST(ScriptCheck, ScriptsOfOtherClassesAreNotChecked) {
  EXPECT_TRUE(Check("Scriptname Other\nInt Function toLower() native\n").empty());
  EXPECT_TRUE(Check("Int Function toLower() native\n").empty());
}

// The host program: declarations written to a folder check clean; a changed file
// gives status 1 and names the place; case differences alone are warnings.
TEST(HostScriptCommands, DeclarationsRoundTripThroughCheckScripts) {
  test::GameFolder folder;
  const std::string dir = (folder.path() / "Source").string();
  const test::ProcessResult written = test::RunHost({"declarations", dir});
  ASSERT_EQ(written.status, 0) << written.err;
  std::vector<std::string> files = {"check-scripts"};
  for (const char* className : kNativeClasses)
    files.push_back((folder.path() / "Source" / (std::string(className) + ".psc")).string());

  test::ProcessResult r = test::RunHost(files);
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_EQ(r.out, "3 script(s) checked: 0 difference(s), 0 warning(s)\n");

  const std::string utility = files[1];
  const std::string changed = Edited(kClassUtility, kToLower, "");
  const auto hexAgain = std::count(changed.begin(), changed.end(), '\n') + 1;
  folder.Write("Source/FWUtility.psc", changed + kHex + "\n");
  r = test::RunHost(files);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find(utility + ": error: FWUtility.toLower: not declared"), std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find(utility + ":" + std::to_string(hexAgain) +
                       ": error: FWUtility.Hex: declared again"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("3 script(s) checked: 2 difference(s), 0 warning(s)\n"), std::string::npos)
      << r.out;

  folder.Write(
      "Source/FWUtility.psc",
      Edited(kClassUtility, kToLower, "String Function TOLOWER(String text) global native"));
  r = test::RunHost(files);
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("0 difference(s), 1 warning(s)"), std::string::npos) << r.out;
}

TEST(HostScriptCommands, NoScriptOfThePluginOrAnUnreadableFile) {
  test::GameFolder folder;
  folder.Write("Other.psc", "Scriptname Other\n");
  const std::string other = (folder.path() / "Other.psc").string();
  EXPECT_EQ(test::RunHost({"check-scripts", other}).status, 1);
  EXPECT_EQ(test::RunHost({"check-scripts", other + ".missing"}).status, 2);
  EXPECT_EQ(test::RunHost({"check-scripts"}).status, 2);
  EXPECT_EQ(test::RunHost({"declarations"}).status, 2);
}

}  // namespace
}  // namespace cw::sim
