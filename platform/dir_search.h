#pragma once
// Directory search with a wildcard pattern, as the game's folders are listed.
#include <functional>
#include <string>

namespace cw::platform {

// Calls visit with the name (no folder) of every entry that matches the last
// component of pattern, files and folders alike, "." and ".." included when the
// pattern matches them. "/" and "\" both separate the folder from the pattern.
// A missing folder delivers nothing. The search stops when visit returns false
// and is always closed before the call returns.
void ForEachDirectoryEntry(const std::string& pattern,
                           const std::function<bool(const char* name)>& visit);

}  // namespace cw::platform
