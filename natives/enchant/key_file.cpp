#include "natives/enchant/key_file.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>

#include "natives/text/whole_file.h"
#include "natives/utility/hex_format.h"

namespace cw::enchant {
namespace {

constexpr std::string_view kWhiteSpace = " \t\n\v\f\r";
// The byte-order mark of a file saved as "Unicode" by Windows' editors, decoded.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsWhiteSpace(char c) {
  return kWhiteSpace.find(c) != std::string_view::npos;
}

std::string_view SkipWhiteSpace(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && IsWhiteSpace(s[i])) ++i;
  return s.substr(i);
}

std::string_view Trim(std::string_view s) {
  s = SkipWhiteSpace(s);
  std::size_t end = s.size();
  while (end > 0 && IsWhiteSpace(s[end - 1])) --end;
  return s.substr(0, end);
}

std::uint32_t ParseHex(std::string_view s) {
  s = SkipWhiteSpace(s);
  std::uint64_t value = 0;
  for (char c : s) {
    const int digit = HexDigitValue(c);
    if (digit < 0) break;
    value = value * 16 + static_cast<std::uint64_t>(digit);
    if (value > std::numeric_limits<std::uint32_t>::max())
      return std::numeric_limits<std::uint32_t>::max();  // the rest cannot bring it back
  }
  return static_cast<std::uint32_t>(value);
}

std::uint32_t ParseDecimal(std::string_view s) {
  s = SkipWhiteSpace(s);
  bool negative = false;
  if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  // Magnitude saturates just past the signed 32-bit range, then is clamped.
  constexpr std::int64_t kBeyond = std::int64_t{1} << 32;
  std::int64_t magnitude = 0;
  for (char c : s) {
    if (c < '0' || c > '9') break;
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > kBeyond) magnitude = kBeyond;
  }
  std::int64_t value = negative ? -magnitude : magnitude;
  if (value > std::numeric_limits<std::int32_t>::max())
    value = std::numeric_limits<std::int32_t>::max();
  if (value < std::numeric_limits<std::int32_t>::min())
    value = std::numeric_limits<std::int32_t>::min();
  return static_cast<std::uint32_t>(static_cast<std::int32_t>(value));
}

}  // namespace

std::string FindKeyValue(std::string_view text, std::string_view key) {
  const std::size_t length = text.size();
  // The key must be followed by at least three bytes of text; a text shorter than
  // that holds no key at all.
  if (length < 3) return {};
  const std::size_t limit = length - 2;
  for (std::size_t at = text.find(key); at != std::string_view::npos; at = text.find(key, at + 1)) {
    const bool lineStart = at == 0 || text[at - 1] == '\r' || text[at - 1] == '\n' ||
                           (at == kByteOrderMark.size() && text.substr(0, at) == kByteOrderMark);
    if (!lineStart) continue;
    const std::size_t afterKey = at + key.size();
    if (afterKey >= limit) continue;
    std::size_t q = afterKey;
    while (q < limit && (text[q] == '\t' || text[q] == ' ')) ++q;
    if (text[q] != '=') continue;
    std::string_view value = text.substr(q + 1);
    value = value.substr(0, value.find_first_of("\r\n"));
    return std::string(Trim(value));
  }
  return {};
}

std::uint32_t ParseKeyNumber(std::string_view value) {
  if (!value.empty() && value[0] == '#') return ParseHex(value.substr(1));
  if (value.size() >= 2 && value[0] == '0' && value[1] == 'x') return ParseHex(value.substr(2));
  return ParseDecimal(value);
}

std::string ReadKeyFileValue(std::string_view path, std::string_view key) {
  const std::optional<std::string> text = text::ReadUtf16File(path);
  return text ? FindKeyValue(*text, key) : std::string();
}

std::uint32_t ReadKeyFileNumber(std::string_view path, std::string_view key) {
  return ParseKeyNumber(ReadKeyFileValue(path, key));
}

}  // namespace cw::enchant
