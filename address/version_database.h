#pragma once
// A version database as a whole table from stable address identifiers to
// offsets from the game executable's base. Start-up resolves its few
// identifiers without a table (address/startup_database.h); the table serves
// listings and look-ups of any identifier.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "address/database_reader.h"
#include "address/game_version.h"

namespace cw::address {

// Empty after construction, Clear and every failed load; loaded after a
// successful one. Loaded once at start-up and only
// read afterwards; not synchronised.
class VersionDatabase {
 public:
  // Clears, then loads the file at `path` (a game path, see platform/files.h).
  bool LoadPath(std::string_view path, AcceptedFormat accepted);
  // Clears, then decodes a whole file's bytes.
  bool LoadBytes(const std::uint8_t* data, std::size_t size, AcceptedFormat accepted);

  // The offset of exactly this identifier.
  std::optional<std::uint64_t> Find(std::uint64_t id) const;
  // The header's four numbers (all 0 when nothing is loaded, except after a
  // name length that is too long, which keeps them).
  GameVersion Version() const { return version_; }
  // The header's numbers as "%d.%d.%d.%d", kept across Clear; "" before any
  // header was read.
  const char* VersionText() const { return versionText_; }
  // The format number of the file last read (0 when it had none).
  std::int32_t Format() const { return format_; }
  // Number of distinct identifiers.
  std::size_t Size() const { return entries_.size(); }
  // Why the last load failed, kNone after a successful one.
  LoadError LastError() const { return lastError_; }
  // The table, sorted by identifier.
  const EntryTable& Entries() const { return entries_; }

  // Empties the table and sets the version numbers to 0; the version text stays.
  void Clear();

 private:
  bool Fail(LoadError error);

  EntryTable entries_;
  GameVersion version_;
  char versionText_[64] = {};
  LoadError lastError_ = LoadError::kNone;
  std::int32_t format_ = 0;
};

}  // namespace cw::address
