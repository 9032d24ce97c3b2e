#include "host/engine_data.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace cw::sim {
namespace {

TEST(EngineData, ModsJoinTheFileListAndTheLoadedArrayInOrder) {
  EngineData data;
  const DataHandler* handler = data.Handler();
  EXPECT_EQ(handler->files.entry, nullptr);
  EXPECT_EQ(handler->loadedMods.count, 0u);

  const std::string longName(0x200, 'n');
  TESFile& a = data.AddMod("A.esm");
  TESFile& b = data.AddMod("B.esp");
  TESFile& c = data.AddMod(longName);
  EXPECT_EQ(handler->files.entry, &a);
  ASSERT_NE(handler->files.next, nullptr);
  EXPECT_EQ(handler->files.next->entry, &b);
  EXPECT_EQ(handler->files.next->next->entry, &c);
  EXPECT_EQ(handler->files.next->next->next, nullptr);
  ASSERT_EQ(handler->loadedMods.count, 3u);
  EXPECT_EQ(handler->loadedMods.data[0], &a);
  EXPECT_EQ(handler->loadedMods.data[2], &c);
  EXPECT_STREQ(b.fileName, "B.esp");
  EXPECT_EQ(std::string(c.fileName), longName.substr(0, sizeof(c.fileName) - 1));
}

TEST(EngineData, LookupReadsTheCurrentDataOnly) {
  EXPECT_EQ(LookupFormByID(0x14), nullptr);
  {
    EngineData data;
    TESForm& first = data.AddForm(0x14, 3);
    EXPECT_EQ(LookupFormByID(0x14), nullptr);  // not current yet
    data.MakeCurrent();
    EXPECT_EQ(g_dataHandler, data.Handler());
    EXPECT_EQ(LookupFormByID(0x14), &first);
    EXPECT_EQ(first.formType, 3);

    // Later additions never move what was handed out.
    for (std::uint32_t id = 0x100; id < 0x2100; ++id) data.AddForm(id);
    TESQuest& quest = data.AddQuest(0x14);
    EXPECT_EQ(LookupFormByID(0x14), &quest);
    EXPECT_EQ(quest.formType, kFormTypeQuest);
    EXPECT_EQ(first.formID, 0x14u);
    ASSERT_EQ(g_dataHandler->quests.count, 1u);
    EXPECT_EQ(g_dataHandler->quests.data[0], &quest);
  }
  EXPECT_EQ(g_dataHandler, nullptr);
  EXPECT_EQ(LookupFormByID(0x14), nullptr);
}

TEST(EngineData, LookupsRunFromSeveralThreads) {
  EngineData data;
  for (std::uint32_t id = 1; id <= 1000; ++id) data.AddForm(id);
  data.MakeCurrent();
  std::vector<std::thread> threads;
  std::vector<int> found(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&found, t] {
      for (std::uint32_t id = 0; id <= 1001; ++id) found[t] += LookupFormByID(id) != nullptr;
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int count : found) EXPECT_EQ(count, 1000);
}

}  // namespace
}  // namespace cw::sim
