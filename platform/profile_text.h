#pragma once
// The text of a private-profile (INI) file, read and edited as bytes.
//
// Lines end in CR LF, LF or CR. A line whose first non-blank character is "["
// and that holds a "]" starts a section named by the trimmed text up to its last
// "]". Any other line holding "=" is a key line: the trimmed text before the
// first "=" is the key, the trimmed text after it the value. Every other line is
// kept but has no meaning. Lines before the first section belong to the section
// with the empty name. Section and key names compare without regard to ASCII
// case; only the first section of a name and the first key of a name in it
// count. A value enclosed in a pair of the same quotes (" or ') is read without
// them. A UTF-8 byte order mark at the start of the file is skipped.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace cw::platform {

// The value of key in section, or none when the section or the key is missing.
std::optional<std::string> ReadProfileValue(std::string_view content, std::string_view section,
                                            std::string_view key);

// content with key set to value in section. An existing key line is rewritten in
// place; a missing key is added after the last non-blank line of its section; a
// missing section is added at the end. Every other line is kept byte for byte,
// and new lines end like the file's first line (CR LF for a file without one).
std::string WriteProfileValue(std::string content, std::string_view section, std::string_view key,
                              std::string_view value);

// True when section, key and value can be stored without changing the meaning of
// other lines: no line break anywhere, no "=" in the key and no key that starts
// (after blanks) with "[".
bool IsStorableProfileEntry(std::string_view section, std::string_view key, std::string_view value);

// The integer that the profile integer reader finds in the first 29 characters
// of a value: blanks skipped, one optional sign, then decimal digits, or binary, octal or
// hexadecimal digits after a lower-case "0b", "0o" or "0x". Digits are taken up
// to the first other character; the value wraps modulo 2^32; no digit gives 0.
std::int32_t ParseProfileInt(std::string_view text);
inline constexpr std::size_t kProfileIntTextLimit = 29;

// value without its trailing blanks, as the profile reader hands out a default.
std::string_view TrimTrailingBlanks(std::string_view value);

}  // namespace cw::platform
