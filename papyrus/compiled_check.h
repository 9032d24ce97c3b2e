#pragma once
// Checking compiled scripts (.pex) against the natives the plugin registers. A script
// compiled against other declarations than the plugin's calls natives that are not
// there, or with arguments of other kinds: the compiler cannot see it, the game only
// when the call runs. Compiled scripts of the plugin's own classes are checked like
// their sources.
#include <string>
#include <vector>

#include "papyrus/pex_file.h"
#include "papyrus/script_check.h"

namespace cw::papyrus {

// True for a path that names a compiled script (extension .pex, any letter case).
bool IsCompiledScriptPath(const std::string& path);

// The findings of one compiled script, in the order of their lines: every static call
// into a class of the plugin names a registered native, with its number of arguments,
// literals and variables of the kinds the native takes, and a result of its kind.
// A compiled script of one of those classes is compared as its declarations.
std::vector<Finding> CheckCompiledScript(const PexFile& file, const CheckOptions& options = {});

// As a PapyrusScript: the first object's name and its functions, for the checks of
// declarations (no source lines).
PapyrusScript DeclarationsOf(const PexFile& file);

}  // namespace cw::papyrus
