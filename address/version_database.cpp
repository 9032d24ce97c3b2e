#include "address/version_database.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "platform/files.h"
#include "platform/module.h"

namespace cw::address {
namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// The whole content of an open file, read in one go when its size is known.
bool ReadAll(std::FILE* file, std::vector<std::uint8_t>* bytes) {
  std::size_t chunk = 1 << 16;
  if (std::fseek(file, 0, SEEK_END) == 0) {
    long size = std::ftell(file);
    if (size > 0) chunk = static_cast<std::size_t>(size) + 1;  // +1 sees the end in one read
    if (std::fseek(file, 0, SEEK_SET) != 0) return false;
  }
  bytes->clear();
  for (;;) {
    const std::size_t have = bytes->size();
    bytes->resize(have + chunk);
    const std::size_t got = std::fread(bytes->data() + have, 1, chunk, file);
    bytes->resize(have + got);
    if (got < chunk) return std::ferror(file) == 0;
    chunk = std::max<std::size_t>(chunk, 1 << 16);
  }
}

}  // namespace

std::string DatabasePath(const GameVersion& v) {
  char path[256];
  std::snprintf(path, sizeof path, "Data\\SKSE\\Plugins\\version-%d-%d-%d-%d.bin", v.major, v.minor,
                v.build, v.sub);
  return path;
}

bool VersionDatabase::LoadForRunningGame() {
  try {
    std::optional<GameVersion> running = RunningGameVersion();
    if (!running) {
      Clear();
      return Fail(LoadError::kNoVersion);
    }
    return Load(*running);
  } catch (...) {
    Clear();
    return Fail(LoadError::kOutOfMemory);
  }
}

bool VersionDatabase::Load(const GameVersion& v) {
  try {
    return LoadPath(DatabasePath(v));
  } catch (...) {
    Clear();
    return Fail(LoadError::kOutOfMemory);
  }
}

bool VersionDatabase::LoadPath(std::string_view path) {
  Clear();
  try {
    FileHandle file(platform::OpenFile(path, "rb"));
    if (!file) return Fail(LoadError::kCannotOpen);
    std::vector<std::uint8_t> bytes;
    if (!ReadAll(file.get(), &bytes)) return Fail(LoadError::kCannotOpen);
    file.reset();
    return LoadBytes(bytes.data(), bytes.size());
  } catch (...) {
    Clear();
    return Fail(LoadError::kOutOfMemory);
  }
}

bool VersionDatabase::LoadBytes(const std::uint8_t* data, std::size_t size) {
  Clear();
  DecodedDatabase decoded = DecodeDatabase(data, size);
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
  moduleBase_ = platform::ExecutableBase();
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
  moduleBase_ = 0;
}

bool VersionDatabase::Fail(LoadError error) {
  EntryTable().swap(entries_);
  moduleBase_ = 0;
  lastError_ = error;
  return false;
}

}  // namespace cw::address
