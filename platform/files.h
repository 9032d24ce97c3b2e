#pragma once
// Files below the game folder, named as the game names them: relative to the
// working directory, with "/" or "\" as separators.
#include <cstdio>
#include <string>
#include <string_view>

namespace cw::platform {

// The path to hand to the operating system for a game path. On Windows the path
// itself; on POSIX "\" becomes "/" and every component that does not exist as
// written is matched without regard to ASCII letter case.
std::string NativePath(std::string_view path);

// fopen of NativePath(path); null when it cannot be opened.
std::FILE* OpenFile(std::string_view path, const char* mode);

}  // namespace cw::platform
