#include "natives/utility/directory_hash.h"

#include <cstring>

#include "natives/utility/mod_files.h"
#include "platform/dir_search.h"
#include "platform/files.h"

namespace cw::utility {
namespace {

// Temporary copy of the shared hexadecimal rule until natives/utility/hex_format.h
// is available: the value's 32-bit pattern in lower-case hexadecimal, padded with
// zeros to the width and cut to its last digits.
std::string Hex(std::int32_t value, std::int32_t digits) {
  const int width = digits > 8 ? 8 : digits >= 1 ? digits : 1;
  const int cut = digits > 8 ? 8 : digits >= 1 ? digits : digits == 0 ? 0 : 1;
  static constexpr char kDigits[] = "0123456789abcdef";
  std::uint32_t bits = static_cast<std::uint32_t>(value);
  std::string text;
  do {
    text.insert(text.begin(), kDigits[bits & 0xF]);
    bits >>= 4;
  } while (bits != 0);
  if (static_cast<int>(text.size()) < width)
    text.insert(0, static_cast<std::size_t>(width) - text.size(), '0');
  if (cut != 0 && static_cast<int>(text.size()) > cut)
    text.erase(0, text.size() - static_cast<std::size_t>(cut));
  return text;
}

std::int32_t Add(std::int32_t total, std::uint32_t amount) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(total) + amount);
}

}  // namespace

DirectoryTotals SumDirectory(const std::string& dir) {
  DirectoryTotals totals;
  platform::ForEachDirectoryEntry(dir + "*.*", [&](const char* name) {
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) return true;
    totals.entries = Add(totals.entries, 1);
    totals.nameBytes = Add(totals.nameBytes, static_cast<std::uint32_t>(std::strlen(name)));
    const std::optional<std::uint64_t> size = platform::ReadableFileSize(dir + name);
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
  text += Hex(n, 3);
  text += Hex(n % 13 + 2, 1);
  text += '-';
  text += Hex(l % 11, 1);
  text += Hex(l % 14, 1);
  text += Hex(l % 9 + 3, 1);
  text += '-';
  text += Hex(l % 2100, 3);
  text += '-';
  text += Hex(s % 11 + 5, 1);
  text += Hex(s % 10 + 6, 1);
  text += Hex(s % 230 + 11, 2);
  text += '-';
  text += Hex(s % 8388500, 6);
  return text;
}

std::string DirectoryHash(std::string_view folder) {
  return FormatDirectoryHash(SumDirectory(ModDirectory(folder)));
}

}  // namespace cw::utility
