#pragma once
// Decoding of the mod's UTF-16 little-endian text files (translations and
// enchantment definitions) to UTF-8.
#include <string>
#include <string_view>

namespace cw::text {

// Decodes little-endian UTF-16 code units to UTF-8, as the mod's files are read:
// - units are taken from the first byte on; a byte-order mark is not consumed and
//   becomes U+FEFF (EF BB BF);
// - every well-formed character is taken: U+0001 to U+FFFD (full-width forms
//   included) and, from a surrogate pair, U+10000 to U+10FFFF;
// - malformed input ends the text before it: a surrogate that is not part of a
//   pair, and the non-characters U+FFFE and U+FFFF (so a big-endian file, which
//   starts FE FF, decodes to nothing);
// - a final odd byte is ignored;
// - the text ends at its first U+0000.
// Each character becomes one to four UTF-8 bytes.
std::string DecodeUtf16Le(std::string_view bytes);

}  // namespace cw::text
