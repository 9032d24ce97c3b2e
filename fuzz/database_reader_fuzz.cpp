// The version database decoder against a slow reference decoder that reads the
// file field by field into a std::map: both must accept and reject the same
// files for the same reason, and give the same header and the same table. The
// start-up resolution of a few identifiers must give what the table holds,
// with vector runs and one entry at a time, also on a file of mostly common
// entries built from the input.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "address/database_reader.h"
#include "fuzz/fuzz_check.h"

namespace cw::fuzz {
namespace {

using address::GameVersion;
using address::LoadError;

struct ReferenceResult {
  LoadError error = LoadError::kNone;
  bool versionRead = false;
  GameVersion version;
  std::map<std::uint64_t, std::uint64_t> table;
};

// Reads the bytes of a file in sequence, one field at a time.
class FieldReader {
 public:
  FieldReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  // An unsigned little-endian field of `width` bytes.
  bool Unsigned(int width, std::uint64_t* out) {
    if (size_ - pos_ < static_cast<std::size_t>(width)) return false;
    std::uint64_t value = 0;
    for (int i = width - 1; i >= 0; --i) value = value * 256 + data_[pos_ + i];
    pos_ += width;
    *out = value;
    return true;
  }
  bool Int32(std::int32_t* out) {
    std::uint64_t value = 0;
    if (!Unsigned(4, &value)) return false;
    *out = static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    return true;
  }
  bool Skip(std::uint32_t count) {
    if (size_ - pos_ < count) return false;
    pos_ += count;
    return true;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

// Bytes that follow the type byte for each coding 0 to 7.
int FieldWidth(unsigned coding) {
  switch (coding) {
    case 0:
      return 8;
    case 1:
      return 0;
    case 2:
    case 3:
      return 1;
    case 4:
    case 5:
    case 6:
      return 2;
    default:
      return 4;
  }
}

std::uint64_t NewValue(unsigned coding, std::uint64_t previous, std::uint64_t field) {
  switch (coding) {
    case 1:
      return previous + 1;
    case 2:
    case 4:
      return previous + field;
    case 3:
    case 5:
      return previous - field;
    default:  // 0, 6, 7: the value read
      return field;
  }
}

ReferenceResult Fail(ReferenceResult result, LoadError error) {
  result.error = error;
  result.table.clear();
  return result;
}

ReferenceResult ReferenceDecode(const std::uint8_t* data, std::size_t size) {
  ReferenceResult result;
  FieldReader in(data, size);
  std::int32_t format = 0;
  if (!in.Int32(&format)) return Fail(result, LoadError::kShortRead);
  if (format != 1 && format != 2) return Fail(result, LoadError::kBadFormat);
  GameVersion version;
  if (!in.Int32(&version.major) || !in.Int32(&version.minor) || !in.Int32(&version.build) ||
      !in.Int32(&version.sub))
    return Fail(result, LoadError::kShortRead);
  result.version = version;
  result.versionRead = true;

  std::int32_t nameLength = 0;
  if (!in.Int32(&nameLength)) return Fail(result, LoadError::kShortRead);
  if (nameLength < 0 || nameLength > 65535) return Fail(result, LoadError::kBadNameLength);
  if (!in.Skip(static_cast<std::uint32_t>(nameLength))) return Fail(result, LoadError::kShortRead);
  std::int32_t pointerSize = 0;
  std::int32_t count = 0;
  if (!in.Int32(&pointerSize)) return Fail(result, LoadError::kShortRead);
  if (!in.Int32(&count)) return Fail(result, LoadError::kShortRead);

  std::uint64_t id = 0;
  std::uint64_t offset = 0;
  for (std::int32_t i = 0; i < count; ++i) {
    std::uint64_t type = 0;
    if (!in.Unsigned(1, &type)) return Fail(result, LoadError::kShortRead);
    const unsigned idCoding = static_cast<unsigned>(type & 15);
    if (idCoding >= 8) return Fail(result, LoadError::kBadIdCoding);
    const unsigned offsetCoding = static_cast<unsigned>((type >> 4) & 7);
    const bool scaled = (type & 0x80) != 0;
    std::uint64_t idField = 0;
    if (!in.Unsigned(FieldWidth(idCoding), &idField)) return Fail(result, LoadError::kShortRead);
    std::uint64_t offsetField = 0;
    if (!in.Unsigned(FieldWidth(offsetCoding), &offsetField))
      return Fail(result, LoadError::kShortRead);
    id = NewValue(idCoding, id, idField);
    if (scaled) {
      if (pointerSize <= 0) return Fail(result, LoadError::kBadPointerSize);
      const std::uint64_t unit = static_cast<std::uint64_t>(pointerSize);
      offset = NewValue(offsetCoding, offset / unit, offsetField) * unit;
    } else {
      offset = NewValue(offsetCoding, offset, offsetField);
    }
    result.table[id] = offset;
  }
  return result;
}

// A database whose entries mostly take the codings real files use, built from
// the input, so that long runs of them reach the vector decoder. The first byte
// picks the pointer size and whether the count is the number of entries, one
// less or one more; each further byte picks an entry, whose fields are the
// bytes after it.
std::vector<std::uint8_t> CommonEntriesFile(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> entries;
  int count = 0;
  for (std::size_t i = 1; i < size; ++count) {
    const std::uint8_t pick = data[i++];
    auto field = [&] { return i < size ? data[i++] : std::uint8_t{0}; };
    if (pick < 216) {
      static constexpr std::uint8_t kCommon[6] = {0x11, 0x91, 0x21, 0xA1, 0x31, 0xB1};
      const std::uint8_t type = kCommon[pick % 6];
      entries.push_back(type);
      if (type & 0x20) entries.push_back(field());
    } else if (pick < 240) {
      static constexpr std::uint8_t kWords[4] = {0x41, 0xC1, 0x51, 0xD1};
      entries.push_back(kWords[pick % 4]);
      entries.push_back(field());
      entries.push_back(field());
    } else {
      entries.push_back(field());  // any type, its fields taken from what follows
    }
  }
  const std::uint8_t setup = size > 0 ? data[0] : 0;
  static constexpr std::int32_t kPointerSizes[8] = {8, 8, 8, 8, 4, 1, 6, 16};
  const std::int32_t counts[4] = {count, count, count - 1, count + 1};
  std::vector<std::uint8_t> file;
  auto put = [&file](std::int32_t v) {
    for (int k = 0; k < 4; ++k) file.push_back(static_cast<std::uint8_t>(v >> (8 * k)));
  };
  for (std::int32_t v : {1, 1, 5, 97, 0, 0}) put(v);  // format, version, no name
  put(kPointerSizes[setup & 7]);
  put(counts[(setup >> 3) & 3]);
  file.insert(file.end(), entries.begin(), entries.end());
  return file;
}

}  // namespace
}  // namespace cw::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace cw;
  const address::DecodedDatabase decoded =
      address::DecodeDatabase(data, size, address::AcceptedFormat::kEither);
  const fuzz::ReferenceResult expected = fuzz::ReferenceDecode(data, size);

  CW_FUZZ_CHECK(decoded.error == expected.error);
  CW_FUZZ_CHECK(decoded.versionRead == expected.versionRead);
  if (expected.versionRead) CW_FUZZ_CHECK(decoded.version == expected.version);
  CW_FUZZ_CHECK(decoded.entries.size() == expected.table.size());
  auto entry = decoded.entries.begin();
  for (const auto& [id, offset] : expected.table) {
    CW_FUZZ_CHECK(entry->id == id);
    CW_FUZZ_CHECK(entry->offset == offset);
    ++entry;
  }

  // Identifiers of the table (the first, the last, every seventh) and their
  // neighbours, which may be absent.
  std::vector<std::uint64_t> ids;
  for (std::size_t i = 0; i < decoded.entries.size(); i += 7) ids.push_back(decoded.entries[i].id);
  if (!decoded.entries.empty()) ids.push_back(decoded.entries.back().id);
  const std::size_t present = ids.size();
  for (std::size_t i = 0; i < present; ++i) {
    ids.push_back(ids[i] + 1);
    ids.push_back(ids[i] - 1);
  }
  ids.push_back(0);
  const address::ResolvedIdentifiers resolved =
      address::ResolveIdentifiers(data, size, address::AcceptedFormat::kEither, ids);
  CW_FUZZ_CHECK(resolved.error == expected.error);
  CW_FUZZ_CHECK(resolved.format == decoded.format);
  CW_FUZZ_CHECK(resolved.offsets.size() == ids.size());
  for (std::size_t i = 0; i < ids.size(); ++i) {
    const auto it = expected.table.find(ids[i]);
    if (it == expected.table.end())
      CW_FUZZ_CHECK(!resolved.offsets[i].has_value());
    else
      CW_FUZZ_CHECK(resolved.offsets[i] == it->second);
  }
  // Every entry decoded one by one gives the same answer.
  const address::ResolvedIdentifiers single = address::ResolveIdentifiers(
      data, size, address::AcceptedFormat::kEither, ids, address::EntryDecoder::kOneByOne);
  CW_FUZZ_CHECK(single.error == resolved.error);
  CW_FUZZ_CHECK(single.offsets == resolved.offsets);

  // A file of mostly common entries: both decoders give the table's offsets for
  // a few identifiers far apart, and their neighbours.
  const std::vector<std::uint8_t> made = fuzz::CommonEntriesFile(data, size);
  const address::DecodedDatabase table =
      address::DecodeDatabase(made.data(), made.size(), address::AcceptedFormat::kOnly1);
  std::vector<std::uint64_t> few = {0};
  for (std::size_t i = 0; i < table.entries.size(); i += 1 + table.entries.size() / 3) {
    const std::uint64_t id = table.entries[i].id;
    few.insert(few.end(), {id - 1, id, id + 1});
  }
  for (const address::EntryDecoder decoder :
       {address::EntryDecoder::kFastest, address::EntryDecoder::kOneByOne}) {
    const address::ResolvedIdentifiers r = address::ResolveIdentifiers(
        made.data(), made.size(), address::AcceptedFormat::kOnly1, few, decoder);
    CW_FUZZ_CHECK(r.error == table.error);
    for (std::size_t i = 0; i < few.size(); ++i) {
      const auto it = std::lower_bound(
          table.entries.begin(), table.entries.end(), few[i],
          [](const address::DatabaseEntry& e, std::uint64_t id) { return e.id < id; });
      const bool found = it != table.entries.end() && it->id == few[i];
      CW_FUZZ_CHECK(r.offsets[i] ==
                    (found ? std::optional<std::uint64_t>(it->offset) : std::nullopt));
    }
  }
  return 0;
}
