#include "platform/dir_search.h"

#include <dirent.h>

#include <algorithm>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/ascii.h"
#include "platform/files.h"
#include "platform/name_pattern.h"

namespace cw::platform {
namespace {

// A matching entry with what its place in the listing depends on, worked out once
// per entry rather than in every comparison of the sort.
struct Listed {
  std::string name;
  std::string folded;  // the name with ASCII letters lower-cased
  int rank;            // "." 0, ".." 1, any other name 2
};

Listed MakeListed(std::string_view name) {
  Listed entry{std::string(name), std::string(name), name == "." ? 0 : name == ".." ? 1 : 2};
  for (char& c : entry.folded) c = LowerAscii(c);
  return entry;
}

// "." and ".." first, then by name without regard to ASCII case (byte values of
// the lower-cased names, a name before its longer continuations), as NTFS lists a
// folder; names equal but for case by byte value. The order stays the same while
// the folder is unchanged.
bool ListsBefore(const Listed& a, const Listed& b) {
  if (a.rank != b.rank) return a.rank < b.rank;
  const int order = a.folded.compare(b.folded);
  return order != 0 ? order < 0 : a.name < b.name;
}

// The entries of folder whose names match the pattern, in listing order.
std::vector<Listed> ReadMatching(const std::string& folder, std::string_view namePattern) {
  std::vector<Listed> entries;
  const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
  if (dir == nullptr) return entries;
  while (const dirent* entry = ::readdir(dir.get()))
    if (MatchesNamePattern(entry->d_name, namePattern))
      entries.push_back(MakeListed(entry->d_name));
  std::sort(entries.begin(), entries.end(), ListsBefore);
  return entries;
}

}  // namespace

void ForEachDirectoryEntry(const std::string& pattern,
                           const std::function<bool(const char* name)>& visit) {
  const std::size_t cut = pattern.find_last_of("/\\");
  const std::string_view namePattern = cut == std::string::npos
                                           ? std::string_view(pattern)
                                           : std::string_view(pattern).substr(cut + 1);
  if (namePattern.empty()) return;
  std::string folder;
  if (cut != std::string::npos) folder = NativePath(pattern.substr(0, cut + 1));
  if (folder.empty()) folder.push_back('.');

  for (const Listed& entry : ReadMatching(folder, namePattern))
    if (!visit(entry.name.c_str())) return;
}

}  // namespace cw::platform
