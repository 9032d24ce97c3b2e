#include "natives/utility/mod_list.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "host/engine_data.h"

namespace cw {
namespace {

struct PositionCase {
  const char* name;
  int position;
};

class ModFilePositionTest : public testing::TestWithParam<PositionCase> {
 protected:
  ModFilePositionTest() {
    for (const char* name :
         {"Master.esm", "Update.esm", "My Mod.esp", "MASTER.ESM", "\xC9t\xE9.esp"})
      data_.AddMod(name);
  }
  sim::EngineData data_;
};

TEST_P(ModFilePositionTest, FindsTheFirstFileIgnoringAsciiCase) {
  EXPECT_EQ(ModFilePosition(data_.Handler(), GetParam().name), GetParam().position);
}

INSTANTIATE_TEST_SUITE_P(
    LoadOrder, ModFilePositionTest,
    testing::Values(PositionCase{"Master.esm", 0}, PositionCase{"master.ESM", 0},
                    PositionCase{"update.esm", 1}, PositionCase{"My Mod.esp", 2},
                    PositionCase{"\xC9t\xE9.esp", 4},
                    // Only ASCII letters fold: these bytes are other letters in any code page.
                    PositionCase{"\xE9t\xC9.esp", -1}, PositionCase{"Master", -1},
                    PositionCase{"Master.esm ", -1}, PositionCase{"", -1}));

TEST(ModFilePosition, EndsAtANullEntryOrAnEmptyList) {
  sim::EngineData empty;
  EXPECT_EQ(ModFilePosition(empty.Handler(), ""), -1);
  EXPECT_EQ(ModFilePosition(nullptr, "Master.esm"), -1);

  sim::EngineData data;
  data.AddMod("A.esp");
  data.AddMod("Hole.esp");
  data.AddMod("B.esp");
  data.Handler()->files.next->entry = nullptr;  // the second node loses its file
  EXPECT_EQ(ModFilePosition(data.Handler(), "A.esp"), 0);
  EXPECT_EQ(ModFilePosition(data.Handler(), "B.esp"), -1);
}

TEST(LoadOrderIndex, KeepsTheLowEightBitsAndMarksMissingNames) {
  sim::EngineData data;
  for (int i = 0; i < 258; ++i) data.AddMod("Mod" + std::to_string(i) + ".esp");
  EXPECT_EQ(LoadOrderIndex(data.Handler(), "Mod0.esp"), 0);
  EXPECT_EQ(LoadOrderIndex(data.Handler(), "Mod254.esp"), 254);
  EXPECT_EQ(LoadOrderIndex(data.Handler(), "Mod256.esp"), 0);
  EXPECT_EQ(LoadOrderIndex(data.Handler(), "Mod257.esp"), 1);
  EXPECT_EQ(LoadOrderIndex(data.Handler(), "Mod258.esp"), kMissingLoadOrderIndex);
  EXPECT_EQ(LoadOrderIndex(nullptr, "Mod0.esp"), kMissingLoadOrderIndex);
}

TEST(ModFileName, NeverReadsPastTheNameField) {
  TESFile file{};
  std::memset(file.fileName, 'x', sizeof(file.fileName));
  EXPECT_EQ(ModFileName(file).size(), sizeof(file.fileName));
  file.fileName[3] = '\0';
  EXPECT_EQ(ModFileName(file), "xxx");
}

TEST(LoadedModAt, AnswersNullOutsideTheArray) {
  sim::EngineData data;
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
