#include "natives/text/utf16.h"

#include <cstddef>
#include <cstdint>

namespace cw::text {
namespace {

constexpr std::uint32_t kHighestCharacter = 0xFFFD;
constexpr std::uint32_t kHighSurrogateFirst = 0xD800;
constexpr std::uint32_t kLowSurrogateFirst = 0xDC00;
constexpr std::uint32_t kLowSurrogateLast = 0xDFFF;

bool IsHighSurrogate(std::uint32_t unit) {
  return unit >= kHighSurrogateFirst && unit < kLowSurrogateFirst;
}
bool IsLowSurrogate(std::uint32_t unit) {
  return unit >= kLowSurrogateFirst && unit <= kLowSurrogateLast;
}

void AppendUtf8(std::string& out, std::uint32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

}  // namespace

std::string DecodeUtf16Le(std::string_view bytes) {
  std::string out;
  const std::size_t units = bytes.size() / 2;  // a final odd byte is ignored
  out.reserve(units);
  auto unitAt = [&bytes](std::size_t i) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[2 * i])) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[2 * i + 1])) << 8);
  };
  for (std::size_t i = 0; i < units; ++i) {
    std::uint32_t c = unitAt(i);
    // U+0000 ends the text; so does malformed input: a surrogate outside a pair,
    // and the non-characters U+FFFE and U+FFFF.
    if (c == 0 || c > kHighestCharacter || IsLowSurrogate(c)) break;
    if (IsHighSurrogate(c)) {
      if (i + 1 >= units || !IsLowSurrogate(unitAt(i + 1))) break;
      c = 0x10000 + ((c - kHighSurrogateFirst) << 10) + (unitAt(++i) - kLowSurrogateFirst);
    }
    AppendUtf8(out, c);
  }
  return out;
}

}  // namespace cw::text
