#pragma once
// Decoding of the mod's UTF-16 little-endian text files (translations and
// enchantment definitions) to UTF-8.
#include <string>
#include <string_view>

namespace cw::text {

// Decodes little-endian UTF-16 code units to UTF-8, as the mod's files are read:
// - units are taken from the first byte on; a byte-order mark is not consumed and
//   becomes U+FEFF (EF BB BF);
// - only characters up to U+FEFF are accepted: a unit of FF00 to FFFF, a high
//   surrogate (paired or not) ends the text before it; a lone low surrogate is
//   taken as a character;
// - a final odd byte is ignored;
// - the text ends at its first U+0000.
// Each accepted unit becomes one to three UTF-8 bytes.
std::string DecodeUtf16Le(std::string_view bytes);

}  // namespace cw::text
