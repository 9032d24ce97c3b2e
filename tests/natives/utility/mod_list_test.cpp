#include "natives/utility/mod_list.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/support/plugin_view.h"

namespace cw {
namespace {

struct FindCase {
  const char* name;
  int position;  // in the engine's list; -1: not found
};

class FindModFileTest : public testing::TestWithParam<FindCase> {
 protected:
  FindModFileTest() {
    for (const char* name :
         {"Master.esm", "Update.esm", "My Mod.esp", "MASTER.ESM", "\xC9t\xE9.esp"})
      files_.push_back(&data_.AddMod(name));
  }
  test::EngineDataView data_;
  std::vector<const TESFile*> files_;
};

TEST_P(FindModFileTest, FindsTheFirstFileIgnoringAsciiCase) {
  const int position = GetParam().position;
  EXPECT_EQ(FindModFile(data_.Handler(), GetParam().name),
            position < 0 ? nullptr : files_[position]);
}

INSTANTIATE_TEST_SUITE_P(
    LoadOrder, FindModFileTest,
    testing::Values(FindCase{"Master.esm", 0}, FindCase{"master.ESM", 0}, FindCase{"update.esm", 1},
                    FindCase{"My Mod.esp", 2}, FindCase{"\xC9t\xE9.esp", 4},
                    // Only ASCII letters fold: these bytes are other letters in any code page.
                    FindCase{"\xE9t\xC9.esp", -1}, FindCase{"Master", -1},
                    FindCase{"Master.esm ", -1}, FindCase{"", -1}));

TEST(FindModFile, EndsAtANullEntryOrAnEmptyList) {
  test::EngineDataView empty;
  EXPECT_EQ(FindModFile(empty.Handler(), ""), nullptr);
  EXPECT_EQ(FindModFile(nullptr, "Master.esm"), nullptr);

  test::EngineDataView data;
  const TESFile& a = data.AddMod("A.esp");
  data.AddMod("Hole.esp");
  data.AddMod("B.esp");
  data.Handler()->files.next->entry = nullptr;  // the second node loses its file
  EXPECT_EQ(FindModFile(data.Handler(), "A.esp"), &a);
  EXPECT_EQ(FindModFile(data.Handler(), "B.esp"), nullptr);
}

// A load order as a game with its free Creation content has it: light and
// inactive plugins among the regular ones, in the engine's list of files found.
class ModSlotTest : public testing::Test {
 protected:
  ModSlotTest() {
    data_.AddMod("Skyrim.esm");
    data_.AddMod("Update.esm", sim::PluginKind::kLight);  // a light master
    data_.AddMod("Off.esp", sim::PluginKind::kInactive);
    data_.AddMod("Dawnguard.esm");
    data_.AddMod("ccBGSSSE001-Fish.esm", sim::PluginKind::kLight);
    data_.AddMod("Mine.esp");
  }
  test::EngineDataView data_;
};

TEST_F(ModSlotTest, RegularPluginsCountOnlyTheLoadedRegularOnes) {
  const ModSlot dawnguard = ModSlotOf(data_.Handler(), "dawnguard.esm");
  EXPECT_EQ(dawnguard.kind, ModSlot::Kind::kRegular);
  EXPECT_EQ(dawnguard.index, 1);
  EXPECT_EQ(dawnguard.FormIDBase(), 0x01000000u);
  const ModSlot mine = ModSlotOf(data_.Handler(), "Mine.esp");
  EXPECT_EQ(mine.index, 2);  // fifth in the list of files found
  EXPECT_EQ(LoadedModAt(data_.Handler(), mine.index), FindModFile(data_.Handler(), "Mine.esp"));
  EXPECT_TRUE(mine.Owns(0x02000D62));
  EXPECT_FALSE(mine.Owns(0x05000D62));
}

TEST_F(ModSlotTest, LightPluginsOwnTheirFormsBesideTheLightIndex) {
  const ModSlot fish = ModSlotOf(data_.Handler(), "ccBGSSSE001-Fish.esm");
  EXPECT_EQ(fish.kind, ModSlot::Kind::kLight);
  EXPECT_EQ(fish.lightIndex, 1);
  EXPECT_EQ(fish.FormIDBase(), 0xFE001000u);
  EXPECT_TRUE(fish.Owns(0xFE001801));
  EXPECT_FALSE(fish.Owns(0xFE000801));  // light plugin 0
  EXPECT_FALSE(fish.Owns(0x01001801));
  EXPECT_EQ(LoadedLightModAt(data_.Handler(), 1),
            FindModFile(data_.Handler(), "ccBGSSSE001-Fish.esm"));
  EXPECT_EQ(LoadedLightModAt(data_.Handler(), 2), nullptr);
}

TEST_F(ModSlotTest, InactiveAndUnknownPluginsAreMissing) {
  for (const char* name : {"Off.esp", "Nowhere.esp"}) {
    const ModSlot slot = ModSlotOf(data_.Handler(), name);
    EXPECT_FALSE(slot.found()) << name;
    EXPECT_EQ(slot.FormIDBase(), 0xFF000000u) << name;
    EXPECT_FALSE(slot.Owns(0xFF000000)) << name;
  }
  EXPECT_FALSE(ModSlotOf(nullptr, "Skyrim.esm").found());
}

TEST(ModFileName, NeverReadsPastTheNameField) {
  TESFile file{};
  std::memset(file.fileName, 'x', sizeof(file.fileName));
  EXPECT_EQ(ModFileName(file).size(), sizeof(file.fileName));
  file.fileName[3] = '\0';
  EXPECT_EQ(ModFileName(file), "xxx");
}

TEST(LoadedModAt, AnswersNullOutsideTheArray) {
  test::EngineDataView data;
  const TESFile& first = data.AddMod("A.esm");
  const TESFile& second = data.AddMod("B.esp");
  EXPECT_EQ(LoadedModAt(data.Handler(), 0), &first);
  EXPECT_EQ(LoadedModAt(data.Handler(), 1), &second);
  EXPECT_EQ(LoadedModAt(data.Handler(), 2), nullptr);
  EXPECT_EQ(LoadedModAt(data.Handler(), -1), nullptr);
  EXPECT_EQ(LoadedModAt(nullptr, 0), nullptr);
  data.Handler()->loadedMods.data[1] = nullptr;
  EXPECT_EQ(LoadedModAt(data.Handler(), 1), nullptr);
  data.Handler()->loadedMods.data = nullptr;
  EXPECT_EQ(LoadedModAt(data.Handler(), 0), nullptr);
}

}  // namespace
}  // namespace cw
