#pragma once
// Form IDs as a file writes them and as the running game numbers them.
//
// Inside a file, a form ID's top byte indexes the file's master list; a top byte
// equal to the number of masters, or higher, marks the file's own new form. At
// run time a regular file's forms are II xxxxxx (II its load-order index) and a
// light file's are FE LLL xxx (LLL its light index, xxx the low 12 bits).
#include <cstdint>
#include <string>
#include <vector>

#include "gamedata/plugin_file.h"

namespace cw::gamedata {

// Where a loaded file's forms live at run time.
struct FormSlot {
  bool light = false;
  std::uint8_t index = 0;        // regular
  std::uint16_t lightIndex = 0;  // light

  std::uint32_t RuntimeID(std::uint32_t number) const {
    return light ? 0xFE000000u | (std::uint32_t{lightIndex} & 0xFFFu) << 12 | (number & 0xFFFu)
                 : std::uint32_t{index} << 24 | (number & 0xFFFFFFu);
  }
};

inline bool IsOwnForm(std::uint32_t fileFormID, std::size_t masterCount) {
  return (fileFormID >> 24) >= masterCount;
}

// For a light file whose own forms are numbered outside what its header
// version allows (0x800-0xFFF below 1.71, 0x000-0xFFF from 1.71): a warning
// naming the file, the count, the first such number and the range; else empty.
std::string LightNumberWarning(const std::string& name, const PluginHeader& header,
                               const std::vector<Record>& records);

}  // namespace cw::gamedata
