#pragma once
// Text operations of the scripts: byte-wise ASCII case mapping, bounded
// replace-all and numbered placeholders. Texts are bytes; nothing is decoded.
#include <array>
#include <string>
#include <string_view>

namespace cw::text {

// At most this many replacements are made by one replace-all pass.
inline constexpr int kReplacementLimit = 21;

// A..Z become a..z; every other byte, 0x80..0xFF included, stays as it is.
std::string ToLowerAscii(std::string_view text);
// a..z become A..Z; every other byte stays as it is.
std::string ToUpperAscii(std::string_view text);

// Replaces occurrences of `search` left to right, without overlap, resuming
// right after each inserted replacement (which is never searched again), and
// stops after kReplacementLimit replacements. An empty `search` occurs at the
// resume position itself.
std::string ReplaceAllBounded(std::string text, std::string_view search,
                              std::string_view replacement);

// Replaces "{0}" by values[0], then "{1}" by values[1], ... up to "{5}", each
// pass a bounded replace-all over the result of the previous one.
std::string FillPlaceholders(std::string templ, const std::array<std::string_view, 6>& values);

}  // namespace cw::text
