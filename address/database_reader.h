#pragma once
// Decoder of a version database file: the bytes of the whole file in, the
// header and the identifier table out. It touches nothing else, so it can be
// run on any bytes.
//
// Layout, little-endian, read in sequence:
//   int32 format (1 or 2), int32 major, minor, build, sub, int32 name length N
//   (at most 65535 as unsigned), N bytes of name, int32 pointer size P,
//   int32 entry count E (E <= 0: no entries), then E entries.
// An entry is a type byte T, the identifier field and the offset field. T's low
// nibble codes the identifier and bits 4-6 the offset, relative to the previous
// entry's values (both 0 before the first entry); bit 7 counts the offset in
// units of P. Arithmetic is unsigned 64-bit and wraps.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <type_traits>
#include <utility>
#include <vector>

#include "address/game_version.h"

namespace cw::address {

enum class LoadError {
  kNone,
  kNoVersion,
  kCannotOpen,
  kBadFormat,
  kBadNameLength,
  kShortRead,
  kBadIdCoding,
  kBadPointerSize,
  kOutOfMemory,
  kSkyrimVR,  // the running game is Skyrim VR, which has no database of these formats
};

// A short English reason, e.g. "file ends early".
const char* Describe(LoadError error);

// The two formats differ only in this number, in the file name and in the
// identifier numbering: format 1 for game versions before 1.6, format 2 after.
enum class AcceptedFormat : std::uint8_t { kOnly1, kOnly2, kEither };

struct DatabaseEntry {
  std::uint64_t id;
  std::uint64_t offset;
  friend bool operator==(const DatabaseEntry&, const DatabaseEntry&) = default;
};

// An allocator whose value-less construction leaves a trivial object
// uninitialised, so that a table can be sized once and then written in place.
template <class T>
struct UninitializedAllocator : std::allocator<T> {
  template <class U>
  struct rebind {
    using other = UninitializedAllocator<U>;
  };
  UninitializedAllocator() = default;
  template <class U>
  UninitializedAllocator(const UninitializedAllocator<U>&) noexcept {}

  template <class U>
  void construct(U* p) noexcept(std::is_nothrow_default_constructible_v<U>) {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};

using EntryTable = std::vector<DatabaseEntry, UninitializedAllocator<DatabaseEntry>>;

// What a database file's header says, and the verdict on the whole file.
struct DatabaseVerdict {
  LoadError error = LoadError::kNone;
  std::int32_t format = 0;   // as read; 0 when the file is shorter than the field
  bool versionRead = false;  // the header's four numbers were read (before any later error)
  GameVersion version;
};

struct DecodedDatabase : DatabaseVerdict {
  // Sorted by identifier, each identifier once; for an identifier that occurs
  // more than once, the offset of its last entry. Empty on any error.
  EntryTable entries;
};

// Decodes a whole database file. A format that `accepted` does not take is
// kBadFormat; any read past the end is kShortRead; an identifier coding of 8 to
// 15 is kBadIdCoding; a scaled offset with a pointer size of 0 or below is
// kBadPointerSize. Never throws: a table that cannot be allocated is kOutOfMemory.
DecodedDatabase DecodeDatabase(const std::uint8_t* data, std::size_t size, AcceptedFormat accepted);

struct ResolvedIdentifiers : DatabaseVerdict {
  std::size_t entryCount = 0;  // entries decoded; 0 on any error
  // One per asked identifier, in asking order: the offset of its last entry,
  // nullopt when the file has none. All nullopt on any error.
  std::vector<std::optional<std::uint64_t>> offsets;
};

// How entries are decoded: runs of common entries by vector instructions where
// the processor has them, or every entry one by one. Both give the same result.
enum class EntryDecoder { kFastest, kOneByOne };

// The same decoding and the same verdicts as DecodeDatabase, but only the asked
// identifiers are kept: no table is built. For each identifier it gives what
// DecodeDatabase's table would hold.
ResolvedIdentifiers ResolveIdentifiers(const std::uint8_t* data, std::size_t size,
                                       AcceptedFormat accepted, std::span<const std::uint64_t> ids,
                                       EntryDecoder decoder = EntryDecoder::kFastest);

}  // namespace cw::address
