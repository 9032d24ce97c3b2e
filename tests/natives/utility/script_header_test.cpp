#include "natives/utility/script_header.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "tests/support/script_writer.h"

namespace cw::script {
namespace {

using Bytes = std::vector<std::uint8_t>;

ScriptImage Image(std::vector<std::string> strings) {
  ScriptImage image;
  image.source = "Source.psc";
  image.user = "user";
  image.machine = "MACHINE";
  image.strings = std::move(strings);
  return image;
}

// Offset of the string table count in a written image.
std::size_t CountOffset(const ScriptImage& image) {
  return 16 + 2 + image.source.size() + 2 + image.user.size() + 2 + image.machine.size();
}

TEST(ScriptHeaderBytes, ReadsTheHeaderFields) {
  ScriptImage image = Image({"a", "bb"});
  const auto header = ReadScriptHeader(WriteScript(image));
  ASSERT_TRUE(header);
  EXPECT_EQ(header->source, "Source.psc");
  EXPECT_EQ(header->user, "user");
  EXPECT_EQ(header->machine, "MACHINE");
  EXPECT_EQ(header->count, 2);
}

TEST(ScriptHeaderBytes, NumbersAreUnsignedBigEndian) {
  ScriptImage image = Image(std::vector<std::string>(200, "x"));
  image.user = std::string(384, 'u');
  const Bytes bytes = WriteScript(image);
  const std::size_t user_at = 16 + 2 + image.source.size();
  ASSERT_EQ(bytes[user_at], 0x01);
  ASSERT_EQ(bytes[user_at + 1], 0x80);
  ASSERT_EQ(bytes[CountOffset(image)], 0x00);
  ASSERT_EQ(bytes[CountOffset(image) + 1], 0xC8);

  const auto header = ReadScriptHeader(bytes);
  ASSERT_TRUE(header);
  EXPECT_EQ(header->count, 200);
  EXPECT_EQ(header->user.size(), 384u);
  EXPECT_EQ(header->machine, "MACHINE");

  // Both bytes with their top bit set.
  image = Image(std::vector<std::string>(0xFFFF, ""));
  EXPECT_EQ(ReadScriptHeader(WriteScript(image))->count, 0xFFFF);
}

TEST(ScriptHeaderBytes, IdentificationAndTimeAreNotExamined) {
  ScriptImage image = Image({"entry"});
  const Bytes reference = WriteScript(image);
  for (std::uint8_t fill : {0x00, 0x5A, 0xFF}) {
    Bytes bytes = reference;
    for (std::size_t i = 0; i < 16; ++i) bytes[i] = fill;
    SCOPED_TRACE(static_cast<int>(fill));
    const auto header = ReadScriptHeader(bytes);
    ASSERT_TRUE(header);
    EXPECT_EQ(header->source, "Source.psc");
    EXPECT_EQ(ReadScriptString(bytes, 0), "entry");
  }
}

TEST(ScriptHeaderBytes, TextsEndAtTheirFirstNul) {
  ScriptImage image = Image({std::string("ab\0cd", 5), std::string("\0x", 2)});
  image.source = std::string("Foo\0Bar.psc", 11);
  image.user = std::string("\0", 1);
  image.machine = std::string("PC\0", 3);
  const Bytes bytes = WriteScript(image);
  const auto header = ReadScriptHeader(bytes);
  ASSERT_TRUE(header);
  EXPECT_EQ(header->source, "Foo");
  EXPECT_EQ(header->user, "");
  EXPECT_EQ(header->machine, "PC");
  EXPECT_EQ(header->count, 2);  // the bytes after a NUL still count for the layout
  EXPECT_EQ(ReadScriptString(bytes, 0), "ab");
  EXPECT_EQ(ReadScriptString(bytes, 1), "");
}

TEST(ScriptStringBytes, PicksTheEntryByIndex) {
  const Bytes abc = WriteScript(Image({"a", "bb", "ccc"}));
  const Bytes empty = WriteScript(Image({}));
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  struct Case {
    const Bytes* bytes;
    std::int32_t index;
    const char* expected;
  };
  const Case cases[] = {
      {&abc, 0, "a"},    {&abc, 1, "bb"}, {&abc, 2, "ccc"},   {&abc, -1, "a"},  {&abc, -5, "a"},
      {&abc, kMin, "a"}, {&abc, 3, ""},   {&abc, 4, ""},      {&abc, kMax, ""}, {&empty, 0, ""},
      {&empty, -5, ""},  {&empty, 1, ""}, {&empty, kMax, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "count " << (c.bytes == &abc ? 3 : 0) << ", index " << c.index);
    EXPECT_EQ(ReadScriptString(*c.bytes, c.index), c.expected);
  }
}

TEST(ScriptHasEntryBytes, MatchesWholeEntriesExactly) {
  const Bytes plain = WriteScript(Image({"foo", "Bar", "baz"}));
  const Bytes with_empty = WriteScript(Image({"foo", ""}));
  const Bytes with_nul_start = WriteScript(Image({"foo", std::string("\0tail", 5)}));
  const Bytes with_nul_inside = WriteScript(Image({std::string("ab\0cd", 5)}));
  const Bytes empty_table = WriteScript(Image({}));
  struct Case {
    const char* what;
    const Bytes* bytes;
    std::string text;
    bool expected;
  };
  const Case cases[] = {
      {"first entry", &plain, "foo", true},
      {"last entry", &plain, "baz", true},
      {"case-sensitive", &plain, "Foo", false},
      {"case-sensitive, other way", &plain, "bar", false},
      {"prefix of an entry", &plain, "fo", false},
      {"entry is a prefix", &plain, "fooo", false},
      {"header source not searched", &plain, "Source.psc", false},
      {"header user not searched", &plain, "user", false},
      {"header machine not searched", &plain, "MACHINE", false},
      {"empty text, no empty entry", &plain, "", false},
      {"empty text, empty entry", &with_empty, "", true},
      {"empty text, entry starting with NUL", &with_nul_start, "", true},
      {"entry compared up to its NUL", &with_nul_inside, "ab", true},
      {"bytes after the NUL are not compared", &with_nul_inside, "abcd", false},
      {"empty table", &empty_table, "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ScriptHasEntry(*c.bytes, c.text), c.expected);
  }
}

TEST(ScriptHeaderBytes, TableCountBoundsTheWalk) {
  // Entries past the count are not part of the table.
  ScriptImage image = Image({"a", "bb"});
  Bytes bytes = WriteScript(image);
  bytes[CountOffset(image) + 1] = 1;
  EXPECT_TRUE(ScriptHasEntry(bytes, "a"));
  EXPECT_FALSE(ScriptHasEntry(bytes, "bb"));
  EXPECT_EQ(ReadScriptString(bytes, 1), "");
}

// A copy of the first `size` bytes in a block of exactly that size, so that the
// address sanitizer sees any read beyond the end.
Bytes Cut(const Bytes& bytes, std::size_t size) {
  return Bytes(bytes.begin(), bytes.begin() + size);
}

TEST(ScriptHeaderBytes, EveryTruncationGivesNotFound) {
  const ScriptImage image = Image({"a", "", "ccc", std::string(300, 'd')});
  const Bytes full = WriteScript(image);
  const std::size_t header_end = CountOffset(image) + 2;
  std::vector<std::size_t> entry_end;
  std::size_t at = header_end;
  for (const std::string& s : image.strings) entry_end.push_back(at += 2 + s.size());
  ASSERT_EQ(entry_end.back(), full.size());

  for (std::size_t size = 0; size <= full.size(); ++size) {
    SCOPED_TRACE(testing::Message() << "cut at " << size << " of " << full.size());
    const Bytes bytes = Cut(full, size);
    const auto header = ReadScriptHeader(bytes);
    EXPECT_EQ(header.has_value(), size >= header_end);
    if (header) {
      EXPECT_EQ(header->count, image.strings.size());
    }

    for (std::size_t k = 0; k < image.strings.size(); ++k) {
      const bool complete = size >= entry_end[k];
      const auto entry = ReadScriptString(bytes, static_cast<std::int32_t>(k));
      EXPECT_EQ(entry.has_value(), complete) << "entry " << k;
      if (complete) {
        EXPECT_EQ(*entry, image.strings[k]);
      }
      EXPECT_EQ(ScriptHasEntry(bytes, image.strings[k]), complete) << "entry " << k;
    }
    EXPECT_EQ(ReadScriptString(bytes, -5).has_value(), size >= entry_end[0]);
    EXPECT_EQ(ReadScriptString(bytes, 4), header ? std::optional<std::string>("") : std::nullopt);
    EXPECT_FALSE(ScriptHasEntry(bytes, "zzz"));
  }
}

}  // namespace
}  // namespace cw::script
