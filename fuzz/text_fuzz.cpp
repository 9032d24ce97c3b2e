// The text functions against plain references: the bounded replace-all written
// as a copy from the original text, placeholder filling as six such passes, and
// the case mappings byte by byte.
//
// Input: texts separated by NUL bytes (script texts hold none): the text, the
// search and the replacement of a replace-all; the same first text is also a
// template, and the six texts after it its values.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "natives/utility/text.h"

namespace cw::fuzz {
namespace {

// Position of the first occurrence of `search` in `text` at or after `from`,
// compared byte by byte; text.size() + 1 when there is none.
std::size_t Occurrence(std::string_view text, std::string_view search, std::size_t from) {
  for (std::size_t at = from; at + search.size() <= text.size(); ++at) {
    std::size_t i = 0;
    while (i < search.size() && text[at + i] == search[i]) ++i;
    if (i == search.size()) return at;
  }
  return text.size() + 1;
}

// The inserted replacements are never searched again, so the result is the
// original text copied up to each occurrence, the replacement in its place,
// and the rest after the last replaced occurrence, with at most 21 occurrences.
std::string ReferenceReplaceAll(std::string_view text, std::string_view search,
                                std::string_view replacement) {
  std::string out;
  std::size_t copied = 0;
  for (int made = 0; made < 21; ++made) {
    const std::size_t at = Occurrence(text, search, copied);
    if (at > text.size()) break;
    out.append(text.substr(copied, at - copied));
    out.append(replacement);
    copied = at + search.size();
  }
  out.append(text.substr(copied));
  return out;
}

std::vector<std::string_view> SplitAtNul(std::string_view input) {
  std::vector<std::string_view> pieces;
  std::size_t start = 0;
  for (;;) {
    const std::size_t nul = input.find('\0', start);
    if (nul == std::string_view::npos) break;
    pieces.push_back(input.substr(start, nul - start));
    start = nul + 1;
  }
  pieces.push_back(input.substr(start));
  return pieces;
}

}  // namespace
}  // namespace cw::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace cw;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::vector<std::string_view> pieces = fuzz::SplitAtNul(input);
  pieces.resize(7 > pieces.size() ? 7 : pieces.size());
  const std::string_view text = pieces[0];

  CW_FUZZ_CHECK(text::ReplaceAllBounded(std::string(text), pieces[1], pieces[2]) ==
                fuzz::ReferenceReplaceAll(text, pieces[1], pieces[2]));

  const std::array<std::string_view, 6> values{pieces[1], pieces[2], pieces[3],
                                               pieces[4], pieces[5], pieces[6]};
  std::string expected(text);
  for (std::size_t i = 0; i < values.size(); ++i) {
    const std::string placeholder{'{', static_cast<char>('0' + i), '}'};
    expected = fuzz::ReferenceReplaceAll(expected, placeholder, values[i]);
  }
  CW_FUZZ_CHECK(text::FillPlaceholders(std::string(text), values) == expected);

  const std::string lower = text::ToLowerAscii(text);
  const std::string upper = text::ToUpperAscii(text);
  CW_FUZZ_CHECK(lower.size() == text.size() && upper.size() == text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    CW_FUZZ_CHECK(lower[i] == (c >= 'A' && c <= 'Z' ? c + 32 : c));
    CW_FUZZ_CHECK(upper[i] == (c >= 'a' && c <= 'z' ? c - 32 : c));
  }
  return 0;
}
