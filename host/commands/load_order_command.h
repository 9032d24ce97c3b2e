#pragma once
// The `load-order` command: what the game would load from a game folder.
#include <iosfwd>
#include <string>

namespace cw::sim {

// Prints one file a line: its index ("00", "FE:000", "--" when it does not load),
// its name, and in brackets its kind or why it does not load; warnings about
// light files' form numbers go to `err`. Returns 0, or 1 when the game could
// not load this (too many files, a damaged file, an unreadable Plugins.txt).
int PrintLoadOrder(const std::string& gameDir, const std::string& pluginsTxt, std::ostream& out,
                   std::ostream& err);

}  // namespace cw::sim
