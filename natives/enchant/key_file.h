#pragma once
// Key files of the child enchantments: UTF-16 little-endian lines
// key, optional tabs and spaces, "=", value.
#include <cstdint>
#include <string>
#include <string_view>

namespace cw::enchant {

// The trimmed value of the first line of the decoded text that starts with key,
// optional tabs and spaces, and "=". A key counts only at the start of the text
// (also right after a byte-order mark there) or right after a CR or LF, and only with at least
// three bytes of text after it; the value runs to the next CR or LF or the end and is trimmed of
// white space at both ends. Empty when no line qualifies.
std::string FindKeyValue(std::string_view text, std::string_view key);

// A value read as a number: "#" or "0x" (lower-case x) followed by an unsigned
// hexadecimal number (white space skipped, digits up to the first other character,
// 4294967295 when too large, 0 without digits); anything else a signed decimal
// integer (white space skipped, optional sign, digits up to the first other
// character, clamped to the signed 32-bit range, 0 without digits), as its 32 bits.
std::uint32_t ParseKeyNumber(std::string_view value);

// FindKeyValue on the decoded file; empty when it cannot be opened.
std::string ReadKeyFileValue(std::string_view path, std::string_view key);
// ParseKeyNumber of ReadKeyFileValue.
std::uint32_t ReadKeyFileNumber(std::string_view path, std::string_view key);

}  // namespace cw::enchant
