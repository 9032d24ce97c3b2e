#include "natives/utility/text.h"

#include <gtest/gtest.h>

#include <string>

namespace cw::text {
namespace {

TEST(CaseMapping, ChangesOnlyAsciiLetters) {
  for (int b = 1; b < 256; ++b) {
    const std::string in(1, static_cast<char>(b));
    const char lower = (b >= 'A' && b <= 'Z') ? static_cast<char>(b + 32) : static_cast<char>(b);
    const char upper = (b >= 'a' && b <= 'z') ? static_cast<char>(b - 32) : static_cast<char>(b);
    SCOPED_TRACE(b);
    EXPECT_EQ(ToLowerAscii(in), std::string(1, lower));
    EXPECT_EQ(ToUpperAscii(in), std::string(1, upper));
  }
}

TEST(CaseMapping, LeavesAccentedLettersInAnyEncoding) {
  struct Case {
    std::string in, lower, upper;
  };
  const Case cases[] = {
      // Capital A grave, B, C, hyphen, capital U diaeresis in a single-byte code page.
      {"\xC0"
       "BC-\xDC",
       "\xC0"
       "bc-\xDC",
       "\xC0"
       "BC-\xDC"},
      // The same in UTF-8.
      {"\xC3\x80"
       "BC-\xC3\x9C",
       "\xC3\x80"
       "bc-\xC3\x9C",
       "\xC3\x80"
       "BC-\xC3\x9C"},
      {"", "", ""},
      {"Mixed Case 42!", "mixed case 42!", "MIXED CASE 42!"},
      {"\xE4\xF6\xFC", "\xE4\xF6\xFC", "\xE4\xF6\xFC"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in);
    EXPECT_EQ(ToLowerAscii(c.in), c.lower);
    EXPECT_EQ(ToUpperAscii(c.in), c.upper);
  }
}

std::string Repeat(const std::string& piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

TEST(ReplaceAllBounded, FollowsTheReplaceRule) {
  struct Case {
    const char* what;
    std::string text, search, replacement, expected;
  };
  const Case cases[] = {
      {"left to right, no overlap", "aaaa", "aa", "b", "bb"},
      {"inserted text not searched again", "aaa", "a", "aa", "aaaaaa"},
      {"30 occurrences: first 21 replaced", Repeat("ab.", 30), "ab", "X",
       Repeat("X.", 21) + Repeat("ab.", 9)},
      {"exactly 21 occurrences", Repeat("a", 21), "a", "b", Repeat("b", 21)},
      {"22 occurrences", Repeat("a", 22), "a", "b", Repeat("b", 21) + "a"},
      {"empty search inserts 21 times at the front", "abc", "", "x", Repeat("x", 21) + "abc"},
      {"empty search, empty replacement", "abc", "", "", "abc"},
      {"empty search in empty text", "", "", "x", Repeat("x", 21)},
      {"search longer than text", "ab", "abc", "x", "ab"},
      {"search not present", "hello", "xyz", "q", "hello"},
      {"case-sensitive", "Foo foo", "foo", "bar", "Foo bar"},
      {"empty replacement deletes", "a-b-c", "-", "", "abc"},
      {"replacement contains search", "a.b", ".", "..", "a..b"},
      {"match at the end", "xyzab", "ab", "!", "xyz!"},
      {"empty text", "", "a", "b", ""},
      {"multi-byte texts are bytes", "gr\xC3\xBC\xC3\x9F", "\xC3\xBC", "ue", "grue\xC3\x9F"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ReplaceAllBounded(c.text, c.search, c.replacement), c.expected);
  }
}

TEST(FillPlaceholders, FillsZeroToFiveInOrder) {
  struct Case {
    const char* what;
    std::string templ;
    std::array<std::string_view, 6> values;
    std::string expected;
  };
  const Case cases[] = {
      {"all six", "{0}{1}{2}{3}{4}{5}", {"a", "b", "c", "d", "e", "f"}, "abcdef"},
      {"later placeholder in a value is filled", "{0}-{1}", {"{1}", "x", "", "", "", ""}, "x-x"},
      {"earlier placeholder in a value stays", "{0}-{1}", {"x", "{0}", "", "", "", ""}, "x-{0}"},
      {"other brace texts untouched",
       "{6} { 0} {0 } {a} {00}",
       {"Z", "", "", "", "", ""},
       "{6} { 0} {0 } {a} {00}"},
      {"repeated placeholder", "{2}+{2}={3}", {"", "", "1", "2", "", ""}, "1+1=2"},
      {"no placeholders", "plain", {"a", "b", "c", "d", "e", "f"}, "plain"},
      {"each pass has its own limit",
       Repeat("{0}", 25) + Repeat("{1}", 25),
       {"a", "b", "", "", "", ""},
       Repeat("a", 21) + Repeat("{0}", 4) + Repeat("b", 21) + Repeat("{1}", 4)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(FillPlaceholders(c.templ, c.values), c.expected);
  }
}

}  // namespace
}  // namespace cw::text
