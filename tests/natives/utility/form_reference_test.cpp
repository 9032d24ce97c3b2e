#include "natives/utility/form_reference.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/plugin_view.h"

namespace cw {
namespace {

struct NumberCase {
  const char* text;
  std::int32_t value;
};

class ReadReferenceNumberTest : public testing::TestWithParam<NumberCase> {};

TEST_P(ReadReferenceNumberTest, ReadsSignedHexadecimalClampedTo32Bits) {
  EXPECT_EQ(ReadReferenceNumber(GetParam().text), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReadReferenceNumberTest,
    testing::Values(NumberCase{"12E46", 0x12E46}, NumberCase{"12e46", 0x12E46},
                    NumberCase{"0x12e46", 0x12E46}, NumberCase{"0X12E46", 0x12E46},
                    NumberCase{"12G4", 0x12}, NumberCase{"G4", 0}, NumberCase{"", 0},
                    NumberCase{"0x", 0}, NumberCase{" \t\n1f", 0x1F}, NumberCase{"+a", 10},
                    NumberCase{"-1", -1}, NumberCase{"-0x10", -16}, NumberCase{"- 1", 0},
                    NumberCase{"--1", 0}, NumberCase{"01012E46", 0x01012E46},
                    NumberCase{"7FFFFFFF", INT32_MAX}, NumberCase{"80000000", INT32_MAX},
                    NumberCase{"FF000801", INT32_MAX}, NumberCase{"-80000000", INT32_MIN},
                    NumberCase{"-80000001", INT32_MIN},
                    NumberCase{"FFFFFFFFFFFFFFFFFFFFFFFFFFFF", INT32_MAX},
                    NumberCase{"000000000000000000001", 1}));

struct SplitCase {
  const char* text;
  const char* baseName;
  const char* numberText;
};

class ParseFormReferenceTest : public testing::TestWithParam<SplitCase> {};

TEST_P(ParseFormReferenceTest, SplitsAtTheLastUnderscore) {
  const FormReference reference = ParseFormReference(GetParam().text);
  EXPECT_EQ(reference.baseName, GetParam().baseName);
  EXPECT_EQ(reference.numberText, GetParam().numberText);
}

INSTANTIATE_TEST_SUITE_P(Texts, ParseFormReferenceTest,
                         testing::Values(SplitCase{"Master_12E46", "Master", "12E46"},
                                         SplitCase{"My_Mod_1A2B", "My_Mod", "1A2B"},
                                         SplitCase{"Mod__12", "Mod_", "12"},
                                         SplitCase{"Master.esm_12E46", "Master.esm", "12E46"},
                                         SplitCase{"1A2B", "", "1A2B"}, SplitCase{"", "", ""},
                                         SplitCase{"_", "", ""}, SplitCase{"__", "_", ""},
                                         SplitCase{"A_", "A", ""}, SplitCase{"_7", "", "7"}));

// Every form ID asked of the look-up, in order.
std::vector<std::uint32_t> g_asked;

TESForm* RecordingLookup(std::uint32_t formID) {
  g_asked.push_back(formID);
  return test::LookupFormByID(formID);
}

// Load order shared by the resolution tests.
class FormReferenceTest : public testing::Test {
 protected:
  FormReferenceTest() {
    for (const char* name :
         {"Master.esm", "My_Mod.esp", "Mod_.esp", "Plain", "Both.esp", "Both.esm"})
      data_.AddMod(name);
    for (std::uint32_t id : {0x00012E46u, 0x00000012u, 0x01001A2Bu, 0x02000012u, 0x03000005u,
                             0x01012E46u, 0x7FFFFFFFu, 0x04000001u, 0x05000001u})
      data_.AddForm(id);
    data_.MakeCurrent();
    g_asked.clear();
  }
  const DataHandler* handler() const { return data_.Handler(); }
  test::EngineDataView data_;
};

struct ResolveCase {
  const char* text;
  std::uint32_t formID;  // 0: no form
  const char* modWithExtension;
  const char* modWithout;
};

class ResolveFormReferenceTest : public FormReferenceTest,
                                 public testing::WithParamInterface<ResolveCase> {};

TEST_P(ResolveFormReferenceTest, FindsFormIdAndModName) {
  const ResolveCase& c = GetParam();
  const TESForm* form = FormFromReference(c.text, handler(), &RecordingLookup);
  if (c.formID == 0) {
    EXPECT_EQ(form, nullptr);
  } else {
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form, test::LookupFormByID(c.formID));
  }
  EXPECT_EQ(FormIDFromReference(c.text, handler(), &RecordingLookup), c.formID);
  EXPECT_EQ(ModFromReference(c.text, true, handler(), &RecordingLookup), c.modWithExtension);
  EXPECT_EQ(ModFromReference(c.text, false, handler(), &RecordingLookup), c.modWithout);
}

INSTANTIATE_TEST_SUITE_P(
    References, ResolveFormReferenceTest,
    testing::Values(ResolveCase{"Master_12E46", 0x00012E46, "Master.esm", "Master"},
                    ResolveCase{"Master_12e46", 0x00012E46, "Master.esm", "Master"},
                    ResolveCase{"Master_0x12e46", 0x00012E46, "Master.esm", "Master"},
                    ResolveCase{"Master.esm_12E46", 0x00012E46, "Master.esm", "Master"},
                    // The reference's letter case, not the file's.
                    ResolveCase{"MASTER_12E46", 0x00012E46, "MASTER.esm", "MASTER"},
                    ResolveCase{"mASTER.eSM_12E46", 0x00012E46, "mASTER.eSM", "mASTER"},
                    ResolveCase{"Master_12G4", 0x00000012, "Master.esm", "Master"},
                    ResolveCase{"My_Mod_1A2B", 0x01001A2B, "My_Mod.esp", "My_Mod"},
                    ResolveCase{"Mod__12", 0x02000012, "Mod_.esp", "Mod_"},
                    ResolveCase{"Plain_5", 0x03000005, "Plain", "Plain"},
                    // More than six digits reach into the top byte.
                    ResolveCase{"Master_01012E46", 0x01012E46, "Master.esm", "Master"},
                    ResolveCase{"Master_FF000801", 0x7FFFFFFF, "Master.esm", "Master"},
                    // With both files present, ".esp" is tried first.
                    ResolveCase{"Both_1", 0x04000001, "Both.esp", "Both"},
                    ResolveCase{"Nowhere_5", 0, "NULL", "NULL"},
                    ResolveCase{"Master_99", 0, "NULL", "NULL"}, ResolveCase{"0", 0, "", ""}));

TEST_F(FormReferenceTest, TriesEspThenEsmThenTheNameAsWritten) {
  struct Case {
    const char* text;
    std::vector<std::uint32_t> asked;
  };
  const Case cases[] = {
      {"Master_12E46", {0xFF012E46, 0x00012E46}},
      {"Master.esm_12E46", {0xFF012E46, 0xFF012E46, 0x00012E46}},
      {"My_Mod_1A2B", {0x01001A2B}},
      {"Nowhere_5", {0xFF000005, 0xFF000005, 0xFF000005}},
      {"1A2B", {0xFF001A2B, 0xFF001A2B, 0xFF001A2B}},
      {"Master_-1", {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF}},
      // Only the one-character text "0" is the null reference.
      {"0", {}},
      {"00", {0xFF000000, 0xFF000000, 0xFF000000}},
      {" 0", {0xFF000000, 0xFF000000, 0xFF000000}},
  };
  for (const Case& c : cases) {
    g_asked.clear();
    FormFromReference(c.text, handler(), &RecordingLookup);
    EXPECT_EQ(g_asked, c.asked) << c.text;
  }
}

TEST_F(FormReferenceTest, AFormOfThePlayRangeAnswersTheEspCandidate) {
  // No file ".esp" exists, so the first candidate asks for FF001A2B and finds it.
  data_.AddForm(0xFF001A2B);
  EXPECT_EQ(FormIDFromReference("1A2B", handler(), &RecordingLookup), 0xFF001A2Bu);
  EXPECT_EQ(ModFromReference("1A2B", true, handler(), &RecordingLookup), ".esp");
  EXPECT_EQ(ModFromReference("1A2B", false, handler(), &RecordingLookup), "");
}

TEST_F(FormReferenceTest, NothingIsFoundWithoutHandlerOrLookUp) {
  EXPECT_EQ(FormFromReference("Master_12E46", nullptr, &RecordingLookup), nullptr);
  EXPECT_EQ(FormIDFromReference("Master_12E46", handler(), nullptr), 0u);
  EXPECT_EQ(ModFromReference("Master_12E46", true, nullptr, &RecordingLookup), "NULL");
  EXPECT_EQ(ModFromReference("0", true, nullptr, &RecordingLookup), "");
  EXPECT_TRUE(g_asked.empty());
}

TEST(WithoutExtension, CutsBeforeTheLastDot) {
  EXPECT_EQ(WithoutExtension("Master.esm"), "Master");
  EXPECT_EQ(WithoutExtension("a.b.esp"), "a.b");
  EXPECT_EQ(WithoutExtension("NoDot"), "NoDot");
  EXPECT_EQ(WithoutExtension(".esp"), "");
  EXPECT_EQ(WithoutExtension(""), "");
}

// Load-order indices come from the files the engine loaded, not from their place
// in its list of files found: light and inactive plugins sit in that list too.
TEST(FormReferenceLoadOrder, RegularLightAndInactivePluginsBuildTheirOwnIds) {
  test::EngineDataView data;
  data.AddMixedLoadOrder();
  data.MakeCurrent();
  struct Case {
    const char* text;
    std::vector<std::uint32_t> asked;
  };
  const Case cases[] = {
      {"Mine_D62", {0x01000D62, 0xFF000D62, 0xFF000D62}},
      {"ccFish_801", {0xFF000801, 0xFE000801, 0xFF000801}},
      {"Tiny_801", {0xFE001801, 0xFF000801, 0xFF000801}},
      // The number is OR-ed in, as for regular plugins.
      {"Tiny_12345", {0xFE013345, 0xFF012345, 0xFF012345}},
      {"Off_1", {0xFF000001, 0xFF000001, 0xFF000001}},
  };
  for (const Case& c : cases) {
    g_asked.clear();
    FormFromReference(c.text, data.Handler(), &RecordingLookup);
    EXPECT_EQ(g_asked, c.asked) << c.text;
  }
  const TESForm& tiny = data.AddForm(0xFE001801);
  EXPECT_EQ(FormFromReference("Tiny_801", data.Handler(), &test::LookupFormByID), &tiny);
  EXPECT_EQ(ModFromReference("tiny_801", true, data.Handler(), &test::LookupFormByID), "tiny.esp");
}

}  // namespace
}  // namespace cw
