#include "platform/name_pattern.h"

#include "platform/ascii.h"

namespace cw::platform {
namespace {

// Wildcard match with "*" and "?", iterative with one back-tracking point per star.
bool Glob(std::string_view name, std::string_view pattern) {
  std::size_t n = 0, p = 0;
  std::size_t starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() &&
               (pattern[p] == '?' || LowerAscii(pattern[p]) == LowerAscii(name[n]))) {
      ++p;
      ++n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace

bool MatchesNamePattern(std::string_view name, std::string_view pattern) {
  std::size_t end = pattern.size();
  while (end > 0 && pattern[end - 1] == '.') --end;
  if (end > 0) pattern = pattern.substr(0, end);
  if (Glob(name, pattern)) return true;
  return pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*" &&
         Glob(name, pattern.substr(0, pattern.size() - 2));
}

}  // namespace cw::platform
