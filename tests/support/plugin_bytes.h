#pragma once
// Plugin file bytes written as the game's editor writes them: records, groups,
// subrecords (XXXX before one of 64 KiB or more) and a TES4 header.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace cw::test::plugin_bytes {

inline std::string U32(std::uint32_t v) {
  std::string out(4, '\0');
  for (int i = 0; i < 4; ++i) out[i] = static_cast<char>(v >> (8 * i));
  return out;
}
inline std::string U16(std::uint16_t v) {
  return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
}

inline std::string Subrecord(const char* signature, const std::string& data) {
  if (data.size() > 0xFFFF)
    return "XXXX" + U16(4) + U32(static_cast<std::uint32_t>(data.size())) + signature + U16(0) +
           data;
  return signature + U16(static_cast<std::uint16_t>(data.size())) + data;
}

inline std::string Record(const char* signature, std::uint32_t formID, const std::string& data = {},
                          std::uint32_t flags = 0) {
  return signature + U32(static_cast<std::uint32_t>(data.size())) + U32(flags) + U32(formID) +
         U32(0) + U16(44) + U16(0) + data;
}

inline std::string Group(const char* label, const std::string& contents, std::uint32_t type = 0) {
  return "GRUP" + U32(static_cast<std::uint32_t>(24 + contents.size())) + label + U32(type) +
         U32(0) + U32(0) + contents;
}

inline std::string Header(std::uint32_t flags, float version,
                          const std::vector<std::string>& masters = {},
                          std::uint32_t recordCount = 0, const std::string& more = {}) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, &version, sizeof bits);
  std::string data = Subrecord("HEDR", U32(bits) + U32(recordCount) + U32(0x800));
  data += Subrecord("CNAM", std::string("tests", 6));
  for (const std::string& m : masters)
    data += Subrecord("MAST", m + std::string(1, '\0')) + Subrecord("DATA", std::string(8, '\0'));
  return Record("TES4", 0, data + more, flags);
}

}  // namespace cw::test::plugin_bytes
