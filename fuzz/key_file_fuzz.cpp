// The key files of the child enchantments: the key search and the number syntax
// against references that follow the rules step by step, and a written line that
// must be found again.
//
// Input: one byte N, then N bytes of key (fewer when the input ends), then the
// file: its bytes are searched as a decoded text and, decoded from UTF-16, as
// the game reads them.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "natives/enchant/key_file.h"
#include "natives/text/utf16.h"

namespace cw::fuzz {
namespace {

bool IsWhiteSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string Trimmed(std::string_view s) {
  std::size_t first = 0;
  std::size_t last = s.size();
  while (first < last && IsWhiteSpace(s[first])) ++first;
  while (last > first && IsWhiteSpace(s[last - 1])) --last;
  return std::string(s.substr(first, last - first));
}

bool StartsAt(std::string_view text, std::size_t at, std::string_view key) {
  if (at + key.size() > text.size()) return false;
  for (std::size_t i = 0; i < key.size(); ++i)
    if (text[at + i] != key[i]) return false;
  return true;
}

// Every position of the text in turn, with the four tests of a key line.
std::string ReferenceFindKeyValue(std::string_view text, std::string_view key) {
  const std::size_t length = text.size();
  for (std::size_t at = 0; at < length; ++at) {
    if (!StartsAt(text, at, key)) continue;
    const bool afterMark = at == 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0;
    if (at != 0 && !afterMark && text[at - 1] != '\r' && text[at - 1] != '\n') continue;
    const std::size_t p = at + key.size();
    if (length < 3 || p >= length - 2) continue;
    std::size_t q = p;
    while (q < length - 2 && (text[q] == '\t' || text[q] == ' ')) ++q;
    if (text[q] != '=') continue;
    std::size_t end = q + 1;
    while (end < length && text[end] != '\r' && text[end] != '\n') ++end;
    return Trimmed(text.substr(q + 1, end - q - 1));
  }
  return std::string();
}

// Decimal and hexadecimal digits compared as texts: no arithmetic that could wrap.
std::string WithoutLeadingZeros(std::string digits) {
  const std::size_t first = digits.find_first_not_of('0');
  return first == std::string::npos ? std::string() : digits.substr(first);
}

// Whether the digit text a is greater than b (both without leading zeros).
bool Greater(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return a.size() > b.size();
  return a > b;
}

std::uint32_t DigitValue(const std::string& digits, unsigned base) {
  std::uint64_t value = 0;
  for (char c : digits) {
    unsigned d =
        c <= '9' ? static_cast<unsigned>(c - '0') : static_cast<unsigned>((c | 0x20) - 'a' + 10);
    value = value * base + d;
  }
  return static_cast<std::uint32_t>(value);
}

std::size_t SkipWhiteSpace(std::string_view s, std::size_t i) {
  while (i < s.size() && IsWhiteSpace(s[i])) ++i;
  return i;
}

std::uint32_t ReferenceHex(std::string_view s) {
  std::string digits;
  for (std::size_t i = SkipWhiteSpace(s, 0); i < s.size(); ++i) {
    const char c = s[i];
    const bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    if (!hex) break;
    digits += c;
  }
  std::string lower;
  for (char c : WithoutLeadingZeros(digits))
    lower += (c >= 'A' && c <= 'F') ? static_cast<char>(c + 32) : c;
  if (Greater(lower, "ffffffff")) return 0xFFFFFFFFu;
  return DigitValue(lower, 16);
}

std::uint32_t ReferenceDecimal(std::string_view s) {
  std::size_t i = SkipWhiteSpace(s, 0);
  bool negative = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
  std::string digits;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) digits += s[i];
  digits = WithoutLeadingZeros(digits);
  if (!negative && Greater(digits, "2147483647")) return 0x7FFFFFFFu;
  if (negative && Greater(digits, "2147483648")) return 0x80000000u;
  const std::uint32_t magnitude = DigitValue(digits, 10);
  return negative ? 0u - magnitude : magnitude;
}

std::uint32_t ReferenceNumber(std::string_view value) {
  if (value.substr(0, 1) == "#") return ReferenceHex(value.substr(1));
  if (value.substr(0, 2) == "0x") return ReferenceHex(value.substr(2));
  return ReferenceDecimal(value);
}

void CheckText(std::string_view text, std::string_view key) {
  const std::string value = enchant::FindKeyValue(text, key);
  CW_FUZZ_CHECK(value == ReferenceFindKeyValue(text, key));
  CW_FUZZ_CHECK(enchant::ParseKeyNumber(value) == ReferenceNumber(value));
  CW_FUZZ_CHECK(enchant::ParseKeyNumber(text) == ReferenceNumber(text));
}

}  // namespace
}  // namespace cw::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace cw;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  if (input.empty()) return 0;
  const auto [key, file] = fuzz::SplitKeyAndFile(input);

  fuzz::CheckText(file, key);
  fuzz::CheckText(text::DecodeUtf16Le(file), key);

  // A key line written in front of the text is the first line that qualifies,
  // whatever the key holds.
  const std::string_view value = file.substr(0, file.find_first_of("\r\n"));
  const std::string written =
      std::string(key) + " \t= " + std::string(value) + "\r\n" + std::string(file);
  CW_FUZZ_CHECK(enchant::FindKeyValue(written, key) == fuzz::Trimmed(value));
  return 0;
}
