#include "natives/utility/quest_objects.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>

#include "tests/support/plugin_view.h"

namespace cw {
namespace {

class QuestObjectsTest : public testing::Test {
 protected:
  QuestObjectsTest() {
    for (const char* name :
         {"Alpha.esp", "Alpha.esm", "Beta.esm", "Empty.esp", "Gamma", "Delta", "Delta.esp"})
      data_.AddMod(name);
    for (std::uint32_t id : {0x00000010u, 0x02000001u, 0x00000020u, 0x01000005u, 0x02000002u,
                             0x00000030u, 0x04000001u, 0x05000001u, 0x06000001u})
      data_.AddQuest(id);
    data_.AddForm(0x03000001);  // a form of Empty.esp that is no quest
  }
  test::EngineDataView data_;
};

TEST_F(QuestObjectsTest, ResolvesTheNameItselfThenEspThenEsm) {
  struct Case {
    const char* name;
    int index;  // -1: not found
  };
  for (const Case& c : {Case{"Alpha", 0}, Case{"Alpha.esm", 1}, Case{"ALPHA.ESM", 1},
                        Case{"beta", 2}, Case{"Gamma", 4}, Case{"Delta", 5}, Case{"Delta.esp", 6},
                        Case{"Missing", -1}, Case{"", -1}}) {
    const ModSlot slot = QuestModSlot(data_.Handler(), c.name);
    EXPECT_EQ(slot.found() ? slot.index : -1, c.index) << c.name;
  }
}

TEST_F(QuestObjectsTest, CountsTheQuestsOfTheMod) {
  struct Case {
    const char* name;
    std::int32_t count;
  };
  for (const Case& c :
       {Case{"Alpha", 3}, Case{"alpha.esp", 3}, Case{"Alpha.esm", 1}, Case{"Beta", 2},
        Case{"Empty", 0}, Case{"Gamma", 1}, Case{"Delta", 1}, Case{"Missing", 0}}) {
    EXPECT_EQ(QuestCountOfMod(data_.Handler(), c.name), c.count) << c.name;
  }
}

TEST_F(QuestObjectsTest, GivesTheQuestAtAPositionAmongTheModsOwn) {
  struct Case {
    const char* name;
    std::int32_t position;
    std::uint32_t formID;  // 0: none
  };
  for (const Case& c :
       {Case{"Alpha", 0, 0x10}, Case{"Alpha", 1, 0x20}, Case{"Alpha", 2, 0x30},
        Case{"Alpha", -1, 0x10}, Case{"Alpha", INT32_MIN, 0x10}, Case{"Alpha", 3, 0},
        Case{"Alpha", INT32_MAX, 0}, Case{"Beta", 1, 0x02000002}, Case{"Alpha.esm", 0, 0x01000005},
        Case{"Empty", 0, 0}, Case{"Missing", 0, 0}}) {
    const TESQuest* quest = QuestOfMod(data_.Handler(), c.name, c.position);
    EXPECT_EQ(quest ? quest->formID : 0u, c.formID) << c.name << " " << c.position;
  }
}

TEST(QuestObjects, LightAndInactivePluginsAmongTheRegularOnes) {
  test::EngineDataView data;
  data.AddMixedLoadOrder();
  for (std::uint32_t id :
       {0x01000D62u, 0xFE001801u, 0xFE000801u, 0x03000001u, 0xFE001802u, 0x02000001u, 0x01000D63u})
    data.AddQuest(id);
  struct Case {
    const char* name;
    std::int32_t count;
    std::uint32_t first;  // 0: none
  };
  for (const Case& c :
       {Case{"Mine", 2, 0x01000D62}, Case{"Tiny", 2, 0xFE001801}, Case{"ccFish.esm", 1, 0xFE000801},
        Case{"Off", 0, 0}, Case{"Skyrim", 0, 0}}) {
    EXPECT_EQ(QuestCountOfMod(data.Handler(), c.name), c.count) << c.name;
    const TESQuest* quest = QuestOfMod(data.Handler(), c.name, 0);
    EXPECT_EQ(quest ? quest->formID : 0u, c.first) << c.name;
  }
  EXPECT_EQ(QuestOfMod(data.Handler(), "Tiny", 1)->formID, 0xFE001802u);
}

TEST(QuestObjects, MissingDataOrEmptySlotsGiveNothing) {
  EXPECT_EQ(QuestCountOfMod(nullptr, "Alpha"), 0);
  EXPECT_EQ(QuestOfMod(nullptr, "Alpha", 0), nullptr);

  test::EngineDataView data;
  data.AddMod("Alpha.esp");
  const TESQuest& kept = data.AddQuest(0x00000002);
  TESQuest* slots[] = {nullptr, const_cast<TESQuest*>(&kept), nullptr};
  data.Handler()->quests.data = slots;
  data.Handler()->quests.count = 3;
  EXPECT_EQ(QuestCountOfMod(data.Handler(), "Alpha"), 1);
  EXPECT_EQ(QuestOfMod(data.Handler(), "Alpha", 0), &kept);
  EXPECT_EQ(QuestOfMod(data.Handler(), "Alpha", 1), nullptr);

  data.Handler()->quests.data = nullptr;
  EXPECT_EQ(QuestCountOfMod(data.Handler(), "Alpha"), 0);
  EXPECT_EQ(QuestOfMod(data.Handler(), "Alpha", 0), nullptr);
}

}  // namespace
}  // namespace cw
