#include "natives/utility/data_path.h"

#include <array>
#include <cstddef>
#include <vector>

#include "platform/ascii.h"

namespace cw::utility {
namespace {

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

// "COM" or "LPT" followed by a digit 1-9 or a superscript 1, 2 or 3 (which Windows
// also takes for those devices), in the ANSI code page or in UTF-8.
bool IsNumberedDevice(std::string_view name) {
  if (name.size() < 4) return false;
  const std::string_view prefix = name.substr(0, 3);
  if (!EqualsIgnoringAsciiCase(prefix, "com") && !EqualsIgnoringAsciiCase(prefix, "lpt"))
    return false;
  const std::string_view number = name.substr(3);
  if (number.size() == 1)
    return (number[0] >= '1' && number[0] <= '9') || number[0] == '\xB9' || number[0] == '\xB2' ||
           number[0] == '\xB3';
  return number == "\xC2\xB9" || number == "\xC2\xB2" || number == "\xC2\xB3";
}

// The part before the first "." with trailing blanks dropped names a device.
bool NamesDevice(std::string_view segment) {
  std::string_view name = segment.substr(0, segment.find('.'));
  while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
  static constexpr std::array<std::string_view, 6> kDevices = {"con", "prn",    "aux",
                                                               "nul", "conin$", "conout$"};
  for (std::string_view device : kDevices)
    if (EqualsIgnoringAsciiCase(name, device)) return true;
  return IsNumberedDevice(name);
}

}  // namespace

PathPlace PlaceOfPath(std::string_view path) {
  if (path.find(':') != std::string_view::npos) return PathPlace::kColon;
  if (path.empty() || IsSeparator(path[0])) return PathPlace::kOutsideData;
  std::vector<std::string_view> kept;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = start;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    const std::string_view segment = path.substr(start, end - start);
    start = end + 1;
    if (segment.empty() || segment == ".") continue;
    if (segment == "..") {
      if (kept.empty()) return PathPlace::kOutsideData;  // above the game folder
      kept.pop_back();
      continue;
    }
    // Windows drops a name's trailing dots and blanks ("a.ini." is a.ini); a name of
    // dots and blanks alone ("...", ".. ") says nothing certain about where it leads.
    if (segment.find_first_not_of(". ") == std::string_view::npos) return PathPlace::kOutsideData;
    if (NamesDevice(segment)) return PathPlace::kDevice;
    kept.push_back(segment);
  }
  return kept.size() >= 2 && EqualsIgnoringAsciiCase(kept[0], "Data") ? PathPlace::kInsideData
                                                                      : PathPlace::kOutsideData;
}

}  // namespace cw::utility
