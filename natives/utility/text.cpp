#include "natives/utility/text.h"

#include <cstddef>
#include <utility>

namespace cw::text {
namespace {

// Deliberately not <cctype>: the result must not depend on the process locale.
std::string MapRange(std::string_view text, char first, char last, int shift) {
  std::string out(text);
  for (char& c : out)
    if (c >= first && c <= last) c = static_cast<char>(c + shift);
  return out;
}

}  // namespace

std::string ToLowerAscii(std::string_view text) {
  return MapRange(text, 'A', 'Z', 'a' - 'A');
}

std::string ToUpperAscii(std::string_view text) {
  return MapRange(text, 'a', 'z', 'A' - 'a');
}

std::string ReplaceAllBounded(std::string text, std::string_view search,
                              std::string_view replacement) {
  std::size_t pos = 0;
  for (int count = 0; count < kReplacementLimit; ++count) {
    // find() also answers npos when pos lies beyond size() - search.size(),
    // and finds an empty search at pos itself.
    const std::size_t found = text.find(search, pos);
    if (found == std::string::npos) break;
    text.replace(found, search.size(), replacement);
    pos = found + replacement.size();
  }
  return text;
}

std::string FillPlaceholders(std::string templ, const std::array<std::string_view, 6>& values) {
  char placeholder[] = "{0}";
  for (std::size_t i = 0; i < values.size(); ++i) {
    placeholder[1] = static_cast<char>('0' + i);
    templ = ReplaceAllBounded(std::move(templ), placeholder, values[i]);
  }
  return templ;
}

}  // namespace cw::text
