// INI file texts: a stored key reads back as written, and no other key of the
// file changes its value; the integer reading against a reference.
//
// Input: section, key and value separated by NUL bytes, then after a third NUL
// the file's bytes (which may hold NUL bytes themselves).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "platform/profile_text.h"

namespace cw::fuzz {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool SameName(std::string_view a, std::string_view b) {
  a = Trim(a);
  b = Trim(b);
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// A value that reads back as written: no blank at either end (the reader trims)
// and not enclosed in a pair of the same quotes (the reader takes them off).
bool ReadsBackAsWritten(std::string_view value) {
  if (!value.empty() && (IsBlank(value.front()) || IsBlank(value.back()))) return false;
  const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                      value.back() == value.front();
  return !quoted;
}

// Section and key names that may be in the file: the text between "[" and the
// last "]" of a line, and the text before the first "=" of a line. Bounded.
struct Names {
  std::vector<std::string_view> sections{std::string_view()};
  std::vector<std::string_view> keys;
};

Names NamesIn(std::string_view content) {
  Names names;
  std::size_t start = 0;
  while (start <= content.size() && names.sections.size() + names.keys.size() < 48) {
    std::size_t end = content.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = content.size();
    const std::string_view line = content.substr(start, end - start);
    const std::size_t open = line.find('[');
    const std::size_t close = line.rfind(']');
    if (open != std::string_view::npos && close != std::string_view::npos && close > open)
      names.sections.push_back(Trim(line.substr(open + 1, close - open - 1)));
    const std::size_t equals = line.find('=');
    if (equals != std::string_view::npos) names.keys.push_back(Trim(line.substr(0, equals)));
    start = end + 1;
  }
  return names;
}

// The integer reader: at most 29 characters, blanks and control characters
// skipped, a sign, a base prefix, digits of that base, the value modulo 2^32.
std::int32_t ReferenceInt(std::string_view text) {
  text = text.substr(0, 29);
  std::size_t i = 0;
  while (i < text.size() && static_cast<unsigned char>(text[i]) <= 0x20) ++i;
  const bool negative = i < text.size() && text[i] == '-';
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  unsigned base = 10;
  const std::string_view prefix = text.substr(i, 2);
  if (prefix == "0b") base = 2;
  if (prefix == "0o") base = 8;
  if (prefix == "0x") base = 16;
  if (base != 10) i += 2;
  std::uint64_t value = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    unsigned digit = 99;
    if (c >= '0' && c <= '9') digit = static_cast<unsigned>(c - '0');
    if (c >= 'a' && c <= 'f') digit = static_cast<unsigned>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F') digit = static_cast<unsigned>(c - 'A' + 10);
    if (digit >= base) break;
    value = (value * base + digit) % (std::uint64_t{1} << 32);
  }
  if (negative) value = ((std::uint64_t{1} << 32) - value) % (std::uint64_t{1} << 32);
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

}  // namespace
}  // namespace cw::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace cw;
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::string_view fields[3];
  for (std::string_view& field : fields) {
    const std::size_t nul = input.find('\0');
    field = input.substr(0, nul);
    input.remove_prefix(nul == std::string_view::npos ? input.size() : nul + 1);
  }
  const auto [section, key, value] = fields;
  const std::string_view content = input;

  const std::optional<std::string> before = platform::ReadProfileValue(content, section, key);
  CW_FUZZ_CHECK(platform::ParseProfileInt(value) == fuzz::ReferenceInt(value));
  if (before) CW_FUZZ_CHECK(platform::ParseProfileInt(*before) == fuzz::ReferenceInt(*before));

  const std::string written =
      platform::WriteProfileValue(std::string(content), section, key, value);
  if (!platform::IsStorableProfileEntry(section, key, value)) return 0;

  const std::optional<std::string> after = platform::ReadProfileValue(written, section, key);
  CW_FUZZ_CHECK(after.has_value());
  if (fuzz::ReadsBackAsWritten(value)) CW_FUZZ_CHECK(*after == value);

  // Every other key keeps its value (or stays missing), in every section.
  const fuzz::Names names = fuzz::NamesIn(content);
  std::vector<std::string_view> sections = names.sections;
  sections.push_back(section);
  std::vector<std::string_view> keys = names.keys;
  keys.push_back(key);
  for (const std::string_view s : sections) {
    for (const std::string_view k : keys) {
      if (fuzz::SameName(s, section) && fuzz::SameName(k, key)) continue;
      CW_FUZZ_CHECK(platform::ReadProfileValue(written, s, k) ==
                    platform::ReadProfileValue(content, s, k));
    }
  }
  return 0;
}
