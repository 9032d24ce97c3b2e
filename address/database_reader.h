#pragma once
// Decoder of a version database file: the bytes of the whole file in, the
// header and the identifier table out. It touches nothing else, so it can be
// run on any bytes.
//
// Layout, little-endian, read in sequence:
//   int32 format (1), int32 major, minor, build, sub, int32 name length N
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
};

// A short English reason, e.g. "format is not 1".
const char* Describe(LoadError error);

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

struct DecodedDatabase {
  LoadError error = LoadError::kNone;
  bool versionRead = false;  // the header's four numbers were read (before any later error)
  GameVersion version;
  // Sorted by identifier, each identifier once; for an identifier that occurs
  // more than once, the offset of its last entry. Empty on any error.
  EntryTable entries;
};

// Decodes a whole database file. Any read past the end is kShortRead; an
// identifier coding of 8 to 15 is kBadIdCoding; a scaled offset with a pointer
// size of 0 or below is kBadPointerSize. Never throws: a table that cannot be
// allocated is kOutOfMemory.
DecodedDatabase DecodeDatabase(const std::uint8_t* data, std::size_t size);

}  // namespace cw::address
