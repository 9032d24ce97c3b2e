#pragma once
// The plugin files of a game folder, ordered as the game loads them, and the
// forms of the loaded ones put into the simulated engine.
#include <filesystem>
#include <string>
#include <vector>

#include "gamedata/load_order.h"
#include "host/engine_data.h"

namespace cw::sim {

struct GamePlugins {
  GamePlugins() = default;
  GamePlugins(const GamePlugins&) = delete;  // the order points into `found`
  GamePlugins& operator=(const GamePlugins&) = delete;

  std::filesystem::path dataFolder;
  std::vector<gamedata::FoundPlugin> found;
  gamedata::LoadOrder order;
};

// Where the game reads Plugins.txt. On Windows the game's folder under the local
// application data folder: "Skyrim Special Edition" when the game folder has
// steam_api64.dll, else the first of the GOG, EPIC, MS and Steam folders that
// holds a Plugins.txt. Elsewhere, or when none holds one, GAME/Plugins.txt.
std::filesystem::path DefaultPluginsTxt(const std::filesystem::path& gameDir);

// Reads the headers of the plugin files in GAME/Data, Plugins.txt (`pluginsTxt`,
// or the default place) and GAME/Skyrim.ccc, and builds the load order. False
// with `error` set when a Plugins.txt that was named cannot be read.
bool ReadGamePlugins(const std::filesystem::path& gameDir, const std::string& pluginsTxt,
                     GamePlugins* plugins, std::string* error);

// Adds every file found to the engine's list, the loaded ones with their
// indices, and every loaded file's own records as forms with their run-time
// IDs (quests into the quest array). False with `error` set when the load order
// has an error, a file to load is damaged or its records cannot be read. A light
// file whose forms are numbered outside its header version's range adds a line
// to `warnings` (when given).
bool AddToEngine(const GamePlugins& plugins, EngineData* data, std::string* error,
                 std::vector<std::string>* warnings = nullptr);

}  // namespace cw::sim
