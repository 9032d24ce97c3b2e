#include "address/database_reader.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

namespace cw::address {
namespace {

constexpr std::uint32_t kMaxNameLength = 0xFFFF;

template <int N>
std::uint64_t LoadLittleEndian(const std::uint8_t* p) {
  std::uint64_t value = 0;
  for (int i = 0; i < N; ++i) value |= static_cast<std::uint64_t>(p[i]) << (8 * i);
  return value;
}

// How a field is coded, for the eight valid codings (the same for identifiers
// and offsets): the new value is
//   (previous AND keep) + (value, negated when negate is all ones) + increment
// where value is the little-endian field of `bytes` bytes.
struct Coding {
  std::uint64_t valueMask;
  std::uint64_t keep;
  std::uint64_t negate;
  std::uint64_t increment;
  std::size_t bytes;
};
constexpr std::uint64_t kAll = ~std::uint64_t{0};
constexpr Coding kCodings[8] = {
    {kAll, 0, 0, 0, 8},          // 0: the value
    {0, kAll, 0, 1, 0},          // 1: previous + 1
    {0xFF, kAll, 0, 0, 1},       // 2: previous + byte
    {0xFF, kAll, kAll, 0, 1},    // 3: previous - byte
    {0xFFFF, kAll, 0, 0, 2},     // 4: previous + word
    {0xFFFF, kAll, kAll, 0, 2},  // 5: previous - word
    {0xFFFF, 0, 0, 0, 2},        // 6: the word
    {0xFFFFFFFF, 0, 0, 0, 4},    // 7: the double word
};

// `word` holds at least the field's bytes in its low end.
inline std::uint64_t Apply(const Coding& c, std::uint64_t previous, std::uint64_t word) {
  const std::uint64_t value = word & c.valueMask;
  return (previous & c.keep) + ((value ^ c.negate) - c.negate) + c.increment;
}

// Eight bytes from `p`, little-endian.
inline std::uint64_t LoadWord(const std::uint8_t* p) {
  if constexpr (std::endian::native == std::endian::little) {
    std::uint64_t value;
    std::memcpy(&value, p, sizeof value);
    return value;
  } else {
    return LoadLittleEndian<8>(p);
  }
}

// `count` bytes from `p` (at most 8), little-endian.
inline std::uint64_t LoadField(const std::uint8_t* p, std::size_t count) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < count; ++i) value |= static_cast<std::uint64_t>(p[i]) << (8 * i);
  return value;
}

// The longest entry: type byte and two 8-byte fields.
constexpr std::size_t kLongestEntry = 17;

class Cursor {
 public:
  Cursor(const std::uint8_t* data, std::size_t size) : p_(data), end_(data + size) {}

  bool ReadInt32(std::int32_t* out) {
    if (Remaining() < 4) return false;
    *out = static_cast<std::int32_t>(static_cast<std::uint32_t>(LoadLittleEndian<4>(p_)));
    p_ += 4;
    return true;
  }
  bool Skip(std::size_t count) {
    if (Remaining() < count) return false;
    p_ += count;
    return true;
  }
  std::size_t Remaining() const { return static_cast<std::size_t>(end_ - p_); }
  const std::uint8_t* Position() const { return p_; }
  const std::uint8_t* End() const { return end_; }

 private:
  const std::uint8_t* p_;
  const std::uint8_t* end_;
};

// Sorts by identifier, keeping for each identifier the entry that came last.
void SortKeepingLast(EntryTable& entries) {
  std::stable_sort(entries.begin(), entries.end(),
                   [](const DatabaseEntry& a, const DatabaseEntry& b) { return a.id < b.id; });
  std::size_t kept = 0;
  for (const DatabaseEntry& entry : entries) {
    if (kept > 0 && entries[kept - 1].id == entry.id)
      entries[kept - 1] = entry;
    else
      entries[kept++] = entry;
  }
  entries.resize(kept);
}

// The running values of the decoder.
struct DecodeState {
  const std::uint8_t* p;
  DatabaseEntry* out;
  std::uint64_t id = 0;
  std::uint64_t offset = 0;
  bool ascending = true;
};

// Entries while a whole longest entry fits in the bytes left, with a unit that
// is a power of two. Fields come from unaligned eight-byte loads and every
// coding is the same arithmetic; the coding that real files use for nine
// entries in ten (identifier + 1, offset + one byte, scaled or not) has a path
// of its own whose length is known without looking at the type byte twice.
// Returns kNone when it stops at `outEnd` or near `end`.
LoadError DecodeEntriesFast(DecodeState& s, const std::uint8_t* end, const DatabaseEntry* first,
                            const DatabaseEntry* outEnd, int unitShift) {
  if (static_cast<std::size_t>(end - s.p) < kLongestEntry) return LoadError::kNone;
  const std::uint8_t* const fastEnd = end - (kLongestEntry - 1);
  const std::uint8_t* p = s.p;
  DatabaseEntry* out = s.out;
  std::uint64_t id = s.id;
  std::uint64_t offset = s.offset;
  bool ascending = s.ascending;
  LoadError error = LoadError::kNone;
  while (p < fastEnd && out < outEnd) {
    const unsigned type = p[0];
    const int shift = (type & 0x80) ? unitShift : 0;
    std::uint64_t newId;
    if ((type & 0x7F) == 0x21) {
      newId = id + 1;
      offset = ((offset >> shift) + p[1]) << shift;
      p += 2;
    } else {
      if (type & 0x08) {
        error = LoadError::kBadIdCoding;
        break;
      }
      const Coding& idCoding = kCodings[type & 0x07];
      const Coding& offsetCoding = kCodings[(type >> 4) & 0x07];
      newId = Apply(idCoding, id, LoadWord(p + 1));
      offset = Apply(offsetCoding, offset >> shift, LoadWord(p + 1 + idCoding.bytes)) << shift;
      p += 1 + idCoding.bytes + offsetCoding.bytes;
    }
    ascending &= (newId > id) | (out == first);
    id = newId;
    *out++ = DatabaseEntry{id, offset};
  }
  s.p = p;
  s.out = out;
  s.id = id;
  s.offset = offset;
  s.ascending = ascending;
  return error;
}

// Decodes `count` entries into `table`; returns kNone or the reason to reject.
LoadError DecodeEntries(Cursor& cursor, std::int32_t count, std::int32_t pointerSize,
                        EntryTable& table) {
  if (count <= 0) return LoadError::kNone;
  // Every entry takes at least its type byte, so the bytes left bound the count.
  const std::size_t room = std::min(static_cast<std::size_t>(count), cursor.Remaining());
  table.resize(room);
  DatabaseEntry* const first = table.data();

  // The unit of scaled offsets, P sign-extended.
  const std::uint64_t unit = static_cast<std::uint64_t>(static_cast<std::int64_t>(pointerSize));
  const bool unitUsable = pointerSize > 0;
  const bool unitIsPowerOfTwo = unitUsable && std::has_single_bit(unit);

  const std::uint8_t* const end = cursor.End();
  DecodeState s{cursor.Position(), first};
  if (unitIsPowerOfTwo) {
    const LoadError error = DecodeEntriesFast(s, end, first, first + room, std::countr_zero(unit));
    if (error != LoadError::kNone) return error;
  }

  // The last bytes, and units that are not a power of two: every read checked.
  for (std::size_t i = static_cast<std::size_t>(s.out - first); i < static_cast<std::size_t>(count);
       ++i) {
    if (s.p == end) return LoadError::kShortRead;
    const unsigned type = *s.p++;
    if (type & 0x08) return LoadError::kBadIdCoding;
    const Coding& idCoding = kCodings[type & 0x07];
    const Coding& offsetCoding = kCodings[(type >> 4) & 0x07];
    if (static_cast<std::size_t>(end - s.p) < idCoding.bytes + offsetCoding.bytes)
      return LoadError::kShortRead;
    const std::uint64_t newId = Apply(idCoding, s.id, LoadField(s.p, idCoding.bytes));
    s.p += idCoding.bytes;
    const std::uint64_t field = LoadField(s.p, offsetCoding.bytes);
    s.p += offsetCoding.bytes;
    if (type & 0x80) {
      if (!unitUsable) return LoadError::kBadPointerSize;
      s.offset = Apply(offsetCoding, s.offset / unit, field) * unit;
    } else {
      s.offset = Apply(offsetCoding, s.offset, field);
    }
    s.ascending &= (newId > s.id) | (s.out == first);
    s.id = newId;
    *s.out++ = DatabaseEntry{s.id, s.offset};
  }
  table.resize(static_cast<std::size_t>(s.out - first));
  if (!s.ascending) SortKeepingLast(table);
  return LoadError::kNone;
}

DecodedDatabase Fail(DecodedDatabase result, LoadError error) {
  result.error = error;
  result.entries = {};
  return result;
}

}  // namespace

const char* Describe(LoadError error) {
  switch (error) {
    case LoadError::kNone:
      return "no error";
    case LoadError::kNoVersion:
      return "the running game states no usable version";
    case LoadError::kCannotOpen:
      return "file cannot be opened";
    case LoadError::kBadFormat:
      return "format is not 1";
    case LoadError::kBadNameLength:
      return "name length is above 65535";
    case LoadError::kShortRead:
      return "file ends early";
    case LoadError::kBadIdCoding:
      return "an entry has an identifier coding of 8 to 15";
    case LoadError::kBadPointerSize:
      return "pointer size is not above 0 for a scaled offset";
    case LoadError::kOutOfMemory:
      return "not enough memory for the table";
  }
  return "unknown error";
}

DecodedDatabase DecodeDatabase(const std::uint8_t* data, std::size_t size) {
  DecodedDatabase result;
  if (data == nullptr) size = 0;
  static const std::uint8_t kNothing = 0;
  Cursor cursor(data ? data : &kNothing, size);

  std::int32_t format = 0;
  if (!cursor.ReadInt32(&format)) return Fail(std::move(result), LoadError::kShortRead);
  if (format != 1) return Fail(std::move(result), LoadError::kBadFormat);

  GameVersion& v = result.version;
  if (!cursor.ReadInt32(&v.major) || !cursor.ReadInt32(&v.minor) || !cursor.ReadInt32(&v.build) ||
      !cursor.ReadInt32(&v.sub)) {
    result.version = {};
    return Fail(std::move(result), LoadError::kShortRead);
  }
  result.versionRead = true;

  std::int32_t nameLength = 0;
  if (!cursor.ReadInt32(&nameLength)) return Fail(std::move(result), LoadError::kShortRead);
  if (static_cast<std::uint32_t>(nameLength) > kMaxNameLength)
    return Fail(std::move(result), LoadError::kBadNameLength);
  if (!cursor.Skip(static_cast<std::uint32_t>(nameLength)))
    return Fail(std::move(result), LoadError::kShortRead);

  std::int32_t pointerSize = 0;
  std::int32_t count = 0;
  if (!cursor.ReadInt32(&pointerSize) || !cursor.ReadInt32(&count))
    return Fail(std::move(result), LoadError::kShortRead);

  try {
    const LoadError error = DecodeEntries(cursor, count, pointerSize, result.entries);
    if (error != LoadError::kNone) return Fail(std::move(result), error);
  } catch (const std::bad_alloc&) {
    return Fail(std::move(result), LoadError::kOutOfMemory);
  }
  return result;
}

}  // namespace cw::address
