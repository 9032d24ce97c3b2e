#include "platform/dir_search.h"

#include <dirent.h>

#include <algorithm>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "platform/name_pattern.h"

namespace cw::platform {
namespace {

char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}

// Compares without regard to ASCII case: below 0, 0 or above 0.
int CompareNoCase(const std::string& a, const std::string& b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const char x = LowerAscii(a[i]), y = LowerAscii(b[i]);
    if (x != y) return static_cast<unsigned char>(x) < static_cast<unsigned char>(y) ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// "." and ".." first, then by name without regard to ASCII case, as NTFS lists a
// folder; the order stays the same while the folder is unchanged.
bool ListsBefore(const std::string& a, const std::string& b) {
  const auto rank = [](const std::string& s) { return s == "." ? 0 : s == ".." ? 1 : 2; };
  if (rank(a) != rank(b)) return rank(a) < rank(b);
  const int order = CompareNoCase(a, b);
  return order != 0 ? order < 0 : a < b;
}

std::vector<std::string> ReadFolder(const std::string& folder) {
  std::vector<std::string> names;
  const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
  if (dir == nullptr) return names;
  while (const dirent* entry = ::readdir(dir.get())) names.emplace_back(entry->d_name);
  return names;
}

}  // namespace

void ForEachDirectoryEntry(const std::string& pattern,
                           const std::function<bool(const char* name)>& visit) {
  const std::size_t cut = pattern.find_last_of("/\\");
  const std::string_view namePattern = cut == std::string::npos
                                           ? std::string_view(pattern)
                                           : std::string_view(pattern).substr(cut + 1);
  if (namePattern.empty()) return;
  std::string folder = cut == std::string::npos ? "." : NativePath(pattern.substr(0, cut + 1));
  if (folder.empty()) folder = ".";

  std::vector<std::string> names = ReadFolder(folder);
  std::sort(names.begin(), names.end(), ListsBefore);
  for (const std::string& name : names)
    if (MatchesNamePattern(name, namePattern) && !visit(name.c_str())) return;
}

}  // namespace cw::platform
