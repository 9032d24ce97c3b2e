#include "gamedata/form_ids.h"

#include <cstdio>

namespace cw::gamedata {

std::string LightNumberWarning(const std::string& name, const PluginHeader& header,
                               const std::vector<Record>& records) {
  // Header version 1.71 came with game 1.6.1130, which gives light files the
  // numbers below 0x800 too.
  const bool wide = header.version >= 1.705f;
  const std::uint32_t low = wide ? 0x000 : 0x800;
  std::size_t outside = 0;
  std::uint32_t first = 0;
  for (const Record& r : records) {
    if (!IsOwnForm(r.formID, header.masters.size())) continue;
    const std::uint32_t number = r.formID & 0xFFFFFF;
    if (number >= low && number <= 0xFFF) continue;
    if (outside++ == 0) first = number;
  }
  if (outside == 0) return {};
  char text[200];
  std::snprintf(text, sizeof text,
                "%zu own form(s) numbered outside 0x%03X-0xFFF, the range of header version "
                "%.2f (first: 0x%X)",
                outside, low, static_cast<double>(header.version), first);
  std::string warning = name + ": " + text;
  if (!wide && first < 0x800)
    warning += "; header version 1.71 (game 1.6.1130 and later) allows 0x000-0xFFF";
  return warning;
}

}  // namespace cw::gamedata
