#include "papyrus/compiled_check.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "plugin/registration.h"
#include "tests/support/game_folder.h"
#include "tests/support/pex_writer.h"

namespace cw::papyrus {
namespace {

using test::PexBuilder;

const std::filesystem::path kFixtures = CW_SOURCE_DIR "/../shared/fixtures/pex/pex";

// The fixture that calls every native once or more, as the plugin registers them.
TEST(CompiledCheck, FindsNothingInCallsOfEveryNative) {
  if (!std::filesystem::exists(kFixtures)) GTEST_SKIP() << "no fixtures at " << kFixtures;
  const PexReadResult r = ReadPexFile(kFixtures / "CwNativesTest.pex");
  ASSERT_TRUE(r.ok()) << r.error;
  for (const Finding& f : CheckCompiledScript(r.file))
    ADD_FAILURE() << f.line << ": " << f.native << ": " << f.text;
}

struct CallCase {
  const char* name;
  std::vector<PexBuilder::Value> (*args)(PexBuilder&);
  const char* className;
  const char* native;
  const char* result;    // the local the result goes to
  std::string expected;  // the report's line after "FILE:7: error: "; empty: none
};

class CompiledCall : public testing::TestWithParam<CallCase> {};

// One call at source line 7, from a script compiled against other declarations.
TEST_P(CompiledCall, IsReportedAtItsLine) {
  const CallCase& c = GetParam();
  PexBuilder b("CwCaller");
  b.AddFunction("Run", {{7, b.CallStatic(c.className, c.native, c.args(b), c.result)}});
  auto& locals = b.file().objects[0].states[0].functions[0].function.locals;
  for (const char* type : {"String", "Int", "Float", "form"})
    locals.push_back({b.Text(std::string("::") + type), b.Text(type)});
  locals.push_back({b.Text("::nonevar"), b.Text("None")});
  test::GameFolder folder;
  folder.Write("CwCaller.pex", b.Bytes());
  const std::string file = (folder.path() / "CwCaller.pex").string();
  std::ostringstream out, err;
  const int status = CheckScriptFiles({file}, out, err);
  const std::string summary = " script(s) read (1 compiled), 0 of them of the plugin's classes: ";
  if (c.expected.empty()) {
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out.str(), "1" + summary + "0 error(s), 0 warning(s), 0 note(s)\n");
  } else {
    EXPECT_EQ(status, 1);
    EXPECT_EQ(out.str(), file + ":7: error: " + c.expected + "\n1" + summary +
                             "1 error(s), 0 warning(s), 0 note(s)\n");
  }
}

using V = std::vector<PexBuilder::Value>;
INSTANTIATE_TEST_SUITE_P(
    Calls, CompiledCall,
    testing::Values(
        CallCase{"Matching",
                 [](PexBuilder&) {
                   return V{PexBuilder::Int(255), PexBuilder::Int(4)};
                 },
                 "fWUtility", "hex", "::String", ""},
        CallCase{"IntForFloat",
                 [](PexBuilder& b) {
                   return V{b.String("c"), b.String("f"), b.String("k"), PexBuilder::Int(1)};
                 },
                 "FWUtility", "getIniFloat", "::Float", ""},
        CallCase{"NoneForForm", [](PexBuilder&) { return V{PexBuilder::None()}; }, "fwutility",
                 "GetStringFromForm", "::nonevar", ""},
        CallCase{"OtherClass", [](PexBuilder&) { return V{}; }, "debug", "Hexx", "::nonevar", ""},
        CallCase{"Unknown", [](PexBuilder&) { return V{}; }, "fWUtility", "Hexx", "::nonevar",
                 "FWUtility.Hexx: called; the plugin registers no native of that name"},
        CallCase{"OfAnotherClass", [](PexBuilder&) { return V{}; }, "fWUtility", "getLangSize",
                 "::Int",
                 "FWUtility.getLangSize: called; the plugin registers no native of that name (it "
                 "is a native of FWTextContents)"},
        CallCase{"ArgumentCount", [](PexBuilder&) { return V{PexBuilder::Int(255)}; }, "fWUtility",
                 "Hex", "::String",
                 "FWUtility.Hex: called with 1 argument(s); the plugin's native takes 2 (Int "
                 "aiValue, Int aiDigits)"},
        CallCase{"LiteralKind",
                 [](PexBuilder& b) {
                   return V{PexBuilder::Int(255), b.String("4")};
                 },
                 "fWUtility", "Hex", "::String",
                 "FWUtility.Hex: argument 2 is the String \"4\" where the plugin's native takes "
                 "Int aiDigits"},
        CallCase{"FloatForInt",
                 [](PexBuilder&) {
                   return V{PexBuilder::Float(1.5f), PexBuilder::Int(4)};
                 },
                 "fWUtility", "Hex", "::String",
                 "FWUtility.Hex: argument 1 is the Float 1.500000 where the plugin's native "
                 "takes Int aiValue"},
        CallCase{"VariableKind", [](PexBuilder& b) { return V{b.Identifier("::form")}; },
                 "fWUtility", "toLower", "::String",
                 "FWUtility.toLower: argument 1 is ::form (form) where the plugin's native takes "
                 "String asText"},
        CallCase{"ResultKind", [](PexBuilder& b) { return V{b.Identifier("::String")}; },
                 "fWUtility", "toLower", "::Int",
                 "FWUtility.toLower: the result goes to ::Int (Int) where the plugin's native "
                 "returns String"}),
    [](const testing::TestParamInfo<CallCase>& info) { return info.param.name; });

// A compiled script of the plugin's classes is checked as its declarations; damaged
// files and folders of compiled scripts are reported as the sources are.
TEST(CompiledCheck, DeclarationsDamageAndFolders) {
  PexBuilder declarations("FWTextContents");
  declarations.AddFunction("getLangSize", {}, true, "Int");
  declarations.AddFunction("getLangText", {}, true, "String");
  auto& states = declarations.file().objects[0].states[0].functions;
  for (auto& f : states) f.function.flags = 3;  // global native
  states[1].function.params.push_back({declarations.Text("aiKey"), declarations.Text("Int")});
  test::GameFolder folder;
  folder.Write("Scripts/FWTextContents.pex", declarations.Bytes());
  folder.Write("Scripts/Sub/Damaged.pex", declarations.Bytes().substr(0, 20));
  std::ostringstream out, err;
  EXPECT_EQ(CheckScriptFiles({(folder.path() / "Scripts").string()}, out, err), 2);
  const std::string own = (folder.path() / "Scripts" / "FWTextContents.pex").string();
  const std::string damaged = (folder.path() / "Scripts" / "Sub" / "Damaged.pex").string();
  EXPECT_EQ(out.str(),
            own +
                ": error: FWTextContents.getLangText: takes (Int); the plugin's native "
                "takes (String)\n" +
                own +
                ": note: FWTextContents: 3 native(s) of the plugin not declared (a script needs "
                "to declare only those it calls; --all lists them)\n" +
                damaged + ": error: offset 18: the file ends early (header)\n" +
                "1 script(s) read (1 compiled), 1 of them of the plugin's classes: 2 error(s), 0 "
                "warning(s), 1 note(s)\n");
}

}  // namespace
}  // namespace cw::papyrus
