#pragma once
// Loads the plugin binary and finds its two entry points.
#include <string>

#include "host/skse_records.h"

namespace cw::sim {

struct PluginLibrary {
  skse::QueryFn query = nullptr;
  skse::LoadFn load = nullptr;
  const skse::VersionRecord* versionRecord = nullptr;  // null when not exported
};

// Loads the library at `path` (only its constant set-up runs now) and finds its entry
// points; false with `error` when it cannot be loaded or lacks SKSEPlugin_Load.
// A missing query entry or version record is left null: which of them a plugin
// needs depends on the script extender.
bool LoadPlugin(const std::string& path, PluginLibrary* plugin, std::string* error);

// The folder of this program.
std::string ProgramFolder();

// The plugin built next to this program.
std::string DefaultPluginPath();

// Sets the version texts the plugin reads as the running game's version (POSIX;
// on Windows the version resource of this program says 1.5.97.0).
void SetRuntimeVersionTexts(const std::string& productVersion, const std::string& fileVersion);

}  // namespace cw::sim
