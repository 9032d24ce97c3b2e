#pragma once
// The running game's version on Windows is the version resource of the program
// that loads the plugin, as it is the game executable's in the game. A host for
// another game version is therefore another program: cradlewright-host-A.B.C.D
// beside this one, built with that version resource.
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace cw::sim {

// On Windows, when `runtime` is not this program's own version: runs the host of
// that version with the same arguments and gives its exit status, or 2 with a
// message when there is none. Nothing (the caller goes on) on POSIX, where the
// host states any version itself, and when `runtime` is this program's own.
std::optional<int> RunOnHostOfRuntime(const std::string& runtime,
                                      const std::vector<std::string>& args, std::ostream& err);

// A command-line word quoted as Windows programs split their command lines.
std::string QuoteWindowsArgument(const std::string& word);

}  // namespace cw::sim
