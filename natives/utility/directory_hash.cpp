#include "natives/utility/directory_hash.h"

#include <cstring>

#include "natives/utility/hex_format.h"
#include "natives/utility/mod_files.h"
#include "platform/dir_search.h"
#include "platform/files.h"

namespace cw::utility {
namespace {

std::int32_t Add(std::int32_t total, std::uint32_t amount) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(total) + amount);
}

}  // namespace

DirectoryTotals SumDirectory(const std::string& dir) {
  DirectoryTotals totals;
  const platform::FolderEntries entries(dir);
  platform::ForEachDirectoryEntry(dir + "*.*", [&](const char* name) {
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) return true;
    totals.entries = Add(totals.entries, 1);
    totals.nameBytes = Add(totals.nameBytes, static_cast<std::uint32_t>(std::strlen(name)));
    const std::optional<std::uint64_t> size = entries.ReadableSize(name);
    totals.sizeSum = Add(totals.sizeSum, size ? static_cast<std::uint32_t>(*size) : 0xFFFFFFFFu);
    return true;
  });
  return totals;
}

std::string FormatDirectoryHash(const DirectoryTotals& totals) {
  const std::int32_t n = totals.entries;
  const std::int32_t l = totals.nameBytes;
  const std::int32_t s = totals.sizeSum;
  std::string text;
  text += FormatHex(n, 3);
  text += FormatHex(n % 13 + 2, 1);
  text += '-';
  text += FormatHex(l % 11, 1);
  text += FormatHex(l % 14, 1);
  text += FormatHex(l % 9 + 3, 1);
  text += '-';
  text += FormatHex(l % 2100, 3);
  text += '-';
  text += FormatHex(s % 11 + 5, 1);
  text += FormatHex(s % 10 + 6, 1);
  text += FormatHex(s % 230 + 11, 2);
  text += '-';
  text += FormatHex(s % 8388500, 6);
  return text;
}

std::string DirectoryHash(std::string_view folder) {
  return FormatDirectoryHash(SumDirectory(ModDirectory(folder)));
}

}  // namespace cw::utility
