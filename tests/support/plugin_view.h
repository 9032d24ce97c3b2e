#pragma once
// The simulator's engine data seen through the plugin's own declarations, as the
// plugin sees the game's: the same bytes, read with the plugin's layouts.
#include <cstdint>
#include <string_view>

#include "host/engine/functions.h"
#include "host/engine_data.h"
#include "plugin/engine_types.h"

namespace cw::test {

class EngineDataView : public sim::EngineData {
 public:
  const DataHandler* Handler() const {
    return reinterpret_cast<const DataHandler*>(sim::EngineData::Handler());
  }
  DataHandler* Handler() { return reinterpret_cast<DataHandler*>(sim::EngineData::Handler()); }
  TESFile& AddMod(std::string_view name, sim::PluginKind kind = sim::PluginKind::kRegular) {
    return reinterpret_cast<TESFile&>(AddPlugin(name, kind));
  }
  TESForm& AddForm(std::uint32_t formID, std::uint8_t formType = 0) {
    return reinterpret_cast<TESForm&>(sim::EngineData::AddForm(formID, formType));
  }
  TESQuest& AddQuest(std::uint32_t formID) {
    return reinterpret_cast<TESQuest&>(sim::EngineData::AddQuest(formID));
  }
  // A load order as a player's game has it, light and inactive plugins among the
  // regular ones: Skyrim.esm 00, ccFish.esm light 000, Off.esp found but not
  // loaded, Tiny.esp light 001, Mine.esp 01.
  void AddMixedLoadOrder() {
    AddMod("Skyrim.esm");
    AddMod("ccFish.esm", sim::PluginKind::kLight);
    AddMod("Off.esp", sim::PluginKind::kInactive);
    AddMod("Tiny.esp", sim::PluginKind::kLight);
    AddMod("Mine.esp");
  }
};

// The engine's form look-up over the current data.
inline TESForm* LookupFormByID(std::uint32_t formID) {
  return reinterpret_cast<TESForm*>(sim::LookupForm(formID));
}

}  // namespace cw::test
