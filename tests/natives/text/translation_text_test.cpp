#include "natives/text/translation_text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace cw {
namespace {

struct LookupCase {
  const char* name;
  std::string text;
  std::string key;
  std::string value;
};

class TranslationLookup : public ::testing::TestWithParam<LookupCase> {};

// The plain search and the index must both give the expected value.
TEST_P(TranslationLookup, FindsTheFirstNeedle) {
  const LookupCase& c = GetParam();
  EXPECT_EQ(text::FindTranslationValue(c.text, c.key), c.value);
  const text::TranslationText indexed(c.text);
  EXPECT_EQ(indexed.Lookup(c.key), c.value);
}

const std::string kLongKey(text::kMaxIndexedKeyBytes + 1, 'k');

INSTANTIATE_TEST_SUITE_P(
    Entries, TranslationLookup,
    ::testing::Values(
        LookupCase{"Simple", "$Greeting\tHello\r\n", "Greeting", "Hello"},
        LookupCase{"KeyWithDollarIsNotFound", "$Greeting\tHello\r\n", "$Greeting", ""},
        LookupCase{"KeyIsCaseSensitive", "$Greeting\tHello\r\n", "greeting", ""},
        LookupCase{"NeedleHoldsTheTab", "$AB\tx\r\n$A\ty\r\n", "A", "y"},
        LookupCase{"LastEntryWithoutLineBreak", "$A\tx\r\n$B\tlast", "B", "last"},
        LookupCase{"LineFeedsOnly", "$A\tx\n$B\ty\n", "A", "x"},
        LookupCase{"CarriageReturnOnly", "$A\tx\r$B\ty", "A", "x"},
        LookupCase{"NearerOfLineFeedAndReturn", "$A\tx\ny\rz", "A", "x"},
        LookupCase{"EmptyValue", "$A\t\r\n$B\ty", "A", ""},
        LookupCase{"ValueKeepsTabs", "$A\tx\ty\r\n", "A", "x\ty"},
        LookupCase{"EmptyText", "", "A", ""}, LookupCase{"NoTabAfterKey", "$A x\r\n", "A", ""},
        LookupCase{"EmptyKey", "$A\tx\r\n$\tempty key\r\n", "", "empty key"},
        LookupCase{"AfterByteOrderMark", "\xEF\xBB\xBF$A\tfirst\r\n", "A", "first"},
        LookupCase{"NeedleInsideAnotherValue", "$K\tsee $X\tinner\r\n$X\touter\r\n", "X", "inner"},
        LookupCase{"NeedleInsideAKey", "$A$B\tx\r\n$B\ty\r\n", "B", "x"},
        LookupCase{"DollarDollar", "$$K\tv\r\n", "$K", "v"},
        LookupCase{"DollarDollarInner", "$$K\tv\r\n", "K", "v"},
        LookupCase{"FirstOccurrenceWins", "$A\tone\r\n$A\ttwo\r\n", "A", "one"},
        LookupCase{"KeyWithTab", "$A\tB\tC\r\n", "A\tB", "C"},
        LookupCase{"KeyWithTabMissing", "$A\tB\r\n", "A\tC", ""},
        LookupCase{"KeySpanningLines", "$A\r\nB\tv\r\n", "A\r\nB", "v"},
        LookupCase{"LongKey", "$" + kLongKey + "\tlong\r\n", kLongKey, "long"},
        LookupCase{"LongKeyAbsent", "$A\tx", kLongKey, ""},
        LookupCase{"NoEntries", "just text\r\n", "just", ""}),
    [](const ::testing::TestParamInfo<LookupCase>& info) { return std::string(info.param.name); });

// Texts and keys drawn from the bytes that matter to the search ("$", tab, line
// ends) and a few letters; keys are taken from the text half of the time so that
// most look-ups hit. Long runs make some keys exceed the indexed length.
TEST(TranslationLookupDifferential, IndexAgreesWithPlainSearch) {
  std::mt19937 random(20240611);
  const std::string alphabet = "$$$\t\t\r\nab";
  auto pick = [&](std::size_t bound) {
    return std::uniform_int_distribution<std::size_t>(0, bound)(random);
  };
  int hits = 0;
  for (int round = 0; round < 3000; ++round) {
    std::string source;
    const std::size_t length = pick(round % 50 == 0 ? 2000 : 60);
    while (source.size() < length) {
      if (pick(40) == 0)
        source.append(pick(2 * text::kMaxIndexedKeyBytes), 'a');
      else
        source.push_back(alphabet[pick(alphabet.size() - 1)]);
    }
    const text::TranslationText indexed(source);
    for (int probe = 0; probe < 30; ++probe) {
      std::string key;
      if (!source.empty() && pick(1) == 0) {
        const std::size_t from = pick(source.size() - 1);
        key = source.substr(from, pick(source.size() - from));
        if (pick(3) != 0) {
          const std::size_t dollar = source.rfind('$', from);
          if (dollar != std::string::npos) {
            const std::size_t tab = source.find('\t', dollar + 1);
            if (tab != std::string::npos) key = source.substr(dollar + 1, tab - dollar - 1);
          }
        }
      } else {
        for (std::size_t n = pick(4); n > 0; --n)
          key.push_back(alphabet[pick(alphabet.size() - 1)]);
      }
      const std::string_view expected = text::FindTranslationValue(source, key);
      ASSERT_EQ(indexed.Lookup(key), expected) << "text: " << ::testing::PrintToString(source)
                                               << "\nkey: " << ::testing::PrintToString(key);
      if (expected.data() != nullptr) ++hits;
    }
  }
  EXPECT_GT(hits, 10000);  // the keys do find entries, not just agree on misses
}

}  // namespace
}  // namespace cw
