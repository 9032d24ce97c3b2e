#include "natives/text/utf16.h"

#include <cstddef>
#include <cstdint>

namespace cw::text {
namespace {

constexpr std::uint32_t kHighestAccepted = 0xFEFF;
constexpr std::uint32_t kHighSurrogateFirst = 0xD800;
constexpr std::uint32_t kHighSurrogateLast = 0xDBFF;

void AppendUtf8(std::string& out, std::uint32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

}  // namespace

std::string DecodeUtf16Le(std::string_view bytes) {
  std::string out;
  const std::size_t units = bytes.size() / 2;  // a final odd byte is ignored
  out.reserve(units);
  for (std::size_t i = 0; i < units; ++i) {
    const std::uint32_t unit =
        static_cast<unsigned char>(bytes[2 * i]) |
        (static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[2 * i + 1])) << 8);
    // U+0000 ends the text. A high surrogate either starts a pair, whose character
    // lies above U+FFFF, or is broken; both end the text, as does any unit above
    // the highest accepted character.
    if (unit == 0 || unit > kHighestAccepted ||
        (unit >= kHighSurrogateFirst && unit <= kHighSurrogateLast))
      break;
    AppendUtf8(out, unit);
  }
  return out;
}

}  // namespace cw::text
