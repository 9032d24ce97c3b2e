#include "platform/name_pattern.h"

#include <gtest/gtest.h>

namespace cw::platform {
namespace {

struct PatternCase {
  const char* pattern;
  const char* name;
  bool matches;
};

class NamePatternTest : public testing::TestWithParam<PatternCase> {};

TEST_P(NamePatternTest, MatchesAsTheWindowsSearch) {
  const PatternCase& c = GetParam();
  EXPECT_EQ(MatchesNamePattern(c.name, c.pattern), c.matches) << c.pattern << " vs " << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, NamePatternTest,
    testing::Values(PatternCase{"*.txt", "a.txt", true}, PatternCase{"*.txt", "B.TXT", true},
                    PatternCase{"*.TXT", "a.txt", true}, PatternCase{"*.txt", "two.dots.txt", true},
                    PatternCase{"*.txt", "a.log", false}, PatternCase{"*.txt", "txt", false},
                    PatternCase{"*.txt", ".", false}, PatternCase{"*.txt", "..", false},
                    PatternCase{"*.txt", ".txt", true}, PatternCase{"*.*", "noext", true},
                    PatternCase{"*.*", ".", true}, PatternCase{"*.*", "..", true},
                    PatternCase{"*", "a.b", true}, PatternCase{"*.", "a.txt", true},
                    PatternCase{"*.", "noext", true}, PatternCase{"*.txt.", "a.txt", true},
                    PatternCase{"*.tx", "a.txt", false}, PatternCase{"*.tx?", "a.txt", true},
                    PatternCase{"*.tx?", "f.tx", false}, PatternCase{"*.t*", "f.tx", true},
                    PatternCase{"*.t*", "noext", false}, PatternCase{".*", ".hidden", true},
                    PatternCase{".*", "a.txt", false}, PatternCase{"*t", "noext", true},
                    PatternCase{"a.txt", "A.TXT", true}, PatternCase{"a*b*c", "aXbYbZc", true},
                    PatternCase{"a*b*c", "aXbYcZ", false}));

}  // namespace
}  // namespace cw::platform
