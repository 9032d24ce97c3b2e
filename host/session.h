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
  std::string gameDir = ".";
  std::string pluginPath;  // empty: the plugin built beside this program
  DatabaseVersion runtime;
  bool editor = false;
  bool writeDatabase = true;
  std::set<std::uint64_t> omitIds;
  // Plugin files in the order the engine finds them.
  std::vector<std::pair<std::string, PluginKind>> plugins;
  std::vector<std::uint32_t> forms;
  std::vector<std::uint32_t> quests;
};

enum class StartResult { kAccepted, kRefused, kFailed };

class Session {
 public:
  explicit Session(SessionOptions options);
  ~Session();  // removes the database it wrote

  // Loads and queries the plugin; on acceptance also loads it and runs its
  // callbacks. `log` receives what the plugin wrote to its log when asked.
  StartResult Start(std::string* error, std::string* log = nullptr);

  Machine& machine() { return TheMachine(); }
  const SkseHost& skse() const { return *skse_; }

 private:
  SessionOptions options_;
  std::unique_ptr<SkseHost> skse_;
  std::string writtenDatabase_;
};

// Whether the script extender of the 1.6 line loads a plugin with this version
// record (null: none exported) into a game of `runtime`; `why` says why not.
bool AcceptsVersionRecord(const skse::VersionRecord* record, std::uint32_t runtime,
                          std::uint32_t extenderVersion, std::string* why);

// "A.B.C.D".
std::string RuntimeVersionText(const DatabaseVersion& version);

// Parses "A.B.C.D".
bool ParseRuntimeVersion(const std::string& text, DatabaseVersion* version);

}  // namespace cw::sim
