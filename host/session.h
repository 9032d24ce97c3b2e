#pragma once
// One run of the simulated game: writes the version database, loads the plugin,
// queries and loads it, runs its registration callbacks.
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "host/database_writer.h"
#include "host/engine/machine.h"
#include "host/engine_data.h"
#include "host/skse_host.h"

namespace cw::sim {

struct SessionOptions {
  // The game folder holding Data/; empty: the current folder, and the database
  // is written into a temporary game folder for start-up alone.
  std::string gameDir;
  std::string pluginPath;  // empty: the plugin built beside this program
  // Plugins.txt; empty: the game's own. With a game folder or this, the engine
  // loads the plugin files of the game folder's Data as the game would.
  std::string pluginsTxt;
  DatabaseVersion runtime;
  bool editor = false;
  bool writeDatabase = true;
  std::set<std::uint64_t> omitIds;
  // Plugin files in the order the engine finds them, after those of the game folder.
  std::vector<std::pair<std::string, PluginKind>> plugins;
  std::vector<std::uint32_t> forms;
  std::vector<std::uint32_t> quests;
};

enum class StartResult { kAccepted, kRefused, kFailed };

class Session {
 public:
  explicit Session(SessionOptions options);
  ~Session();  // removes what it made: the database, its folders, a temporary folder

  // Loads and queries the plugin; on acceptance also loads it and runs its
  // callbacks. `log` receives what the plugin wrote to its log when asked.
  // The plugin starts up in the game folder when the database can be written
  // there without replacing a file, else in a temporary game folder that holds
  // only the database; natives are called in the game folder.
  StartResult Start(std::string* error, std::string* log = nullptr);

  Machine& machine() { return TheMachine(); }
  // What Start found wrong in the game's files without failing (light files
  // numbered outside their range).
  const std::vector<std::string>& warnings() const { return warnings_; }
  const SkseHost& skse() const { return *skse_; }

 private:
  SessionOptions options_;
  // Where the plugin starts up: the game folder, or a temporary one that holds
  // the database alone. False with `error` set when it cannot be made.
  bool ChooseStartupFolder(const std::string& gameDir, std::string* startupDir, std::string* error);

  std::unique_ptr<SkseHost> skse_;
  // What this session made, removed again in this order: the database file, the
  // folders made for it (deepest first, only while empty), a temporary game folder.
  std::string writtenDatabase_;
  std::vector<std::string> madeFolders_;
  std::string temporaryFolder_;
  std::vector<std::string> warnings_;
};

// Skyrim VR (game versions 1.4.x) has no version database for the plugin to read.
inline bool IsSkyrimVRLine(const DatabaseVersion& v) {
  return v.major == 1 && v.minor == 4;
}

// True when `path` holds a readable version database that this program did not
// write: its addresses belong to another program (the real game), and the plugin
// would crash on them here.
bool IsForeignDatabase(const std::string& path);

// Whether the script extender of the 1.6 line loads a plugin with this version
// record (null: none exported) into a game of `runtime`; `why` says why not.
bool AcceptsVersionRecord(const skse::VersionRecord* record, std::uint32_t runtime,
                          std::uint32_t extenderVersion, std::string* why);

// "A.B.C.D".
std::string RuntimeVersionText(const DatabaseVersion& version);

// Parses "A.B.C.D".
bool ParseRuntimeVersion(const std::string& text, DatabaseVersion* version);

}  // namespace cw::sim
