#pragma once
// What the `test` and `script` commands share: the compiled scripts named on the
// command line, the library they run from, and the simulator they run in.
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "host/commands/script_natives.h"
#include "host/session.h"
#include "papyrus/pex_file.h"
#include "papyrus/vm/engine_natives.h"
#include "papyrus/vm/library.h"

namespace cw::sim {

inline constexpr int kScriptsPassed = 0, kScriptsFailed = 1, kScriptsBadInput = 2;

// The options of the script commands after the command word.
struct ScriptRunOptions {
  std::vector<std::string> paths;
  std::uint32_t seed = 0;
  double seconds = 10;   // `script`: virtual seconds to run
  double timeout = 0;    // real seconds per test or run; 0: none
  bool verbose = false;  // `test`: the log of every test
};

// Reads the options; nullopt with `error` set for a bad one.
std::optional<ScriptRunOptions> ParseScriptRunOptions(const std::vector<std::string>& args,
                                                      double defaultTimeout, std::string* error);

// The simulator with the plugin started and the scripts ready to run: the files
// named (or the .pex files of the folders named) come first, then the other
// scripts of their folders, then GAME/Data/Scripts.
class ScriptRun {
 public:
  // Null with `error` set when a path names no compiled script, a script cannot
  // be read, or the plugin does not start.
  static std::unique_ptr<ScriptRun> Start(const SessionOptions& session,
                                          const std::vector<std::string>& paths,
                                          std::string* error);
  ~ScriptRun();

  papyrus::vm::Library& library() { return library_; }
  const SimulatorForms& forms() const { return forms_; }
  Session& session() { return *session_; }
  // The class names of the scripts named, in the order given.
  const std::vector<std::string>& named() const { return named_; }

 private:
  ScriptRun() = default;
  std::unique_ptr<Session> session_;
  papyrus::vm::Library library_;
  papyrus::vm::EngineNatives engineNatives_;
  std::unique_ptr<PluginNatives> pluginNatives_;
  SimulatorForms forms_;
  std::vector<std::string> named_;
};

int RunTestCommand(const SessionOptions& session, const std::vector<std::string>& args,
                   std::ostream& out, std::ostream& err);
int RunScriptCommand(const SessionOptions& session, const std::vector<std::string>& args,
                     std::ostream& out, std::ostream& err);

}  // namespace cw::sim
