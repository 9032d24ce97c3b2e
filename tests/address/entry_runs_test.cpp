#include "address/entry_runs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "address/database_reader.h"
#include "tests/address/database_bytes.h"

namespace cw::address {
namespace {

using test::DatabaseBytes;

// ---------------------------------------------------------------------------
// Files made of the entries real files hold, in proportions a test chooses.

struct Mix {
  const char* name;
  int common;    // identifier + 1, offset + 1, + byte or - byte (scaled or not)
  int words;     // identifier + 1, offset + or - a word
  int idBytes;   // identifier + byte, offset + byte
  int absolute;  // offset set to a double word
  int idDown;    // identifier - byte
  int dropping;  // an unscaled step of 1 to 7 (a later scaled step drops it)
  std::int32_t pointerSize;
};

// Entries only; the offset stays a multiple of 8 unless `dropping` says otherwise.
std::vector<std::uint8_t> MakeEntries(const Mix& mix, int count, std::mt19937& random) {
  std::vector<std::uint8_t> out;
  const int total = mix.common + mix.words + mix.idBytes + mix.absolute + mix.idDown + mix.dropping;
  auto byte = [&](unsigned low, unsigned high) {
    return static_cast<std::uint8_t>(low + random() % (high - low + 1));
  };
  for (int n = 0; n < count; ++n) {
    int pick = static_cast<int>(random() % total);
    const std::uint8_t scaled = random() % 2 ? 0x80 : 0x00;
    if ((pick -= mix.common) < 0) {
      switch (random() % 4) {
        case 0:
          out.push_back(0x11 | 0x80);  // + 1 unit
          break;
        case 1:
          out.push_back(0x21 | scaled);
          out.push_back(scaled ? byte(0, 255) : static_cast<std::uint8_t>(8 * byte(0, 31)));
          break;
        case 2:
          out.push_back(0x31 | scaled);
          out.push_back(scaled ? byte(0, 3) : static_cast<std::uint8_t>(8 * byte(0, 1)));
          break;
        default:  // two unscaled steps of 4, so the offset comes back to a multiple of 8
          out.insert(out.end(), {0x21, 4, 0x21, 12});
          break;
      }
    } else if ((pick -= mix.words) < 0) {
      out.push_back((random() % 3 ? 0x41 : 0x51) | scaled);
      // Steps of a multiple of 8, unless bits are to be dropped.
      const unsigned step = (random() % 65536) & (mix.dropping ? ~0u : ~7u);
      out.push_back(static_cast<std::uint8_t>(step));
      out.push_back(static_cast<std::uint8_t>(step >> 8));
    } else if ((pick -= mix.idBytes) < 0) {
      out.push_back(0x22 | scaled);
      out.push_back(byte(0, 40));  // 0: the same identifier again
      out.push_back(scaled ? byte(0, 255) : static_cast<std::uint8_t>(8 * byte(0, 31)));
    } else if ((pick -= mix.absolute) < 0) {
      out.push_back(0x71 | scaled);
      for (int k = 0; k < 4; ++k) out.push_back(static_cast<std::uint8_t>(8 * byte(0, 31)));
    } else if ((pick -= mix.idDown) < 0) {
      out.push_back(0x23);
      out.push_back(byte(0, 200));
      out.push_back(static_cast<std::uint8_t>(8 * byte(0, 31)));
    } else {
      out.push_back(0x21);
      out.push_back(byte(1, 7));
    }
  }
  return out;
}

int CountEntries(const std::vector<std::uint8_t>& entries) {
  constexpr int kWidth[8] = {8, 0, 1, 1, 2, 2, 2, 4};
  int count = 0;
  for (std::size_t i = 0; i < entries.size(); ++count)
    i += 1 + kWidth[entries[i] & 7] + kWidth[(entries[i] >> 4) & 7];
  return count;
}

// The decoders agree with each other and with the table for identifiers of
// the file, their neighbours and a few far apart (so that long runs are
// decoded between them).
void ExpectSameResolution(const DatabaseBytes& file, std::mt19937& random,
                          const std::string& what) {
  const DecodedDatabase table = DecodeDatabase(file.data(), file.size(), AcceptedFormat::kOnly1);
  std::vector<std::uint64_t> ids = {0, ~std::uint64_t{0}};
  if (!table.entries.empty()) {
    for (int k = 0; k < 4; ++k) {
      const std::uint64_t id = table.entries[random() % table.entries.size()].id;
      ids.insert(ids.end(), {id, id + 1, id - 1});
    }
    ids.push_back(table.entries.back().id);
  }
  const ResolvedIdentifiers fast = ResolveIdentifiers(
      file.data(), file.size(), AcceptedFormat::kOnly1, ids, EntryDecoder::kFastest);
  const ResolvedIdentifiers single = ResolveIdentifiers(
      file.data(), file.size(), AcceptedFormat::kOnly1, ids, EntryDecoder::kOneByOne);
  ASSERT_EQ(fast.error, table.error) << what;
  ASSERT_EQ(single.error, table.error) << what;
  EXPECT_EQ(fast.entryCount, single.entryCount) << what;
  for (std::size_t k = 0; k < ids.size(); ++k) {
    std::optional<std::uint64_t> expected;
    for (const DatabaseEntry& e : table.entries)
      if (e.id == ids[k]) expected = e.offset;
    EXPECT_EQ(fast.offsets[k], expected) << what << " id " << ids[k];
    EXPECT_EQ(single.offsets[k], expected) << what << " id " << ids[k];
  }
}

class Mixes : public ::testing::TestWithParam<Mix> {};

TEST_P(Mixes, EveryDecoderGivesTheTablesOffsets) {
  const Mix& mix = GetParam();
  std::mt19937 random(1234);
  for (int round = 0; round < 12; ++round) {
    const std::vector<std::uint8_t> entries = MakeEntries(mix, 300 + round * 400, random);
    const int count = CountEntries(entries);
    const std::string what = std::string(mix.name) + " round " + std::to_string(round);

    DatabaseBytes whole = DatabaseBytes::Header(count, mix.pointerSize);
    for (std::uint8_t b : entries) whole.Byte(b);
    ExpectSameResolution(whole, random, what);

    // Fewer entries than the bytes hold, and a file that ends early.
    DatabaseBytes fewer = DatabaseBytes::Header(count / 2, mix.pointerSize);
    for (std::uint8_t b : entries) fewer.Byte(b);
    ExpectSameResolution(fewer, random, what + " (half the count)");
    DatabaseBytes cut = DatabaseBytes::Header(count, mix.pointerSize);
    for (std::size_t i = 0; i + 1 < entries.size(); ++i) cut.Byte(entries[i]);
    ExpectSameResolution(cut, random, what + " (last byte missing)");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, Mixes,
    ::testing::Values(Mix{"CommonOnly", 1, 0, 0, 0, 0, 0, 8},
                      Mix{"LikeARealFile", 200, 2, 1, 0, 0, 0, 8},
                      Mix{"WordsEverywhere", 3, 2, 0, 0, 0, 0, 8},
                      Mix{"AbsoluteOffsetsAndIdentifiersGoingDown", 60, 2, 2, 1, 1, 0, 8},
                      Mix{"DroppedBits", 40, 1, 0, 0, 0, 1, 8},
                      Mix{"UnitOf4", 50, 1, 1, 0, 0, 1, 4}, Mix{"UnitOf1", 50, 1, 1, 0, 0, 1, 1},
                      Mix{"UnitOf16", 50, 1, 0, 0, 0, 1, 16}, Mix{"UnitOf6", 50, 1, 0, 0, 0, 1, 6}),
    [](const ::testing::TestParamInfo<Mix>& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// A run by itself: where it stops and what it has added up.

// The running values after each entry of common and word codings among the
// first `size` bytes.
std::vector<EntryCursor> WalkEntries(const std::vector<std::uint8_t>& bytes, int unitShift,
                                     std::size_t size = ~std::size_t{0}) {
  std::vector<EntryCursor> after;
  EntryCursor c{bytes.data()};
  while (c.p < bytes.data() + std::min(size, bytes.size())) {
    const unsigned type = *c.p;
    const unsigned coding = (type >> 4) & 7;
    const int width = coding == 1 ? 0 : coding <= 3 ? 1 : 2;
    std::uint64_t field = coding == 1 ? 1 : c.p[1];
    if (width == 2) field |= static_cast<std::uint64_t>(c.p[2]) << 8;
    const int shift = type & 0x80 ? unitShift : 0;
    std::uint64_t units = c.offset >> shift;
    units = coding == 3 || coding == 5 ? units - field : units + field;
    c.offset = units << shift;
    c.p += 1 + width;
    ++c.id;
    ++c.done;
    after.push_back(c);
  }
  return after;
}

// `got` (over bytes at `gotBase`) is where the walk `after` (over the same bytes
// at `wantBase`) is after the same number of entries.
void ExpectAtEntry(const EntryCursor& got, const std::uint8_t* gotBase,
                   const std::vector<EntryCursor>& after, const std::uint8_t* wantBase) {
  ASSERT_GT(got.done, 0u);
  ASSERT_LE(got.done, after.size());
  const EntryCursor& want = after[got.done - 1];
  EXPECT_EQ(got.p - gotBase, want.p - wantBase);
  EXPECT_EQ(got.id, want.id);
  EXPECT_EQ(got.offset, want.offset);
}

TEST(DecodeCommonRun, RunsToTheEndOfAFileOfCommonEntries) {
  if (!VectorRunsAvailable()) GTEST_SKIP() << "this processor has no vector runs";
  std::mt19937 random(7);
  const Mix mix{"", 1, 0, 0, 0, 0, 0, 8};
  const std::vector<std::uint8_t> bytes = MakeEntries(mix, 3000, random);
  const std::vector<EntryCursor> after = WalkEntries(bytes, 3);
  // A run goes no further than a 64th of the entries still to come, then the
  // next one takes over.
  EntryCursor c{bytes.data()};
  RunStop stop = RunStop::kLongest;
  for (std::size_t before = ~std::size_t{0}; stop == RunStop::kLongest && c.done != before;) {
    before = c.done;
    stop = DecodeCommonRun(
        c, RunLimits{bytes.data() + bytes.size(), after.size(), ~std::uint64_t{0}, 3});
  }
  EXPECT_EQ(stop, RunStop::kEnd);
  EXPECT_LT(bytes.data() + bytes.size() - c.p, 128 + 64);
  ExpectAtEntry(c, bytes.data(), after, bytes.data());
}

TEST(DecodeCommonRun, TakesWordsAndStopsAtAnEntryItCannotAdd) {
  if (!VectorRunsAvailable()) GTEST_SKIP() << "this processor has no vector runs";
  // 200 common entries, then at each place in a block a word entry followed by
  // an absolute one, which ends the run exactly there.
  std::mt19937 random(8);
  for (int place = 0; place < 64; ++place) {
    std::vector<std::uint8_t> bytes = MakeEntries(Mix{"", 1, 0, 0, 0, 0, 0, 8}, 200, random);
    while ((bytes.size() + 3) % 64 != static_cast<std::size_t>(place)) bytes.push_back(0x91);
    bytes.insert(bytes.end(), {0xC1, 0x10, 0x02});  // a word at the place
    const std::size_t absolute = bytes.size();
    bytes.insert(bytes.end(), {0x71, 0, 0, 0, 0});
    bytes.resize(bytes.size() + 200, 0x91);
    const std::vector<EntryCursor> after = WalkEntries(bytes, 3, absolute);
    EntryCursor c{bytes.data()};
    const RunStop stop =
        DecodeCommonRun(c, RunLimits{bytes.data() + bytes.size(), 100000, ~std::uint64_t{0}, 3});
    EXPECT_EQ(stop, RunStop::kOtherEntry) << "place " << place;
    EXPECT_EQ(c.done, after.size()) << "place " << place;
    ExpectAtEntry(c, bytes.data(), after, bytes.data());
  }
}

TEST(DecodeCommonRun, StaysBelowTheIdentifierAndTheCount) {
  if (!VectorRunsAvailable()) GTEST_SKIP() << "this processor has no vector runs";
  std::mt19937 random(9);
  const std::vector<std::uint8_t> bytes = MakeEntries(Mix{"", 1, 0, 0, 0, 0, 0, 8}, 4000, random);
  const std::vector<EntryCursor> after = WalkEntries(bytes, 3);
  const struct {
    std::size_t count;
    std::uint64_t belowId;
  } limits[] = {{after.size(), 1000}, {1500, ~std::uint64_t{0}}, {after.size(), 65}};
  for (const auto& limit : limits) {
    EntryCursor c{bytes.data()};
    DecodeCommonRun(c, RunLimits{bytes.data() + bytes.size(), limit.count, limit.belowId, 3});
    if (c.done == 0) continue;
    EXPECT_LT(c.id, limit.belowId);
    EXPECT_LE(c.done, limit.count);
    ExpectAtEntry(c, bytes.data(), after, bytes.data());
  }
}

TEST(DecodeCommonRun, StopsBeforeAScaledEntryThatWouldDropBits) {
  if (!VectorRunsAvailable()) GTEST_SKIP() << "this processor has no vector runs";
  // An unscaled step of 3 and, 10 entries later, a scaled one: the run stops at
  // the block holding the scaled entry, so the one-by-one decoder drops the bits.
  std::vector<std::uint8_t> bytes(300, 0x91);
  bytes.insert(bytes.end(), {0x21, 3});
  bytes.resize(bytes.size() + 10, 0x11);
  bytes.resize(bytes.size() + 300, 0x91);
  const std::vector<EntryCursor> after = WalkEntries(bytes, 3);
  EntryCursor c{bytes.data()};
  DecodeCommonRun(c, RunLimits{bytes.data() + bytes.size(), after.size(), ~std::uint64_t{0}, 3});
  ASSERT_GT(c.done, 0u);
  EXPECT_LE(c.done, 300u + 1 + 10);
  ExpectAtEntry(c, bytes.data(), after, bytes.data());
}

}  // namespace
}  // namespace cw::address
