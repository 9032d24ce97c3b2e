#pragma once
// Checking script sources against the natives the plugin registers: a declaration
// that differs is what makes the game log "native function not bound" at run time,
// and a name the compiler refuses stops every script that uses the class.
#include <cstddef>
#include <iosfwd>
#include <string>
#include <vector>

#include "papyrus/papyrus_source.h"

namespace cw::papyrus {

enum class Severity { kError, kWarning, kNote };

enum class Difference {
  // Errors: the compiler refuses the script, or the game would not bind the native
  // as the script declares it.
  kUnknownNative,   // declared native, not registered
  kTwice,           // declared more than once
  kResultKind,      // another result kind
  kParameterKinds,  // another number, kind or order of parameters
  kNotGlobal,
  kNotNative,
  kReservedWord,  // a function or parameter named with a word of the language
  // Warnings: Papyrus accepts them, a reader or the compiler's file look-up may not.
  kFileName,           // the file name differs from the Scriptname
  kNoScriptname,       // no Scriptname line at all
  kNameCase,           // the class or native name differs in letter case only
  kParametersSwapped,  // the registered parameter names in another order
  // Notes: registered natives the script does not declare (it may declare only
  // what it calls).
  kNotDeclared,
};

Severity SeverityOf(Difference what);

struct Finding {
  Difference what;
  std::size_t line = 0;  // 0 when the finding has no place in the source
  std::string native;    // "Class.name" as registered, or the script's class alone
  std::string text;
};

struct CheckOptions {
  std::string fileName;          // the source's file name; empty: not compared
  bool listNotDeclared = false;  // one note per native not declared instead of one in all
};

// True when scriptName (in any letter case) is a class that the plugin registers
// natives for.
bool IsNativeClass(const std::string& scriptName);

// The findings of one script, in the order of their lines. Scripts of other classes
// are only checked for their file name and for reserved words.
std::vector<Finding> CheckScript(const PapyrusScript& script, const CheckOptions& options = {});

// `check-scripts [--all] FILE|FOLDER...`: reads every file, and every .psc below each
// folder, and reports "FILE:LINE: error|warning|note: ..." in file order. Returns 0
// when nothing is wrong, 1 when an error was found, 2 for a usage error or input
// that cannot be read.
int CheckScriptFiles(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace cw::papyrus
