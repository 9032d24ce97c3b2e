#pragma once
// Plugins.txt, Skyrim.ccc and the master names inside plugin files are
// Windows-1252 text; file names from the folder are UTF-8 here.
#include <string>
#include <string_view>

namespace cw::gamedata {

// The UTF-8 text of Windows-1252 bytes; the five bytes the code page leaves
// undefined become U+FFFD.
std::string Utf8FromWindows1252(std::string_view bytes);

}  // namespace cw::gamedata
