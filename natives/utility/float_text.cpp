#include "natives/utility/float_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <system_error>
#include <vector>

namespace cw::utility {
namespace {

// A finite value as 0.d1d2... x 10^point; digits carry no leading or trailing
// zeros, and zero has no digits.
struct Decimal {
  std::string digits;
  int point = 0;
  bool negative = false;
};

void MultiplySmall(std::vector<std::uint8_t>& number, unsigned factor) {
  unsigned carry = 0;
  for (std::uint8_t& digit : number) {
    const unsigned product = digit * factor + carry;
    digit = static_cast<std::uint8_t>(product % 10);
    carry = product / 10;
  }
  while (carry != 0) {
    number.push_back(static_cast<std::uint8_t>(carry % 10));
    carry /= 10;
  }
}

void DropTrailingZeros(std::string& digits) {
  while (!digits.empty() && digits.back() == '0') digits.pop_back();
}

// The exact decimal value of a float (at most a few hundred digits).
Decimal ExactDecimal(float value) {
  Decimal result;
  result.negative = std::signbit(value);
  const float magnitude = std::fabs(value);
  if (magnitude == 0.0f) return result;
  int binaryExponent = 0;
  const float fraction = std::frexp(magnitude, &binaryExponent);
  std::uint32_t mantissa = static_cast<std::uint32_t>(std::ldexp(fraction, 24));
  const int shift = binaryExponent - 24;  // magnitude = mantissa * 2^shift

  std::vector<std::uint8_t> number;  // least significant digit first
  while (mantissa != 0) {
    number.push_back(static_cast<std::uint8_t>(mantissa % 10));
    mantissa /= 10;
  }
  // m * 2^-k = m * 5^k / 10^k
  for (int i = 0; i < (shift >= 0 ? shift : -shift); ++i) MultiplySmall(number, shift >= 0 ? 2 : 5);
  result.point = static_cast<int>(number.size()) - (shift >= 0 ? 0 : -shift);
  for (auto it = number.rbegin(); it != number.rend(); ++it)
    result.digits += static_cast<char>('0' + *it);
  DropTrailingZeros(result.digits);
  return result;
}

// Rounded to count significant digits, ties to even.
Decimal Rounded(Decimal value, std::size_t count) {
  if (value.digits.size() <= count) return value;
  const char next = value.digits[count];
  bool up = next > '5';
  if (next == '5') {
    const bool beyond = value.digits.find_first_not_of('0', count + 1) != std::string::npos;
    up = beyond || ((value.digits[count - 1] - '0') % 2 == 1);
  }
  value.digits.resize(count);
  if (up) {
    std::size_t i = count;
    while (i > 0 && value.digits[i - 1] == '9') value.digits[--i] = '0';
    if (i == 0) {
      value.digits.insert(value.digits.begin(), '1');
      value.digits.pop_back();
      ++value.point;
    } else {
      ++value.digits[i - 1];
    }
  }
  DropTrailingZeros(value.digits);
  return value;
}

std::string NonFinite(float value) {
  if (std::isnan(value)) return "nan";
  return value < 0 ? "-inf" : "inf";
}

// "d.ddd" + "e" + sign + exponent with at least minDigits digits; the point stays
// when keepPoint is set even if no digit follows it.
std::string ExponentForm(const Decimal& value, int exponent, int minDigits, bool keepPoint) {
  std::string text = value.negative ? "-" : "";
  text += value.digits.empty() ? '0' : value.digits[0];
  if (value.digits.size() > 1 || keepPoint) text += '.';
  if (value.digits.size() > 1) text += value.digits.substr(1);
  text += 'e';
  text += exponent < 0 ? '-' : '+';
  std::string magnitude = std::to_string(exponent < 0 ? -exponent : exponent);
  if (static_cast<int>(magnitude.size()) < minDigits)
    magnitude.insert(0, static_cast<std::size_t>(minDigits) - magnitude.size(), '0');
  return text + magnitude;
}

// Fixed notation with the digits the value has; a point when keepPoint is set
// or fraction digits follow.
std::string FixedForm(const Decimal& value, bool keepPoint) {
  std::string text = value.negative ? "-" : "";
  const int point = value.digits.empty() ? 0 : value.point;
  std::string fraction;
  if (point > 0) {
    const std::size_t whole = static_cast<std::size_t>(point);
    std::string integer = value.digits.substr(0, whole);
    integer.append(whole - integer.size(), '0');
    text += integer;
    if (value.digits.size() > whole) fraction = value.digits.substr(whole);
  } else {
    text += '0';
    if (!value.digits.empty())
      fraction = std::string(static_cast<std::size_t>(-point), '0') + value.digits;
  }
  if (keepPoint || !fraction.empty()) text += '.';
  return text + fraction;
}

}  // namespace

std::string FormatSettingFloat(float value) {
  if (!std::isfinite(value)) return NonFinite(value);
  const Decimal rounded = Rounded(ExactDecimal(value), 10);
  const int point = rounded.digits.empty() ? 0 : rounded.point;
  const int exponent = point - 1;
  if (exponent < -1 || exponent > 9) return ExponentForm(rounded, exponent, 3, true);
  // Fixed with 10 - point fraction digits, of which the trailing zeros go; no
  // point at all when there are no fraction digits to write.
  return FixedForm(rounded, point < 10);
}

std::string FormatShortFloat(float value) {
  if (!std::isfinite(value)) return NonFinite(value);
  const Decimal rounded = Rounded(ExactDecimal(value), 6);
  const int exponent = rounded.digits.empty() ? 0 : rounded.point - 1;
  if (exponent < -4 || exponent >= 6) return ExponentForm(rounded, exponent, 2, false);
  return FixedForm(rounded, false);
}

double ParseLeadingNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  if (i >= text.size() || text[i] == '-' || text[i] == '+') return 0.0;
  const char* first = text.data() + i;
  const char* last = text.data() + text.size();
  double value = 0.0;
  const std::from_chars_result parsed =
      std::from_chars(first, last, value, std::chars_format::general);
  if (parsed.ec == std::errc::result_out_of_range) {
    // Too large or too small for a double: an infinity or zero, as atof gives.
    const std::string_view number(first, static_cast<std::size_t>(parsed.ptr - first));
    const std::size_t mark = number.find_first_of("eE");
    bool huge;
    if (mark != std::string_view::npos)
      huge = mark + 1 >= number.size() || number[mark + 1] != '-';
    else
      huge = number.substr(0, number.find('.')).find_first_not_of('0') != std::string_view::npos;
    value = huge ? std::numeric_limits<double>::infinity() : 0.0;
  } else if (parsed.ec != std::errc()) {
    value = 0.0;
  }
  return negative ? -value : value;
}

float NarrowToFloat(double value) {
  if (std::isnan(value)) return std::numeric_limits<float>::quiet_NaN();
  // Half way between the largest float and 2^128: from there on the float is infinite.
  const double limit = std::ldexp(16777216.0 - 0.5, 104);
  if (std::fabs(value) >= limit)
    return value < 0 ? -std::numeric_limits<float>::infinity()
                     : std::numeric_limits<float>::infinity();
  if (std::fabs(value) > static_cast<double>(std::numeric_limits<float>::max()))
    return value < 0 ? -std::numeric_limits<float>::max() : std::numeric_limits<float>::max();
  return static_cast<float>(value);
}

}  // namespace cw::utility
