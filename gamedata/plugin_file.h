#pragma once
// Reader of the game's plugin files (.esm, .esp, .esl): the TES4 header record
// and, when asked, the signature, flags and form ID of every record, found by
// walking record and group headers and stepping over their data.
//
// A damaged file (a size running past the end of its file or group, a group
// smaller than its own header, groups nested deeper than any real file nests
// them) gives an error that names the file and the offset of the bad header.
// Every step moves forward by at least one header, so no input makes the walk
// loop.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace cw::gamedata {

// A four-letter signature as the file stores it, read as a little-endian number.
constexpr std::uint32_t Signature(const char (&text)[5]) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(text[0])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(text[1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(text[2])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(text[3])) << 24;
}
std::string SignatureText(std::uint32_t signature);

inline constexpr std::uint32_t kMasterFlag = 0x1;
inline constexpr std::uint32_t kLocalizedFlag = 0x80;
inline constexpr std::uint32_t kLightFlag = 0x200;
inline constexpr std::uint32_t kCompressedFlag = 0x00040000;

struct PluginHeader {
  std::uint32_t flags = 0;  // of the TES4 record
  float version = 0;        // HEDR: 0.94, 1.70, 1.71
  std::uint32_t recordCount = 0;
  std::uint32_t nextObjectID = 0;
  std::vector<std::string> masters;  // MAST, in order, as the file spells them
};

struct Record {
  std::uint32_t signature;
  std::uint32_t flags;
  std::uint32_t formID;  // as the file has it: top byte indexes its master list
};

struct ReadError {
  std::string file;
  std::uint64_t offset = 0;
  std::string what;
  // "FILE: offset 0x1A2B: WHAT".
  std::string Text() const;
};

struct PluginContents {
  bool ok = false;
  PluginHeader header;
  std::vector<Record> records;  // every record after TES4, groups left out, in file order
  ReadError error;              // when not ok
};

enum class Depth { kHeader, kRecords };

// `name` names the file in errors.
PluginContents ReadPluginBytes(std::string_view bytes, std::string_view name, Depth depth);
// Reads the file in large pieces and steps over record data it does not need.
PluginContents ReadPluginFile(const std::filesystem::path& path, Depth depth);

}  // namespace cw::gamedata
