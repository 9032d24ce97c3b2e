#pragma once
// File name wildcard patterns as the Windows directory search reads them.
#include <string_view>

namespace cw::platform {

// True when name matches pattern: "*" stands for any run of characters, "?" for
// exactly one, every other character for itself without regard to ASCII case.
// Trailing dots of the pattern are ignored ("*." reads as "*"), and a pattern
// ending in ".*" also matches the names its part before ".*" matches, so "*.*"
// matches every name.
bool MatchesNamePattern(std::string_view name, std::string_view pattern);

}  // namespace cw::platform
