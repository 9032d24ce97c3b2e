#include "host/engine_data.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "host/engine/functions.h"

namespace cw::sim {
namespace {

TEST(EngineData, PluginsJoinTheFileListAndTheirLoadedArrayInOrder) {
  EngineData data;
  const DataHandler* handler = data.Handler();
  EXPECT_EQ(handler->files.file, nullptr);
  EXPECT_EQ(handler->loadedRegular.count, 0u);

  const std::string longName(0x200, 'n');
  PluginFile& a = data.AddPlugin("A.esm");
  PluginFile& light = data.AddPlugin("L.esp", PluginKind::kLight);
  PluginFile& off = data.AddPlugin("Off.esp", PluginKind::kInactive);
  PluginFile& b = data.AddPlugin(longName);
  const PluginFile* listed[] = {&a, &light, &off, &b};
  const PluginNode* node = &handler->files;
  for (const PluginFile* file : listed) {
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->file, file);
    node = node->next;
  }
  EXPECT_EQ(node, nullptr);
  ASSERT_EQ(handler->loadedRegular.count, 2u);
  EXPECT_EQ(handler->loadedRegular.data[0], &a);
  EXPECT_EQ(handler->loadedRegular.data[1], &b);
  ASSERT_EQ(handler->loadedLight.count, 1u);
  EXPECT_EQ(handler->loadedLight.data[0], &light);
  EXPECT_EQ(a.compileIndex, 0);
  EXPECT_EQ(b.compileIndex, 1);
  EXPECT_EQ(light.compileIndex, kLightCompileIndex);
  EXPECT_EQ(light.lightIndex, 0);
  EXPECT_EQ(off.compileIndex, kNotLoadedIndex);
  EXPECT_STREQ(light.name, "L.esp");
  EXPECT_EQ(std::string(b.name), longName.substr(0, sizeof(b.name) - 1));
}

TEST(EngineData, LookupReadsTheCurrentDataOnly) {
  EXPECT_EQ(LookupForm(0x14), nullptr);
  {
    EngineData data;
    Form& first = data.AddForm(0x14, 3);
    EXPECT_EQ(LookupForm(0x14), nullptr);  // not current yet
    data.MakeCurrent();
    EXPECT_EQ(g_dataHandler, data.Handler());
    EXPECT_EQ(LookupForm(0x14), &first);
    EXPECT_EQ(first.formType, 3);

    // Later additions never move what was handed out.
    for (std::uint32_t id = 0x100; id < 0x2100; ++id) data.AddForm(id);
    Form& quest = data.AddQuest(0x14);
    EXPECT_EQ(LookupForm(0x14), &quest);
    EXPECT_EQ(quest.formType, kQuestFormType);
    EXPECT_EQ(first.formID, 0x14u);
    const PointerArray<Form>& quests = g_dataHandler->formsOfType[kQuestFormType];
    ASSERT_EQ(quests.count, 1u);
    EXPECT_EQ(quests.data[0], &quest);
  }
  EXPECT_EQ(g_dataHandler, nullptr);
  EXPECT_EQ(LookupForm(0x14), nullptr);
}

TEST(EngineData, LookupsRunFromSeveralThreads) {
  EngineData data;
  for (std::uint32_t id = 1; id <= 1000; ++id) data.AddForm(id);
  data.MakeCurrent();
  std::vector<std::thread> threads;
  std::vector<int> found(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&found, t] {
      for (std::uint32_t id = 0; id <= 1001; ++id) found[t] += LookupForm(id) != nullptr;
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int count : found) EXPECT_EQ(count, 1000);
}

}  // namespace
}  // namespace cw::sim
