#include "natives/utility/hex_format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace cw {
namespace {

struct HexCase {
  std::int32_t value;
  std::int32_t digits;
  const char* expected;
};

TEST(FormatHex, PadsAndCutsToTheDigitCount) {
  const HexCase cases[] = {
      {255, 4, "00ff"},
      {255, 1, "f"},
      {-1, 0, "ffffffff"},
      {0, 0, "0"},
      {0x1234, -3, "4"},
      {0x1234, 12, "00001234"},
      {0x1234, 2, "34"},
      {0x1234, 9, "00001234"},
      {0x1234, 100, "00001234"},
      {0x10000, 4, "0000"},
      {0x1234, 0, "1234"},
      {0, 8, "00000000"},
      {0, -1, "0"},
      {-1, 4, "ffff"},
      {-2, std::numeric_limits<std::int32_t>::max(), "fffffffe"},
      {std::numeric_limits<std::int32_t>::min(), 0, "80000000"},
      {std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::min(), "0"},
      {0x7FFFFFFF, 8, "7fffffff"},
      {0xABCDEF, 6, "abcdef"},
  };
  for (const HexCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "value " << c.value << ", digits " << c.digits);
    EXPECT_EQ(FormatHex(c.value, c.digits), c.expected);
  }
}

}  // namespace
}  // namespace cw
