#pragma once
// A short fingerprint of a folder of the mod folder that changes when entries are
// added or removed or change size.
#include <cstdint>
#include <string>
#include <string_view>

namespace cw::utility {

// The three counters behind the fingerprint; every addition wraps modulo 2^32.
struct DirectoryTotals {
  std::int32_t entries = 0;    // N: entries other than "." and ".."
  std::int32_t nameBytes = 0;  // L: bytes of their names
  std::int32_t sizeSum = 0;    // S: their sizes, -1 for each that cannot be opened
};

// Totals of the entries of the directory text dir (ending in a separator).
DirectoryTotals SumDirectory(const std::string& dir);

// The 24-character text of five groups of 4, 3, 3, 4 and 6 lower-case hexadecimal
// digits built from the totals.
std::string FormatDirectoryHash(const DirectoryTotals& totals);

// The fingerprint of folder of the mod folder; a missing folder gives that of
// zero entries.
std::string DirectoryHash(std::string_view folder);

}  // namespace cw::utility
