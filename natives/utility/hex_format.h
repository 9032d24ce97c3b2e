#pragma once
// Hexadecimal texts. FormatHex is the one formatting rule of the plugin: `Hex`,
// the folder fingerprint and the form reference text all write numbers through it.
#include <cstdint>
#include <string>

namespace cw {

// The value's 32-bit two's-complement pattern in lower-case hexadecimal, no
// prefix, no leading zeros ("0" for zero), then fitted to `digits`:
//   digits > 8   -> padded with '0' to 8 and cut to the last 8 characters
//   digits 1..8  -> padded with '0' to `digits` and cut to the last `digits`
//   digits 0     -> no padding beyond one digit, never cut
//   digits < 0   -> cut to the last character
std::string FormatHex(std::int32_t value, std::int32_t digits);

// The value of a hexadecimal digit of either case, or -1 for any other character.
constexpr int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace cw
