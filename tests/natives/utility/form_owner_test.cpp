#include "natives/utility/form_owner.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "natives/utility/form_reference.h"
#include "tests/support/plugin_view.h"

namespace cw {
namespace {

struct SplitCase {
  std::uint32_t formID;
  std::int32_t index;
  std::int32_t number;
};

class SplitFormIDTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitFormIDTest, ReadsTheIdAsASignedNumber) {
  const FormIDParts parts = SplitFormID(GetParam().formID);
  EXPECT_EQ(parts.index, GetParam().index);
  EXPECT_EQ(parts.number, GetParam().number);
}

INSTANTIATE_TEST_SUITE_P(
    Ids, SplitFormIDTest,
    testing::Values(SplitCase{0x00012E46, 0, 0x12E46}, SplitCase{0x7FFFFFFF, 0x7F, 0xFFFFFF},
                    SplitCase{0x80000000, -128, 0}, SplitCase{0xFE000801, -1, -0xFFF7FF},
                    SplitCase{0xFF000000, -1, 0}, SplitCase{0xFF000001, 0, -0xFFFFFF},
                    SplitCase{0xFFFFFFFF, 0, -1}));

struct OwnerCase {
  std::uint32_t formID;
  const char* reference;
  const char* modWithExtension;
  const char* modWithout;
};

class FormOwnerTest : public testing::TestWithParam<OwnerCase> {
 protected:
  FormOwnerTest() {
    data_.AddMod("Master.esm");
    data_.AddMod("Dawn.v2.esm");
    data_.AddMod("NoDot");
  }
  test::EngineDataView data_;
};

TEST_P(FormOwnerTest, NamesTheLoadedModAtTheIndex) {
  const OwnerCase& c = GetParam();
  const TESForm& form = data_.AddForm(c.formID);
  EXPECT_EQ(ReferenceForForm(&form, data_.Handler()), c.reference);
  EXPECT_EQ(ModForForm(&form, true, data_.Handler()), c.modWithExtension);
  EXPECT_EQ(ModForForm(&form, false, data_.Handler()), c.modWithout);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, FormOwnerTest,
    testing::Values(OwnerCase{0x00012E46, "Master_12e46", "Master.esm", "Master"},
                    OwnerCase{0x01000000, "Dawn.v2_0", "Dawn.v2.esm", "Dawn.v2"},
                    OwnerCase{0x02000ABC, "NoDot_abc", "NoDot", "NoDot"},
                    // Index at or past the count of loaded regular mods.
                    OwnerCase{0x03000001, "", "-3", "-3"}, OwnerCase{0x7F000001, "", "-3", "-3"},
                    // Top bit set.
                    OwnerCase{0x80000000, "", "-1", "-1"}, OwnerCase{0xFE000801, "", "-1", "-1"},
                    OwnerCase{0xFF000000, "", "-1", "-1"},
                    // Forms created during play: index 0, the whole ID as the number.
                    OwnerCase{0xFF000001, "Master_ff000001", "Master.esm", "Master"},
                    OwnerCase{0xFFFFFFFF, "Master_ffffffff", "Master.esm", "Master"}));

TEST(FormOwner, NullFormOrMissingDataAnswerFailureTexts) {
  test::EngineDataView data;
  data.AddMod("Master.esm");
  EXPECT_EQ(ReferenceForForm(nullptr, data.Handler()), "");
  EXPECT_EQ(ModForForm(nullptr, true, data.Handler()), "");

  TESForm form{};
  form.formID = 0x00000001;
  EXPECT_EQ(ReferenceForForm(&form, nullptr), "");
  EXPECT_EQ(ModForForm(&form, true, nullptr), "-3");

  test::EngineDataView empty;
  form.formID = 0xFF000001;  // index 0 of an empty array
  EXPECT_EQ(ReferenceForForm(&form, empty.Handler()), "");
  EXPECT_EQ(ModForForm(&form, false, empty.Handler()), "-3");
}

TEST(FormOwner, WrittenReferenceReadsBackToTheSameForm) {
  test::EngineDataView data;
  data.AddMod("Master.esm");
  data.AddMod("Other.esp");
  data.MakeCurrent();
  for (std::uint32_t id : {0x00012E46u, 0x00000000u, 0x01FFFFFFu}) {
    const TESForm& form = data.AddForm(id);
    const std::string text = ReferenceForForm(&form, data.Handler());
    EXPECT_EQ(FormFromReference(text, data.Handler(), &test::LookupFormByID), &form) << text;
  }
  EXPECT_EQ(ReferenceForForm(test::LookupFormByID(0), data.Handler()), "Master_0");
}

TEST(FormOwner, LightPluginFormsNameTheLoadedLightPlugin) {
  test::EngineDataView data;
  data.AddMod("Master.esm");
  data.AddMod("ccFish.esl", sim::PluginKind::kLight);
  data.AddMod("Off.esp", sim::PluginKind::kInactive);
  data.AddMod("Tiny.esp", sim::PluginKind::kLight);
  struct Case {
    std::uint32_t formID;
    const char* reference;
    const char* modWithExtension;
    const char* modWithout;
  };
  const Case cases[] = {
      {0xFE000801, "ccFish_801", "ccFish.esl", "ccFish"},
      {0xFE001000, "Tiny_0", "Tiny.esp", "Tiny"},
      {0xFE001FFF, "Tiny_fff", "Tiny.esp", "Tiny"},
      // Light index 2 names no loaded light plugin.
      {0xFE002801, "", "-1", "-1"},
      {0xFEFFF801, "", "-1", "-1"},
  };
  for (const Case& c : cases) {
    const TESForm& form = data.AddForm(c.formID);
    EXPECT_EQ(ReferenceForForm(&form, data.Handler()), c.reference) << std::hex << c.formID;
    EXPECT_EQ(ModForForm(&form, true, data.Handler()), c.modWithExtension) << std::hex << c.formID;
    EXPECT_EQ(ModForForm(&form, false, data.Handler()), c.modWithout) << std::hex << c.formID;
  }
}

}  // namespace
}  // namespace cw
