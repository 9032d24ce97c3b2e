#pragma once
// Checking script sources against the natives the plugin registers: a declaration
// that differs is what makes the game log "native function not bound" at run time.
#include <cstddef>
#include <iosfwd>
#include <string>
#include <vector>

#include "host/papyrus_source.h"

namespace cw::sim {

enum class Difference {
  // Errors: the game would not bind the native as the script declares it.
  kMissing,         // registered, not declared
  kExtra,           // declared native, not registered
  kTwice,           // declared more than once
  kResultKind,      // another result kind
  kParameterKinds,  // another number, kind or order of parameters
  kNotGlobal,
  kNotNative,
  // Warnings: Papyrus ignores them, a reader may not.
  kNameCase,        // the class or native name differs in letter case only
  kParameterNames,  // the same kinds under other names (perhaps swapped)
};

struct Finding {
  Difference what;
  std::size_t line = 0;  // 0 when the finding has no place in the source
  std::string native;    // "Class.name" as registered, or the script's class alone
  std::string text;

  bool IsWarning() const {
    return what == Difference::kNameCase || what == Difference::kParameterNames;
  }
};

// True when scriptName (in any letter case) is a class that the plugin registers
// natives for.
bool IsNativeClass(const std::string& scriptName);

// The differences between one script of a native class and the registration table.
std::vector<Finding> CheckScript(const PapyrusScript& script);

// `check-scripts FILE...`: reports the findings of every file; returns 0 when no
// file differs from the registration table, 1 when one does or none of the files is
// a script of a native class, 2 when a file cannot be read.
int CheckScriptFiles(const std::vector<std::string>& files, std::ostream& out, std::ostream& err);

}  // namespace cw::sim
