#pragma once
// Reader of the header and string table of compiled script files (.pex).
//
// Layout read here (all numbers big-endian, lengths and counts unsigned 16-bit):
//   0   8 bytes  identification (magic, versions, game id): read, not examined
//   8   8 bytes  compilation time: skipped
//   16  counted string: source file name
//       counted string: user name
//       counted string: machine name
//       16-bit count, then `count` counted strings: the string table
// A counted string is a 16-bit length n and n bytes of text. A text ends at its
// first NUL byte, as the script sees it.
//
// Every reader stops as soon as it has what it needs and never uses a byte
// beyond the end of the input: a file that ends before the needed fields gives
// "not there" (an empty optional, or false).
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace cw::script {

// Folder prefixes of the script files, relative to the game's working directory.
inline constexpr std::string_view kScriptFolder = "Data/Scripts/";
inline constexpr std::string_view kScriptFolderLower = "Data/scripts/";

// folder + name + ".pex", the name exactly as given.
std::string ScriptPath(std::string_view folder, std::string_view name);

struct ScriptHeader {
  std::string source;
  std::string user;
  std::string machine;
  std::uint16_t count = 0;  // entries of the string table
};

// --- Bytes in, value out -------------------------------------------------

// The header; empty when the bytes end before the string table count.
std::optional<ScriptHeader> ReadScriptHeader(std::span<const std::uint8_t> bytes);

// String table entry `index` (entry 0 for a negative index); "" when the index
// is not below the count; empty when the bytes end before that entry does.
std::optional<std::string> ReadScriptString(std::span<const std::uint8_t> bytes,
                                            std::int32_t index);

// Whether some entry of the string table equals `text` (exact bytes, both
// compared up to their first NUL). The header strings are not entries.
bool ScriptHasEntry(std::span<const std::uint8_t> bytes, std::string_view text);

// --- Files (game-relative paths, opened through the platform layer) ------
// Same answers as above; a file that cannot be opened, or is no regular file (a
// folder, a pipe, a device), gives empty / false.
// Failures to allocate propagate as exceptions.

std::optional<ScriptHeader> ReadScriptHeaderFile(std::string_view path);
std::optional<std::string> ReadScriptStringFile(std::string_view path, std::int32_t index);
bool ScriptFileHasEntry(std::string_view path, std::string_view text);

}  // namespace cw::script
