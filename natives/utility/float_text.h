#pragma once
// Floats as settings files hold them: the texts written and the number read back.
#include <string>
#include <string_view>

namespace cw::utility {

// Ten-significant-digit text of a setting: the float's exact value rounded to 10
// significant digits; fixed notation when the decimal exponent is -1 to 9, else
// one digit, ".", the others and "e" with a signed exponent of at least three
// digits. Trailing zeros of the fraction are dropped but the point stays, except
// in a fixed text with no fraction digits at all: 2 gives "2.", 0.05 gives
// "5.000000075e-002", 1234567936 gives "1234567936". NaN gives "nan" and the
// infinities "inf" and "-inf".
std::string FormatSettingFloat(float value);

// The standard stream's default text of a float: general notation with 6
// significant digits, trailing zeros and a bare point dropped, a signed exponent
// of at least two digits (1234567 gives "1.23457e+06").
std::string FormatShortFloat(float value);

// The number at the start of text as atof reads it in the "C" locale: blanks
// skipped, an optional sign, a decimal number with optional exponent, "inf" or
// "nan"; 0 when the text does not start with one. Out of range gives an infinity
// or 0.
double ParseLeadingNumber(std::string_view text);

// value as the nearest float; beyond the float range an infinity.
float NarrowToFloat(double value);

}  // namespace cw::utility
