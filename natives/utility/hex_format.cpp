#include "natives/utility/hex_format.h"

#include <cstddef>

namespace cw {

std::string FormatHex(std::int32_t value, std::int32_t digits) {
  std::size_t width = 1;
  std::size_t cut = 1;
  if (digits > 8) {
    width = cut = 8;
  } else if (digits > 0) {
    width = cut = static_cast<std::size_t>(digits);
  } else if (digits == 0) {
    cut = 0;
  }

  static constexpr char kDigits[] = "0123456789abcdef";
  auto bits = static_cast<std::uint32_t>(value);
  std::string text;
  do {
    text.insert(text.begin(), kDigits[bits & 0xFu]);
    bits >>= 4;
  } while (bits != 0);

  if (text.size() < width) text.insert(0, width - text.size(), '0');
  if (cut != 0 && text.size() > cut) text.erase(0, text.size() - cut);
  return text;
}

}  // namespace cw
