#pragma once
// Which version database a game version reads, and reading a file's bytes.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "address/address_table.h"
#include "address/database_reader.h"
#include "address/game_version.h"

namespace cw::address {

struct DatabaseFile {
  std::string path;  // relative to the game folder
  AcceptedFormat format = AcceptedFormat::kOnly1;
  Numbering numbering = Numbering::kSE;
};

// Before 1.6: "Data\SKSE\Plugins\version-A-B-C-D.bin", format 1, SE numbering.
// From 1.6 on: "Data\SKSE\Plugins\versionlib-A-B-C-D.bin", format 2, AE numbering.
DatabaseFile DatabaseFileFor(const GameVersion& v);

// A file's bytes. The buffer is not cleared before it is read into: a
// megabyte and a half would otherwise be written twice.
using FileBytes = std::vector<std::uint8_t, UninitializedAllocator<std::uint8_t>>;

// The whole content of a file (a game path, see platform/files.h), read in one
// request when its size is known; nullopt when it cannot be opened or read.
std::optional<FileBytes> ReadFileBytes(std::string_view path);

}  // namespace cw::address
