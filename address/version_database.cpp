#include "address/version_database.h"

#include <algorithm>
#include <cstdio>

#include "address/database_file.h"

namespace cw::address {

bool VersionDatabase::LoadPath(std::string_view path, AcceptedFormat accepted) {
  Clear();
  format_ = 0;
  try {
    const std::optional<FileBytes> bytes = ReadFileBytes(path);
    if (!bytes) return Fail(LoadError::kCannotOpen);
    return LoadBytes(bytes->data(), bytes->size(), accepted);
  } catch (...) {
    Clear();
    return Fail(LoadError::kOutOfMemory);
  }
}

bool VersionDatabase::LoadBytes(const std::uint8_t* data, std::size_t size,
                                AcceptedFormat accepted) {
  Clear();
  DecodedDatabase decoded = DecodeDatabase(data, size, accepted);
  format_ = decoded.format;
  if (decoded.versionRead) {
    const GameVersion& v = decoded.version;
    std::snprintf(versionText_, sizeof versionText_, "%d.%d.%d.%d", v.major, v.minor, v.build,
                  v.sub);
  }
  if (decoded.error != LoadError::kNone) {
    // A name that is too long is refused before anything else is touched; every
    // later failure clears the object.
    if (decoded.error == LoadError::kBadNameLength) version_ = decoded.version;
    return Fail(decoded.error);
  }
  version_ = decoded.version;
  entries_ = std::move(decoded.entries);
  lastError_ = LoadError::kNone;
  return true;
}

std::optional<std::uint64_t> VersionDatabase::Find(std::uint64_t id) const {
  auto it =
      std::lower_bound(entries_.begin(), entries_.end(), id,
                       [](const DatabaseEntry& e, std::uint64_t value) { return e.id < value; });
  if (it == entries_.end() || it->id != id) return std::nullopt;
  return it->offset;
}

void VersionDatabase::Clear() {
  EntryTable().swap(entries_);
  version_ = {};
}

bool VersionDatabase::Fail(LoadError error) {
  EntryTable().swap(entries_);
  lastError_ = error;
  return false;
}

}  // namespace cw::address
