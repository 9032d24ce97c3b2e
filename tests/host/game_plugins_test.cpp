// A game folder of plugin files written here: the engine's lists and forms the
// simulator makes of it, and what `load-order` prints.
#include "host/game_plugins.h"

#include <gtest/gtest.h>

#include <sstream>

#include "host/commands/load_order_command.h"
#include "tests/support/game_folder.h"
#include "tests/support/plugin_bytes.h"

namespace cw::sim {
namespace {

namespace pb = test::plugin_bytes;

// Quests.esm owns two quests and an NPC; Patch.esp overrides one of its quests
// and adds a quest and a topic; Light.esl (header 0.94) numbers a quest below
// 0x800, New.esl (header 1.71) may; Off.esp is not active.
void WriteGame(const test::GameFolder& game) {
  game.Write("Data/Quests.esm",
             pb::Header(0x1, 0.94f) + pb::Group("NPC_", pb::Record("NPC_", 0xD64)) +
                 pb::Group("QUST", pb::Record("QUST", 0xD62) + pb::Record("QUST", 0xD63)));
  game.Write("Data/Patch.esp",
             pb::Header(0, 0.94f, {"Quests.esm"}) +
                 pb::Group("QUST", pb::Record("QUST", 0xD62) + pb::Record("QUST", 0x01000800)) +
                 pb::Group("DIAL", pb::Record("DIAL", 0x01000801)));
  game.Write("Data/Light.esl", pb::Header(0x201, 0.94f, {"Quests.esm"}) +
                                   pb::Group("QUST", pb::Record("QUST", 0x01000801) +
                                                         pb::Record("QUST", 0x01000010)));
  game.Write("Data/New.esl", pb::Header(0x201, 1.71f) + pb::Record("QUST", 0x10));
  game.Write("Data/Off.esp", pb::Header(0, 0.94f) + pb::Record("QUST", 0x900));
  game.Write("Plugins.txt", "*Patch.esp\r\n*Quests.esm\r\n*Light.esl\r\n*New.esl\r\nOff.esp\r\n");
}

TEST(GamePlugins, LoadedFilesOwnRecordsBecomeForms) {
  test::GameFolder game;
  WriteGame(game);
  GamePlugins plugins;
  std::string error;
  ASSERT_TRUE(ReadGamePlugins(game.path(), "", &plugins, &error)) << error;
  EngineData data;
  std::vector<std::string> warnings;  // the session prints them, as load-order does
  ASSERT_TRUE(AddToEngine(plugins, &data, &error, &warnings)) << error;
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0].rfind("Light.esl: 1 own form(s) numbered outside", 0), 0u) << warnings[0];

  const DataHandler* handler = data.Handler();
  ASSERT_EQ(handler->loadedRegular.count, 2u);
  EXPECT_STREQ(handler->loadedRegular.data[1]->name, "Patch.esp");
  ASSERT_EQ(handler->loadedLight.count, 2u);
  EXPECT_STREQ(handler->loadedLight.data[1]->name, "New.esl");

  const auto& quests = handler->formsOfType[kQuestFormType];
  std::vector<std::uint32_t> ids;
  for (std::uint32_t i = 0; i < quests.count; ++i) ids.push_back(quests.data[i]->formID);
  EXPECT_EQ(ids, (std::vector<std::uint32_t>{0x00000D62, 0x00000D63, 0xFE000801, 0xFE000010,
                                             0xFE001010, 0x01000800}));
  ASSERT_NE(data.Find(0x00000D64), nullptr);
  EXPECT_EQ(data.Find(0x00000D64)->formType, 43);  // NPC_
  ASSERT_NE(data.Find(0x01000801), nullptr);
  EXPECT_EQ(data.Find(0x01000801)->formType, 75);  // DIAL
  EXPECT_EQ(data.Find(0x01000D62), nullptr);       // an override is not a new form
  EXPECT_EQ(data.Find(0x02000900), nullptr);       // Off.esp does not load
}

TEST(GamePlugins, LoadOrderCommandPrintsIndicesAndWarnsAboutLightNumbers) {
  test::GameFolder game;
  WriteGame(game);
  game.Write("Data/Needs.esp", pb::Header(0, 0.94f, {"Absent.esm"}));
  std::ostringstream out, err;
  EXPECT_EQ(PrintLoadOrder(game.str(), "", out, err), 0);
  EXPECT_EQ(out.str(),
            "00      Quests.esm  [master]\n"
            "FE:000  Light.esl  [master, light]\n"
            "FE:001  New.esl  [master, light]\n"
            "01      Patch.esp\n"
            "--      Off.esp  [inactive]\n"
            "--      Needs.esp  [inactive]\n");
  EXPECT_EQ(err.str(),
            "cradlewright-host: warning: Light.esl: 1 own form(s) numbered outside 0x800-0xFFF, "
            "the range of header version 0.94 (first: 0x10); header version 1.71 (game "
            "1.6.1130 and later) allows 0x000-0xFFF\n");

  // Active, Needs.esp is left out; a damaged file to load stops the simulator.
  game.Write("Plugins.txt", "*Quests.esm\n*Needs.esp\n*Patch.esp\n");
  game.Write("Data/Patch.esp", pb::Header(0, 0.94f, {"Quests.esm"}) + "GRUP");
  out.str("");
  EXPECT_EQ(PrintLoadOrder(game.str(), "", out, err), 0);
  EXPECT_NE(out.str().find("--      Needs.esp  [missing master: Absent.esm]\n"), std::string::npos);
  GamePlugins plugins;
  std::string error;
  ASSERT_TRUE(ReadGamePlugins(game.path(), "", &plugins, &error));
  EngineData data;
  EXPECT_FALSE(AddToEngine(plugins, &data, &error));
  EXPECT_EQ(error, "Data/Patch.esp: offset 0x55: a record header runs past the end of the file");

  game.Write("Data/Torn.esp", "TES4");
  game.Write("Plugins.txt", "*Quests.esm\n*Torn.esp\n");
  out.str("");
  EXPECT_EQ(PrintLoadOrder(game.str(), "", out, err), 1);
  EXPECT_NE(out.str().find("--      Torn.esp  [damaged: Data/Torn.esp: offset 0x0: not a plugin "
                           "file: shorter than a record header]\n"),
            std::string::npos)
      << out.str();
}

}  // namespace
}  // namespace cw::sim
