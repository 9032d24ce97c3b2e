#pragma once
// The one hexadecimal formatting rule of the plugin: `Hex`, the folder
// fingerprint and the form reference text all write numbers through it.
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

}  // namespace cw
