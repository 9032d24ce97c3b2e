#include "address/database_reader.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>
#include <vector>

#include "address/entry_runs.h"

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

// Where decoded entries go: the whole table (for listing and look-ups) or only a
// few asked identifiers (at start-up). `Take` sees every entry in file order,
// with the identifier of the entry before it (0 before the first).
class TableSink {
 public:
  static constexpr bool kTakesRuns = false;
  explicit TableSink(DatabaseEntry* first) : first_(first), out_(first) {}
  void Take(std::uint64_t previousId, std::uint64_t id, std::uint64_t offset) {
    ascending_ &= (id > previousId) | (out_ == first_);
    *out_++ = DatabaseEntry{id, offset};
  }
  std::size_t Count() const { return static_cast<std::size_t>(out_ - first_); }
  bool Ascending() const { return ascending_; }

 private:
  DatabaseEntry* first_;
  DatabaseEntry* out_;
  bool ascending_ = true;
};

class ResolveSink {
 public:
  struct Wanted {
    std::uint64_t id;
    std::size_t index;  // in the asking order
  };
  // `wanted` sorted by identifier; `offsets` has one slot per asked identifier.
  ResolveSink(std::span<const Wanted> wanted, std::optional<std::uint64_t>* offsets)
      : wanted_(wanted), offsets_(offsets) {}

  // A run of entries that each step the identifier up by one and stay below
  // this identifier needs no look-up at all.
  static constexpr bool kTakesRuns = true;
  std::uint64_t RunsBelow() const { return nextWanted_; }

  // An entry that steps upwards and stays below the next asked identifier
  // needs no search; every other one is looked up (the first entry too, as
  // nothing is below 0).
  void Take(std::uint64_t previousId, std::uint64_t id, std::uint64_t offset) {
    if (id > previousId && id < nextWanted_) return;
    auto it = std::lower_bound(wanted_.begin(), wanted_.end(), id,
                               [](const Wanted& w, std::uint64_t value) { return w.id < value; });
    for (; it != wanted_.end() && it->id == id; ++it) offsets_[it->index] = offset;
    // The smallest asked identifier above this one; the highest identifier
    // stands for "none", so an entry reaching it is always looked up.
    nextWanted_ = it == wanted_.end() ? ~std::uint64_t{0} : it->id;
  }

 private:
  std::span<const Wanted> wanted_;
  std::optional<std::uint64_t>* offsets_;
  std::uint64_t nextWanted_ = 0;
};

using DecodeState = EntryCursor;

// Entries while a whole longest entry fits in the bytes left, with a unit that
// is a power of two. Fields come from unaligned eight-byte loads and every
// coding is the same arithmetic; the two codings that real files use for 98
// entries in 100 (identifier + 1 with offset + one byte, or with offset + 1;
// scaled or not) have paths of their own whose length is known without looking
// at the type byte twice, so that the processor can run ahead on its guess of
// the branch instead of waiting for each type byte.
// A sink that takes runs (start-up's) gets whole runs of common entries from
// the vector decoder where it can (`runs`, see entry_runs.h), and one entry at
// a time around them: the table keeps decoding one by one, as it writes every
// entry anyway.
// Returns kNone when it stops after `count` entries or near `end`.
template <class Sink>
LoadError DecodeEntriesFast(DecodeState& state, const std::uint8_t* end, std::size_t count,
                            int unitShift, Sink& sink, bool runs) {
  if (static_cast<std::size_t>(end - state.p) < kLongestEntry) return LoadError::kNone;
  const std::uint8_t* const fastEnd = end - (kLongestEntry - 1);
  DecodeState s = state;
  LoadError error = LoadError::kNone;
  // Entries to decode one at a time before the next run: the one the run could
  // not take, or the 64 bytes' worth in which an asked identifier may lie (the
  // next run starts as soon as it has been passed).
  std::size_t singles = 0;
  std::uint64_t runsBelow = 0;
  while (s.p < fastEnd && s.done < count) {
    if constexpr (Sink::kTakesRuns) {
      if (runs && singles == 0) {
        runsBelow = sink.RunsBelow();
        const RunStop stop = DecodeCommonRun(s, RunLimits{end, count, runsBelow, unitShift});
        if (stop == RunStop::kEnd) runs = false;
        singles = stop == RunStop::kOtherEntry ? 1 : stop == RunStop::kLongest ? 0 : 64;
        continue;
      }
      if (singles > 0) --singles;
    }
    const unsigned type = s.p[0];
    const int shift = (type & 0x80) ? unitShift : 0;
    std::uint64_t newId;
    std::uint64_t newOffset;
    if ((type & 0x7F) == 0x21) {
      newId = s.id + 1;
      newOffset = ((s.offset >> shift) + s.p[1]) << shift;
      s.p += 2;
    } else if ((type & 0x7F) == 0x11) {
      newId = s.id + 1;
      newOffset = ((s.offset >> shift) + 1) << shift;
      s.p += 1;
    } else {
      if (type & 0x08) {
        error = LoadError::kBadIdCoding;
        break;
      }
      const Coding& idCoding = kCodings[type & 0x07];
      const Coding& offsetCoding = kCodings[(type >> 4) & 0x07];
      newId = Apply(idCoding, s.id, LoadWord(s.p + 1));
      newOffset = Apply(offsetCoding, s.offset >> shift, LoadWord(s.p + 1 + idCoding.bytes))
                  << shift;
      s.p += 1 + idCoding.bytes + offsetCoding.bytes;
    }
    sink.Take(s.id, newId, newOffset);
    s.id = newId;
    s.offset = newOffset;
    ++s.done;
    if constexpr (Sink::kTakesRuns)
      if (sink.RunsBelow() != runsBelow) singles = 0;
  }
  state = s;
  return error;
}

// Decodes `count` entries into `sink`; returns kNone or the reason to reject.
template <class Sink>
LoadError DecodeEntries(Cursor& cursor, std::int32_t count, std::int32_t pointerSize, Sink& sink,
                        bool runs = false) {
  if (count <= 0) return LoadError::kNone;
  const std::size_t total = static_cast<std::size_t>(count);

  // The unit of scaled offsets, P sign-extended.
  const std::uint64_t unit = static_cast<std::uint64_t>(static_cast<std::int64_t>(pointerSize));
  const bool unitUsable = pointerSize > 0;
  const bool unitIsPowerOfTwo = unitUsable && std::has_single_bit(unit);

  const std::uint8_t* const end = cursor.End();
  DecodeState s{cursor.Position()};
  if (unitIsPowerOfTwo) {
    const LoadError error = DecodeEntriesFast(s, end, total, std::countr_zero(unit), sink, runs);
    if (error != LoadError::kNone) return error;
  }

  // The last bytes, and units that are not a power of two: every read checked.
  for (; s.done < total; ++s.done) {
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
    std::uint64_t newOffset;
    if (type & 0x80) {
      if (!unitUsable) return LoadError::kBadPointerSize;
      newOffset = Apply(offsetCoding, s.offset / unit, field) * unit;
    } else {
      newOffset = Apply(offsetCoding, s.offset, field);
    }
    sink.Take(s.id, newId, newOffset);
    s.id = newId;
    s.offset = newOffset;
  }
  return LoadError::kNone;
}

// The fields before the entries.
struct Header : DatabaseVerdict {
  std::int32_t pointerSize = 0;
  std::int32_t count = 0;
};

bool FormatAccepted(std::int32_t format, AcceptedFormat accepted) {
  switch (accepted) {
    case AcceptedFormat::kOnly1:
      return format == 1;
    case AcceptedFormat::kOnly2:
      return format == 2;
    case AcceptedFormat::kEither:
      return format == 1 || format == 2;
  }
  return false;
}

Header ReadHeader(Cursor& cursor, AcceptedFormat accepted) {
  Header h;
  auto fail = [&h](LoadError error) {
    h.error = error;
    return h;
  };
  if (!cursor.ReadInt32(&h.format)) return fail(LoadError::kShortRead);
  if (!FormatAccepted(h.format, accepted)) return fail(LoadError::kBadFormat);

  GameVersion& v = h.version;
  if (!cursor.ReadInt32(&v.major) || !cursor.ReadInt32(&v.minor) || !cursor.ReadInt32(&v.build) ||
      !cursor.ReadInt32(&v.sub)) {
    h.version = {};
    return fail(LoadError::kShortRead);
  }
  h.versionRead = true;

  std::int32_t nameLength = 0;
  if (!cursor.ReadInt32(&nameLength)) return fail(LoadError::kShortRead);
  if (static_cast<std::uint32_t>(nameLength) > kMaxNameLength)
    return fail(LoadError::kBadNameLength);
  if (!cursor.Skip(static_cast<std::uint32_t>(nameLength))) return fail(LoadError::kShortRead);

  if (!cursor.ReadInt32(&h.pointerSize) || !cursor.ReadInt32(&h.count))
    return fail(LoadError::kShortRead);
  return h;
}

Cursor CursorOver(const std::uint8_t* data, std::size_t size) {
  static const std::uint8_t kNothing = 0;
  return data ? Cursor(data, size) : Cursor(&kNothing, 0);
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
      return "format is not the one expected";
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
    case LoadError::kSkyrimVR:
      return "Skyrim VR is not supported";
  }
  return "unknown error";
}

DecodedDatabase DecodeDatabase(const std::uint8_t* data, std::size_t size,
                               AcceptedFormat accepted) {
  DecodedDatabase result;
  Cursor cursor = CursorOver(data, size);
  const Header header = ReadHeader(cursor, accepted);
  static_cast<DatabaseVerdict&>(result) = header;
  if (result.error != LoadError::kNone) return result;
  try {
    // Every entry takes at least its type byte, so the bytes left bound the count.
    const std::size_t room =
        header.count <= 0 ? 0
                          : std::min(static_cast<std::size_t>(header.count), cursor.Remaining());
    result.entries.resize(room);
    TableSink sink(result.entries.data());
    result.error = DecodeEntries(cursor, header.count, header.pointerSize, sink);
    result.entries.resize(sink.Count());
    if (result.error == LoadError::kNone && !sink.Ascending()) SortKeepingLast(result.entries);
  } catch (const std::bad_alloc&) {
    result.error = LoadError::kOutOfMemory;
  }
  if (result.error != LoadError::kNone) result.entries = {};
  return result;
}

ResolvedIdentifiers ResolveIdentifiers(const std::uint8_t* data, std::size_t size,
                                       AcceptedFormat accepted, std::span<const std::uint64_t> ids,
                                       EntryDecoder decoder) {
  ResolvedIdentifiers result;
  result.offsets.assign(ids.size(), std::nullopt);
  Cursor cursor = CursorOver(data, size);
  const Header header = ReadHeader(cursor, accepted);
  static_cast<DatabaseVerdict&>(result) = header;
  if (result.error != LoadError::kNone) return result;

  std::vector<ResolveSink::Wanted> wanted(ids.size());
  for (std::size_t i = 0; i < ids.size(); ++i) wanted[i] = {ids[i], i};
  std::sort(wanted.begin(), wanted.end(), [](const auto& a, const auto& b) { return a.id < b.id; });
  ResolveSink sink(wanted, result.offsets.data());
  result.error = DecodeEntries(cursor, header.count, header.pointerSize, sink,
                               decoder == EntryDecoder::kFastest);
  if (result.error != LoadError::kNone) {
    result.offsets.assign(ids.size(), std::nullopt);
    return result;
  }
  result.entryCount = header.count > 0 ? static_cast<std::size_t>(header.count) : 0;
  return result;
}

}  // namespace cw::address
