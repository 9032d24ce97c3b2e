#include "papyrus/compiled_check.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/ascii.h"
#include "tests/support/fixtures.h"
#include "tests/support/game_folder.h"

namespace cw::papyrus {
namespace {

const std::filesystem::path kFixtures = CW_SOURCE_DIR "/../shared/fixtures/pex/pex";

StringIndex Text(PexFile& f, const std::string& text) {
  for (std::size_t i = 0; i < f.strings.size(); ++i)
    if (f.strings[i] == text) return static_cast<StringIndex>(i);
  f.strings.push_back(text);
  return static_cast<StringIndex>(f.strings.size() - 1);
}

// The first static call of a native of that name.
PexInstruction& CallOf(PexFile& f, const std::string& native) {
  for (PexNamedFunction& fn : f.objects.at(0).states.at(0).functions)
    for (PexInstruction& i : fn.function.code)
      if (i.opcode == 0x19 && EqualsIgnoringAsciiCase(f.text(i.operands[1].string), native))
        return i;
  throw std::runtime_error("no call of " + native);
}

std::vector<std::string> Findings(const PexFile& f) {
  std::vector<std::string> found;
  for (const Finding& x : CheckCompiledScript(f))
    found.push_back(std::to_string(x.line) + ": " + x.native + ": " + x.text);
  return found;
}

struct CallCase {
  const char* name;
  const char*
      native;  // whose first call in CwNativesTest changes (Hex: line 53, "Hex ::temp0 255 4")
  std::function<void(PexFile&, PexInstruction&)> change;
  std::string expected;  // empty: nothing to report
};

class CompiledCall : public testing::TestWithParam<CallCase> {};

// The fixture calls every native as the plugin registers it; changed as if compiled
// against other declarations, each call is reported at its source line.
TEST_P(CompiledCall, IsReportedAtItsLine) {
  CW_NEED_FIXTURE("pex/pex/CwNativesTest.pex");
  const PexReadResult r = ReadPexFile(kFixtures / "CwNativesTest.pex");
  ASSERT_TRUE(r.ok()) << r.error;
  PexFile f = r.file;
  GetParam().change(f, CallOf(f, GetParam().native));
  const std::vector<std::string> expected = GetParam().expected.empty()
                                                ? std::vector<std::string>{}
                                                : std::vector<std::string>{GetParam().expected};
  EXPECT_EQ(Findings(f), expected);
}

PexValue Id(PexFile& f, const char* name) {
  return {PexValue::Kind::Identifier, Text(f, name)};
}

INSTANTIATE_TEST_SUITE_P(
    Calls, CompiledCall,
    testing::Values(
        CallCase{"AsRegistered", "Hex", [](PexFile&, PexInstruction&) {}, ""},
        CallCase{"IntForFloat", "getIniFloat",
                 [](PexFile&, PexInstruction& i) {
                   i.operands[6] = {PexValue::Kind::Int, 0, 1};
                 },
                 ""},
        CallCase{"Unknown", "Hex",
                 [](PexFile& f, PexInstruction& i) { i.operands[1] = Id(f, "Hexx"); },
                 "53: FWUtility.Hexx: called; the plugin registers no native of that name"},
        CallCase{"OfAnotherClass", "Hex",
                 [](PexFile& f, PexInstruction& i) { i.operands[1] = Id(f, "getLangText"); },
                 "53: FWUtility.getLangText: called; the plugin registers no native of that name "
                 "(it is a native of FWTextContents)"},
        CallCase{"ArgumentCount", "Hex", [](PexFile&, PexInstruction& i) { i.operands.pop_back(); },
                 "53: FWUtility.Hex: called with 1 argument(s); the plugin's native takes 2 (Int "
                 "aiValue, Int aiDigits)"},
        CallCase{"LiteralKind", "Hex",
                 [](PexFile& f, PexInstruction& i) {
                   i.operands[4] = {PexValue::Kind::String, Text(f, "4")};
                 },
                 "53: FWUtility.Hex: argument 2 is the String \"4\" where the plugin's native "
                 "takes Int aiDigits"},
        CallCase{"VariableKind", "Hex",
                 [](PexFile& f, PexInstruction& i) { i.operands[3] = Id(f, "sHex"); },
                 "53: FWUtility.Hex: argument 1 is sHex (String) where the plugin's native takes "
                 "Int aiValue"},
        CallCase{"ResultKind", "Hex",
                 [](PexFile& f, PexInstruction& i) { i.operands[2] = Id(f, "::temp1"); },
                 "53: FWUtility.Hex: the result goes to ::temp1 (Int) where the plugin's native "
                 "returns String"}),
    [](const testing::TestParamInfo<CallCase>& info) { return info.param.name; });

// check-scripts takes compiled scripts beside sources: a compiled script of the plugin's
// classes is compared as its declarations; a damaged one is named with its offset.
TEST(CompiledCheck, ReportsDeclarationsAndDamage) {
  CW_NEED_FIXTURE("pex/pex/CwNativesTest.pex");
  PexFile f = ReadPexFile(kFixtures / "CwBench.pex").file;
  PexObject& o = f.objects.at(0);
  o.name = Text(f, "FWUtility");
  for (PexNamedFunction& fn : o.states.at(0).functions) {
    if (f.text(fn.name) != "Spin") continue;
    fn.name = Text(f, "Hex");
    fn.function.flags = 3;  // global native
  }
  EXPECT_EQ(Findings(f),
            (std::vector<std::string>{
                "0: FWUtility.Hex: returns Int; the plugin's native returns String",
                "0: FWUtility.Hex: takes (Int); the plugin's native takes (Int, Int)",
                "0: FWUtility: 40 native(s) of the plugin not declared (a script needs to declare "
                "only those it calls; --all lists them)"}));

  test::GameFolder folder;
  folder.Write("Scripts/Broken.pex", "\xFA\x57\xC0\xDE\x03\x02");
  std::filesystem::copy(kFixtures / "CwNativesTest.pex", folder.path() / "Scripts");
  std::ostringstream out, err;
  EXPECT_EQ(CheckScriptFiles({(folder.path() / "Scripts").string()}, out, err), 2);
  EXPECT_EQ(out.str(), (folder.path() / "Scripts" / "Broken.pex").string() +
                           ": error: offset 6: the file ends early (header)\n"
                           "1 script(s) read (1 compiled), 0 of them of the plugin's classes: 1 "
                           "error(s), 0 warning(s), 0 note(s)\n");
}

}  // namespace
}  // namespace cw::papyrus
