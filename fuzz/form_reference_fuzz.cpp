// Form reference texts: the split at the last "_" gives back the text, and the
// number equals a reference reading that compares digit texts instead of
// computing with them.
//
// Input: the reference text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "natives/utility/form_reference.h"

namespace cw::fuzz {
namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Base 16, signed 32-bit, clamped: the digits are gathered as a lower-case text
// without leading zeros, and only a text of at most eight digits is computed.
std::int32_t ReferenceNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (text.substr(i, 2) == "0x" || text.substr(i, 2) == "0X") i += 2;
  std::string digits;
  for (; i < text.size() && IsHexDigit(text[i]); ++i) {
    if (digits.empty() && text[i] == '0') continue;
    digits += static_cast<char>(text[i] >= 'A' && text[i] <= 'F' ? text[i] + 32 : text[i]);
  }
  const auto greater = [&](std::string_view limit) {
    return digits.size() != limit.size() ? digits.size() > limit.size() : digits > limit;
  };
  if (!negative && greater("7fffffff")) return INT32_MAX;
  if (negative && greater("80000000")) return INT32_MIN;
  std::int64_t value = 0;
  for (char c : digits) value = value * 16 + (c <= '9' ? c - '0' : c - 'a' + 10);
  return static_cast<std::int32_t>(negative ? -value : value);
}

}  // namespace
}  // namespace cw::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace cw;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const FormReference reference = ParseFormReference(text);

  const std::size_t last = text.rfind('_');
  if (last == std::string_view::npos) {
    CW_FUZZ_CHECK(reference.baseName.empty());
    CW_FUZZ_CHECK(reference.numberText == text);
  } else {
    CW_FUZZ_CHECK(reference.baseName + "_" + reference.numberText == text);
    CW_FUZZ_CHECK(reference.baseName.size() == last);
  }
  CW_FUZZ_CHECK(reference.numberText.find('_') == std::string::npos);
  CW_FUZZ_CHECK(reference.number == fuzz::ReferenceNumber(reference.numberText));
  CW_FUZZ_CHECK(ReadReferenceNumber(text) == fuzz::ReferenceNumber(text));

  CW_FUZZ_CHECK(IsNullReference(text) == (text == "0"));
  const std::string_view stem = WithoutExtension(text);
  CW_FUZZ_CHECK(text.substr(0, stem.size()) == stem);
  CW_FUZZ_CHECK(stem.size() == text.size() || text.substr(stem.size()).rfind('.') == 0);
  return 0;
}
