// The forms the Papyrus VM sees in the simulator: Game.GetFormFromFile's look-up
// of a file's own form number in the load order.
#include "host/commands/script_natives.h"

#include <gtest/gtest.h>

#include "host/engine_data.h"

namespace cw::sim {
namespace {

TEST(SimulatorForms, AFilesFormNumberIsFoundByItsLoadOrderIndex) {
  EngineData data;
  data.MakeCurrent();
  data.AddPlugin("Skyrim.esm");
  data.AddPlugin("Off.esp", PluginKind::kInactive);
  data.AddPlugin("Small.esl", PluginKind::kLight);
  data.AddPlugin("Mod.esp");
  data.AddForm(0x00000014, 62);
  data.AddQuest(0x01000D62);
  data.AddForm(0xFE000801, 9);
  const SimulatorForms forms;
  const struct {
    std::uint32_t local;
    const char* file;
    std::optional<std::uint32_t> id;
  } cases[] = {
      {0x14, "Skyrim.esm", 0x14},          {0x14, "skyrim.ESM", 0x14},
      {0xAB000D62, "Mod.esp", 0x01000D62}, {0x801, "Small.esl", 0xFE000801},
      {0xD62, "Skyrim.esm", std::nullopt}, {0x14, "Off.esp", std::nullopt},
      {0x14, "Missing.esp", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(forms.FormInFile(c.local, c.file), c.id) << c.file;
  EXPECT_EQ(forms.FormType(0x01000D62), 77);
  EXPECT_EQ(forms.FormType(0xFE000801), 9);
  EXPECT_EQ(forms.FormType(0x02000000), std::nullopt);
}

}  // namespace
}  // namespace cw::sim
