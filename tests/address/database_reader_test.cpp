#include "address/database_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "tests/address/database_bytes.h"
#include "tests/address/printers.h"

namespace cw::address {
namespace {

using test::DatabaseBytes;
using Entries = EntryTable;
constexpr std::uint64_t kMax = ~std::uint64_t{0};

constexpr AcceptedFormat k1 = AcceptedFormat::kOnly1;

DecodedDatabase Decode(const DatabaseBytes& b) {
  return DecodeDatabase(b.data(), b.size(), k1);
}

// Decodes the file as it is and with bytes appended after its entries (which
// are ignored): near the end of the bytes every read is checked one by one,
// further from it fields are read in whole words, and both must agree.
DecodedDatabase DecodeNearAndFarFromEnd(const DatabaseBytes& b) {
  DatabaseBytes padded = b;
  padded.Le(0, 8).Le(0, 8).Le(0, 8).Le(0, 8);
  DecodedDatabase asIs = Decode(b);
  DecodedDatabase longer = Decode(padded);
  EXPECT_EQ(asIs.error, longer.error);
  EXPECT_EQ(asIs.entries, longer.entries);
  return asIs;
}

// ---------------------------------------------------------------------------
// One entry decoded after a previous entry, checked by the pair it gives.

struct CodingCase {
  const char* name;
  std::optional<DatabaseEntry> previous;  // written first as a type 0x00 entry
  std::int32_t pointerSize;
  std::vector<std::uint8_t> entry;
  DatabaseEntry expected;
};

class EntryCoding : public testing::TestWithParam<CodingCase> {};

TEST_P(EntryCoding, GivesTheExpectedPair) {
  const CodingCase& c = GetParam();
  DatabaseBytes b = DatabaseBytes::Header(c.previous ? 2 : 1, c.pointerSize);
  if (c.previous) b.Absolute(c.previous->id, c.previous->offset);
  for (std::uint8_t byte : c.entry) b.Byte(byte);
  DecodedDatabase d = DecodeNearAndFarFromEnd(b);
  ASSERT_EQ(d.error, LoadError::kNone);
  ASSERT_FALSE(d.entries.empty());
  bool found = false;
  for (const DatabaseEntry& e : d.entries) found = found || e == c.expected;
  EXPECT_TRUE(found) << "decoded " << testing::PrintToString(d.entries);
}

const DatabaseEntry k1000{1000, 1000};

INSTANTIATE_TEST_SUITE_P(
    Identifier, EntryCoding,
    testing::Values(
        CodingCase{"Full",
                   k1000,
                   8,
                   {0x10, 0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11},
                   {0x1122334455667788, 1001}},
        CodingCase{"Next", k1000, 8, {0x11}, {1001, 1001}},
        CodingCase{"AddByte", k1000, 8, {0x12, 0xFF}, {1255, 1001}},
        CodingCase{"SubtractByte", k1000, 8, {0x13, 0xFF}, {745, 1001}},
        CodingCase{"AddWord", k1000, 8, {0x14, 0xCD, 0xAB}, {1000 + 0xABCD, 1001}},
        CodingCase{"SubtractWord", k1000, 8, {0x15, 0x00, 0x01}, {744, 1001}},
        CodingCase{"Word", k1000, 8, {0x16, 0xCD, 0xAB}, {0xABCD, 1001}},
        CodingCase{
            "DoubleWordUnsigned", k1000, 8, {0x17, 0xEF, 0xCD, 0xAB, 0x89}, {0x89ABCDEF, 1001}}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Offset, EntryCoding,
    testing::Values(
        CodingCase{"Full",
                   k1000,
                   8,
                   {0x01, 0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11},
                   {1001, 0x1122334455667788}},
        CodingCase{"Next", k1000, 8, {0x11}, {1001, 1001}},
        CodingCase{"AddByte", k1000, 8, {0x21, 0xFF}, {1001, 1255}},
        CodingCase{"SubtractByte", k1000, 8, {0x31, 0xFF}, {1001, 745}},
        CodingCase{"AddWord", k1000, 8, {0x41, 0xCD, 0xAB}, {1001, 1000 + 0xABCD}},
        CodingCase{"SubtractWord", k1000, 8, {0x51, 0x00, 0x01}, {1001, 744}},
        CodingCase{"Word", k1000, 8, {0x61, 0xCD, 0xAB}, {1001, 0xABCD}},
        CodingCase{
            "DoubleWordUnsigned", k1000, 8, {0x71, 0xEF, 0xCD, 0xAB, 0x89}, {1001, 0x89ABCDEF}}),
    [](const auto& info) { return std::string(info.param.name); });

// Scaled: the previous offset in units of P (rounded down), then times P.
INSTANTIATE_TEST_SUITE_P(
    Scaled, EntryCoding,
    testing::Values(CodingCase{"Full", k1000, 8, {0x81, 3, 0, 0, 0, 0, 0, 0, 0}, {1001, 24}},
                    CodingCase{"Next", k1000, 8, {0x91}, {1001, 1008}},
                    CodingCase{"AddByte", k1000, 8, {0xA1, 2}, {1001, 1016}},
                    CodingCase{"SubtractByte", k1000, 8, {0xB1, 2}, {1001, 984}},
                    CodingCase{"AddWord", k1000, 8, {0xC1, 0x00, 0x01}, {1001, (125 + 256) * 8}},
                    CodingCase{"SubtractWord", k1000, 8, {0xD1, 100, 0}, {1001, 200}},
                    CodingCase{"Word", k1000, 8, {0xE1, 5, 0}, {1001, 40}},
                    CodingCase{"DoubleWord", k1000, 8, {0xF1, 0, 0, 0, 0x10}, {1001, 0x80000000}},
                    CodingCase{"RoundsDownFirst", DatabaseEntry{1, 13}, 8, {0x91}, {2, 16}},
                    CodingCase{"UnitNotAPowerOfTwo", DatabaseEntry{1, 13}, 3, {0x91}, {2, 15}},
                    CodingCase{"UnitTwelve", k1000, 12, {0xA1, 1}, {1001, 1008}},
                    CodingCase{"UnitOne", k1000, 1, {0x91}, {1001, 1001}},
                    CodingCase{
                        "UnitLargest", DatabaseEntry{1, 0}, 0x7FFFFFFF, {0x91}, {2, 0x7FFFFFFF}}),
    [](const auto& info) { return std::string(info.param.name); });

// Unsigned 64-bit arithmetic that wraps.
INSTANTIATE_TEST_SUITE_P(
    Wraps, EntryCoding,
    testing::Values(
        CodingCase{"IdBelowZero", std::nullopt, 8, {0x13, 1}, {kMax, 1}},
        CodingCase{"OffsetBelowZero", std::nullopt, 8, {0x31, 1}, {1, kMax}},
        CodingCase{"IdPastTop", DatabaseEntry{kMax, 0}, 8, {0x11}, {0, 1}},
        CodingCase{"OffsetPastTop", DatabaseEntry{1, kMax - 1}, 8, {0x41, 2, 0}, {2, 0}},
        CodingCase{
            "ScaledProduct", DatabaseEntry{1, 0}, 8, {0x81, 1, 0, 0, 0, 0, 0, 0, 0x20}, {2, 8}},
        CodingCase{"ScaledFromTop", DatabaseEntry{1, kMax}, 8, {0x91}, {2, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Whole files.

TEST(DecodeDatabase, WorkedExample) {
  DatabaseBytes b = DatabaseBytes::Header(2, 8, "");
  b.Absolute(100, 4096).Byte(0x91);
  DecodedDatabase d = DecodeNearAndFarFromEnd(b);
  EXPECT_EQ(d.error, LoadError::kNone);
  EXPECT_TRUE(d.versionRead);
  EXPECT_EQ(d.version, (GameVersion{1, 5, 97, 0}));
  EXPECT_EQ(d.entries, (Entries{{100, 4096}, {101, 4104}}));
}

TEST(DecodeDatabase, NameIsSkippedUpTo65535Bytes) {
  for (std::size_t length : {std::size_t{0}, std::size_t{1}, std::size_t{65535}}) {
    SCOPED_TRACE(length);
    DatabaseBytes b = DatabaseBytes::Header(1, 8, std::string(length, '\x11'));
    b.Absolute(7, 9);
    DecodedDatabase d = Decode(b);
    EXPECT_EQ(d.error, LoadError::kNone);
    EXPECT_EQ(d.entries, (Entries{{7, 9}}));
  }
}

TEST(DecodeDatabase, EntryCountZeroOrBelowGivesAnEmptyTable) {
  for (std::int32_t count : {0, -1, INT32_MIN}) {
    SCOPED_TRACE(count);
    DatabaseBytes b = DatabaseBytes::Header(count);
    b.Absolute(7, 9);  // not read
    DecodedDatabase d = Decode(b);
    EXPECT_EQ(d.error, LoadError::kNone);
    EXPECT_TRUE(d.entries.empty());
  }
}

TEST(DecodeDatabase, BytesAfterTheLastEntryAreIgnored) {
  DatabaseBytes b = DatabaseBytes::Header(1);
  b.Absolute(7, 9).Bytes({0x08, 0xFF, 0xFF});
  EXPECT_EQ(Decode(b).entries, (Entries{{7, 9}}));
}

TEST(DecodeDatabase, PointerSizeMattersOnlyToScaledEntries) {
  for (std::int32_t pointerSize : {0, -8}) {
    SCOPED_TRACE(pointerSize);
    DatabaseBytes plain = DatabaseBytes::Header(2, pointerSize);
    plain.Absolute(1, 13).Byte(0x11);
    EXPECT_EQ(Decode(plain).entries, (Entries{{1, 13}, {2, 14}}));

    DatabaseBytes scaled = DatabaseBytes::Header(2, pointerSize);
    scaled.Absolute(1, 13).Byte(0x91);
    DecodedDatabase d = DecodeNearAndFarFromEnd(scaled);
    EXPECT_EQ(d.error, LoadError::kBadPointerSize);
    EXPECT_TRUE(d.entries.empty());
  }
}

TEST(DecodeDatabase, LaterDuplicateReplacesEarlierOffset) {
  struct Case {
    const char* name;
    std::vector<DatabaseEntry> file;
    Entries table;
  };
  const Case cases[] = {
      {"adjacent", {{5, 100}, {5, 200}}, {{5, 200}}},
      {"apart", {{5, 100}, {6, 200}, {5, 300}}, {{5, 300}, {6, 200}}},
      {"unsorted",
       {{9, 1}, {3, 2}, {7, 3}, {3, 4}, {9, 5}, {1, 6}},
       {{1, 6}, {3, 4}, {7, 3}, {9, 5}}},
      {"top and zero", {{kMax, 1}, {0, 2}, {kMax, 3}}, {{0, 2}, {kMax, 3}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DatabaseBytes b = DatabaseBytes::Header(static_cast<std::int32_t>(c.file.size()));
    for (const DatabaseEntry& e : c.file) b.Absolute(e.id, e.offset);
    DecodedDatabase d = DecodeNearAndFarFromEnd(b);
    EXPECT_EQ(d.error, LoadError::kNone);
    EXPECT_EQ(d.entries, c.table);
  }
}

struct RejectCase {
  const char* name;
  DatabaseBytes bytes;
  LoadError error;
  bool versionRead;
  bool atEnd = false;  // the reason lies in the last bytes of the file
};

class Rejected : public testing::TestWithParam<RejectCase> {};

TEST_P(Rejected, GivesTheReasonAndNoTable) {
  const RejectCase& c = GetParam();
  DecodedDatabase d = c.atEnd ? Decode(c.bytes) : DecodeNearAndFarFromEnd(c.bytes);
  EXPECT_EQ(d.error, c.error);
  EXPECT_TRUE(d.entries.empty());
  EXPECT_EQ(d.versionRead, c.versionRead);

  // Start-up resolution rejects the same files for the same reason.
  const std::uint64_t ids[] = {1, 2};
  const ResolvedIdentifiers r = ResolveIdentifiers(c.bytes.data(), c.bytes.size(), k1, ids);
  EXPECT_EQ(r.error, c.error);
  EXPECT_EQ(r.offsets, (std::vector<std::optional<std::uint64_t>>{std::nullopt, std::nullopt}));
  EXPECT_EQ(r.entryCount, 0u);
}

DatabaseBytes WithNameLength(std::int32_t length) {
  DatabaseBytes b;
  b.Int32(1).Int32(1).Int32(5).Int32(97).Int32(0).Int32(length);
  b.Int32(8).Int32(1).Absolute(1, 1);
  return b;
}

DatabaseBytes ValidEntriesThen(std::uint8_t type) {
  DatabaseBytes b = DatabaseBytes::Header(4);
  b.Absolute(1, 8).Byte(0x11).Byte(0x91).Byte(type).Le(0, 8).Le(0, 8);
  return b;
}

INSTANTIATE_TEST_SUITE_P(
    Files, Rejected,
    testing::Values(
        RejectCase{"Format2", DatabaseBytes::Header(0, 8, "", 2), LoadError::kBadFormat, false},
        RejectCase{"Format0", DatabaseBytes::Header(0, 8, "", 0), LoadError::kBadFormat, false},
        RejectCase{"Empty", DatabaseBytes(), LoadError::kShortRead, false, true},
        RejectCase{"NameLength65536", WithNameLength(65536), LoadError::kBadNameLength, true},
        RejectCase{"NameLengthNegative", WithNameLength(-1), LoadError::kBadNameLength, true},
        RejectCase{"NameLengthLowest", WithNameLength(INT32_MIN), LoadError::kBadNameLength, true},
        RejectCase{"NameBeyondEnd", WithNameLength(100), LoadError::kShortRead, true, true},
        RejectCase{"IdCoding8", ValidEntriesThen(0x08), LoadError::kBadIdCoding, true},
        RejectCase{"IdCoding9", ValidEntriesThen(0x19), LoadError::kBadIdCoding, true},
        RejectCase{"IdCoding10", ValidEntriesThen(0x0A), LoadError::kBadIdCoding, true},
        RejectCase{"IdCoding11", ValidEntriesThen(0x9B), LoadError::kBadIdCoding, true},
        RejectCase{"IdCoding12", ValidEntriesThen(0x0C), LoadError::kBadIdCoding, true},
        RejectCase{"IdCoding13", ValidEntriesThen(0x7D), LoadError::kBadIdCoding, true},
        RejectCase{"IdCoding14", ValidEntriesThen(0x0E), LoadError::kBadIdCoding, true},
        RejectCase{"IdCoding15", ValidEntriesThen(0xFF), LoadError::kBadIdCoding, true},
        RejectCase{"MoreEntriesThanBytes", DatabaseBytes::Header(INT32_MAX), LoadError::kShortRead,
                   true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DecodeDatabase, EveryCutOfAFileIsAShortRead) {
  DatabaseBytes b = DatabaseBytes::Header(9, 8, "ab");
  b.Absolute(100, 4096).Byte(0x11).Bytes({0x22, 3, 4}).Bytes({0x34, 0x10, 0x00, 5});
  b.Bytes({0x46, 0x20, 0x00, 0x30, 0x00}).Bytes({0x57, 1, 2, 3, 4, 9, 0});
  b.Bytes({0x65, 1, 0, 6, 0}).Bytes({0x70, 1, 2, 3, 4, 5, 6, 7, 8, 1, 2, 3, 4}).Bytes({0xA1, 2});
  ASSERT_EQ(Decode(b).error, LoadError::kNone);
  ASSERT_EQ(Decode(b).entries.size(), 9u);
  for (std::size_t size = 0; size < b.size(); ++size) {
    SCOPED_TRACE(size);
    DecodedDatabase d = DecodeDatabase(b.data(), size, k1);
    EXPECT_EQ(d.error, LoadError::kShortRead);
    EXPECT_TRUE(d.entries.empty());
    EXPECT_EQ(d.versionRead, size >= 20);
  }
  EXPECT_EQ(DecodeDatabase(nullptr, 100, k1).error, LoadError::kShortRead);
}

TEST(DecodeDatabase, TakesTheFormatsItIsAskedFor) {
  struct Case {
    AcceptedFormat accepted;
    std::int32_t format;
    bool taken;
  };
  const Case cases[] = {
      {AcceptedFormat::kOnly1, 1, true},   {AcceptedFormat::kOnly1, 2, false},
      {AcceptedFormat::kOnly2, 2, true},   {AcceptedFormat::kOnly2, 1, false},
      {AcceptedFormat::kEither, 1, true},  {AcceptedFormat::kEither, 2, true},
      {AcceptedFormat::kEither, 0, false}, {AcceptedFormat::kEither, 3, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << static_cast<int>(c.accepted) << " " << c.format);
    DatabaseBytes b = DatabaseBytes::Header(1, 8, "", c.format);
    b.Absolute(7, 0x70);
    const DecodedDatabase d = DecodeDatabase(b.data(), b.size(), c.accepted);
    EXPECT_EQ(d.format, c.format);
    EXPECT_EQ(d.error, c.taken ? LoadError::kNone : LoadError::kBadFormat);
    EXPECT_EQ(d.entries.size(), c.taken ? 1u : 0u);
    const std::uint64_t ids[] = {7};
    const ResolvedIdentifiers r = ResolveIdentifiers(b.data(), b.size(), c.accepted, ids);
    EXPECT_EQ(r.error, d.error);
    EXPECT_EQ(r.offsets[0], c.taken ? std::optional<std::uint64_t>(0x70) : std::nullopt);
  }
}

TEST(Describe, EveryReasonHasItsOwnText) {
  EXPECT_STREQ(Describe(LoadError::kBadFormat), "format is not the one expected");
  std::map<std::string, int> seen;
  for (int e = 0; e <= static_cast<int>(LoadError::kSkyrimVR); ++e)
    ++seen[Describe(static_cast<LoadError>(e))];
  for (const auto& [text, count] : seen) EXPECT_EQ(count, 1) << text;
}

// ---------------------------------------------------------------------------
// Random files against a plain map that decodes entry by entry, to check the
// sorting and the choice among duplicates.

std::map<std::uint64_t, std::uint64_t> ReferenceTable(const std::vector<std::uint8_t>& entries,
                                                      std::uint64_t unit) {
  std::map<std::uint64_t, std::uint64_t> table;
  std::uint64_t id = 0, offset = 0;
  std::size_t i = 0;
  auto read = [&](int width) {
    std::uint64_t v = 0;
    for (int k = 0; k < width; ++k) v |= static_cast<std::uint64_t>(entries[i++]) << (8 * k);
    return v;
  };
  auto apply = [&](unsigned coding, std::uint64_t previous) -> std::uint64_t {
    switch (coding) {
      case 0:
        return read(8);
      case 1:
        return previous + 1;
      case 2:
        return previous + read(1);
      case 3:
        return previous - read(1);
      case 4:
        return previous + read(2);
      case 5:
        return previous - read(2);
      case 6:
        return read(2);
      default:
        return read(4);
    }
  };
  while (i < entries.size()) {
    unsigned type = entries[i++];
    id = apply(type & 7, id);
    bool scaled = (type & 0x80) != 0;
    offset = apply((type >> 4) & 7, scaled ? offset / unit : offset);
    if (scaled) offset *= unit;
    table[id] = offset;
  }
  return table;
}

TEST(DecodeDatabase, AgreesWithAPlainMapOnRandomFiles) {
  std::mt19937 random(20240611);
  for (int round = 0; round < 200; ++round) {
    const std::int32_t unit = round % 3 == 0 ? 6 : 8;
    const int count = static_cast<int>(random() % 300);
    std::vector<std::uint8_t> entries;
    for (int n = 0; n < count; ++n) {
      const std::uint8_t type = static_cast<std::uint8_t>(random() & 0xF7);  // valid codings
      entries.push_back(type);
      const int widths[8] = {8, 0, 1, 1, 2, 2, 2, 4};
      for (int k = widths[type & 7] + widths[(type >> 4) & 7]; k > 0; --k)
        entries.push_back(static_cast<std::uint8_t>(random() % 4 == 0 ? 0 : random()));
    }
    DatabaseBytes b = DatabaseBytes::Header(count, unit);
    for (std::uint8_t byte : entries) b.Byte(byte);
    DecodedDatabase d = Decode(b);
    ASSERT_EQ(d.error, LoadError::kNone);
    const auto reference = ReferenceTable(entries, unit);
    Entries expected;
    for (const auto& [id, offset] : reference) expected.push_back({id, offset});
    ASSERT_EQ(d.entries, expected) << "round " << round;

    // Resolving some identifiers of the file, their neighbours and 0 gives what
    // the table holds, the last of duplicates included.
    std::vector<std::uint64_t> ids = {0};
    for (std::size_t k = 0; k < expected.size(); k += 1 + random() % 9) {
      ids.push_back(expected[k].id);
      ids.push_back(expected[k].id + 1);
      ids.push_back(expected[k].id - 1);
    }
    if (!ids.empty()) ids.push_back(ids[random() % ids.size()]);  // asked twice
    const ResolvedIdentifiers r = ResolveIdentifiers(b.data(), b.size(), k1, ids);
    ASSERT_EQ(r.error, LoadError::kNone);
    EXPECT_EQ(r.entryCount, static_cast<std::size_t>(count));
    for (std::size_t k = 0; k < ids.size(); ++k) {
      const auto it = reference.find(ids[k]);
      EXPECT_EQ(r.offsets[k],
                it == reference.end() ? std::nullopt : std::optional<std::uint64_t>(it->second))
          << "round " << round << " id " << ids[k];
    }
  }
}

}  // namespace
}  // namespace cw::address
