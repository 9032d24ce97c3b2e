#pragma once
// The game's load order: which plugin files load, in which order, with which
// load-order or light index, built as the game builds it from Plugins.txt, the
// always-loaded masters, Skyrim.ccc and the headers of the files in Data.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "gamedata/plugin_file.h"

namespace cw::gamedata {

// Regular files take indices 00 to FD; light files FE:000 to FE:FFF.
inline constexpr std::size_t kMaxRegularPlugins = 0xFE;
inline constexpr std::size_t kMaxLightPlugins = 0x1000;

// A plugin file found in the Data folder.
struct FoundPlugin {
  std::string name;     // as the folder spells it (UTF-8)
  PluginHeader header;  // when readable
  std::string damage;   // why the header cannot be read; empty when it can
};

enum class PluginState {
  kLoaded,
  kInactive,       // in Data, not marked active
  kMissingMaster,  // active, but a master of it does not load
  kDamaged,        // active, but its header cannot be read
  kNotInData,      // marked active in Plugins.txt, no such file in Data
};

struct LoadOrderEntry {
  std::string name;  // the folder's spelling when the file is there
  PluginState state = PluginState::kInactive;
  bool master = false;                      // flag 0x1 or .esm/.esl: loads before all non-masters
  bool light = false;                       // flag 0x200 or .esl: takes a light index
  std::uint8_t index = 0;                   // of a loaded regular file
  std::uint16_t lightIndex = 0;             // of a loaded light file
  std::vector<std::string> missingMasters;  // for kMissingMaster
  const FoundPlugin* file = nullptr;        // null for kNotInData

  bool Loaded() const { return state == PluginState::kLoaded; }
};

struct LoadOrder {
  // Every file the game would load, and every other file that Plugins.txt names
  // as active or that Data holds, masters first, each in its load-order place.
  std::vector<LoadOrderEntry> entries;
  // Set when more files load than the index ranges hold.
  std::string error;
};

// From the bytes of Plugins.txt and of Skyrim.ccc (empty where there is none)
// and the files in Data. The entries point into `found`, which must outlive
// the result.
LoadOrder BuildLoadOrder(std::string_view pluginsTxt, std::string_view skyrimCcc,
                         const std::vector<FoundPlugin>& found);

// "00", "FE:000"; empty for a file that does not load.
std::string IndexText(const LoadOrderEntry& entry);

}  // namespace cw::gamedata
