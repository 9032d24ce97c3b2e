#include "platform/profile_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "tests/platform/profile_samples.h"

namespace cw::platform {
namespace {

class ReadProfileValueTest : public testing::TestWithParam<test::ProfileReadCase> {};

TEST_P(ReadProfileValueTest, FindsWhatTheWindowsReaderFinds) {
  const test::ProfileReadCase& c = GetParam();
  EXPECT_EQ(ReadProfileValue(test::kProfileSample, c.section, c.key), c.value)
      << "[" << c.section << "] " << c.key;
}

INSTANTIATE_TEST_SUITE_P(Sample, ReadProfileValueTest, testing::ValuesIn(test::kProfileReadCases));

TEST(ReadProfileValue, SkipsAByteOrderMarkAndReadsEmptyContent) {
  EXPECT_EQ(ReadProfileValue("\xEF\xBB\xBF[A]\r\na=bom\r\n", "A", "a"), "bom");
  EXPECT_EQ(ReadProfileValue("", "A", "a"), std::nullopt);
  EXPECT_EQ(ReadProfileValue("[A]", "A", "a"), std::nullopt);
}

struct WriteCase {
  const char* name;
  const char* before;
  const char* section;
  const char* key;
  const char* value;
  const char* after;
};

class WriteProfileValueTest : public testing::TestWithParam<WriteCase> {};

TEST_P(WriteProfileValueTest, ChangesOnlyTheKeyLine) {
  const WriteCase& c = GetParam();
  const std::string after = WriteProfileValue(c.before, c.section, c.key, c.value);
  EXPECT_EQ(after, c.after);
  std::string_view stored = TrimTrailingBlanks(c.value);
  while (!stored.empty() && stored.front() == ' ') stored.remove_prefix(1);
  EXPECT_EQ(ReadProfileValue(after, c.section, c.key), std::string(stored));
}

INSTANTIATE_TEST_SUITE_P(
    Edits, WriteProfileValueTest,
    testing::Values(
        WriteCase{"NewFile", "", "S", "k", "v", "[S]\r\nk=v\r\n"},
        WriteCase{"NewSectionKeepsLf", "[A]\na=1\n", "B", "b", "2", "[A]\na=1\n[B]\nb=2\n"},
        WriteCase{"NewSectionAfterUnterminatedLine", "[A]\r\na=1", "B", "b", "2",
                  "[A]\r\na=1\r\n[B]\r\nb=2\r\n"},
        WriteCase{"ReplaceKeepsLayout", "; c\r\n[A]\r\n a = 1 \r\n\r\n[B]\r\n", "a", "A", "9",
                  "; c\r\n[A]\r\na=9\r\n\r\n[B]\r\n"},
        WriteCase{"NewKeyAfterLastLineOfSection", "[A]\na=1\n; note\n\n\n[B]\nb=2\n", "A", "c", "3",
                  "[A]\na=1\n; note\nc=3\n\n\n[B]\nb=2\n"},
        WriteCase{"NewKeyInEmptySection", "[A]\r\n[B]\r\n", "A", "k", "v", "[A]\r\nk=v\r\n[B]\r\n"},
        WriteCase{"NewKeyAtEndWithoutLineBreak", "[A]\r\na=1", "A", "b", "2",
                  "[A]\r\na=1\r\nb=2\r\n"},
        WriteCase{"FirstOfTwoSections", "[A]\na=1\n[a]\nb=2\n", "A", "b", "3",
                  "[A]\na=1\nb=3\n[a]\nb=2\n"},
        WriteCase{"NamelessSectionAtTop", "[A]\r\na=1\r\n", "", "k", "v", "k=v\r\n[A]\r\na=1\r\n"},
        WriteCase{"NamelessSectionAfterHead", "; head\r\n[A]\r\n", "", "k", "v",
                  "; head\r\nk=v\r\n[A]\r\n"},
        WriteCase{"AfterByteOrderMark", "\xEF\xBB\xBF[A]\r\n", "", "k", "v",
                  "\xEF\xBB\xBFk=v\r\n[A]\r\n"},
        WriteCase{"ValueWithBlanks", "[A]\r\n", "A", "k", " x ", "[A]\r\nk= x \r\n"}),
    [](const testing::TestParamInfo<WriteCase>& info) { return std::string(info.param.name); });

TEST(IsStorableProfileEntry, RefusesTextsThatWouldChangeOtherLines) {
  EXPECT_TRUE(IsStorableProfileEntry("Sec", "key", "value = with ; anything [x]"));
  EXPECT_TRUE(IsStorableProfileEntry("", "", ""));
  EXPECT_TRUE(IsStorableProfileEntry("A]B", "k[", "v"));
  EXPECT_FALSE(IsStorableProfileEntry("Sec", "key", "x\r\n[Z]\r\nz=1"));
  EXPECT_FALSE(IsStorableProfileEntry("Sec", "key", "x\ny"));
  EXPECT_FALSE(IsStorableProfileEntry("Sec\r", "key", "v"));
  EXPECT_FALSE(IsStorableProfileEntry("Sec", "k\ney", "v"));
  EXPECT_FALSE(IsStorableProfileEntry("Sec", "a=b", "v"));
  EXPECT_FALSE(IsStorableProfileEntry("Sec", " [a]", "v"));
  EXPECT_FALSE(IsStorableProfileEntry("Sec", "key", std::string_view("a\0b", 3)));
}

class ParseProfileIntTest : public testing::TestWithParam<test::ProfileIntCase> {};

TEST_P(ParseProfileIntTest, ReadsAsTheWindowsIntegerReader) {
  EXPECT_EQ(ParseProfileInt(GetParam().text), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Texts, ParseProfileIntTest, testing::ValuesIn(test::kProfileIntCases));

}  // namespace
}  // namespace cw::platform
