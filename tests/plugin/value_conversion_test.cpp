#include "plugin/value_conversion.h"

#include <gtest/gtest.h>

#include <limits>

namespace cw::vm {
namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();

struct Row {
  VMValue value;
  std::int32_t asInt;
  std::uint32_t asUInt;
  float asFloat;
  bool asBool;
};

class Conversion : public testing::TestWithParam<Row> {};

TEST_P(Conversion, FollowsTheTable) {
  const Row& r = GetParam();
  EXPECT_EQ(ToInt32(r.value), r.asInt);
  EXPECT_EQ(ToUInt32(r.value), r.asUInt);
  EXPECT_EQ(ToFloat(r.value), r.asFloat);
  EXPECT_EQ(ToBool(r.value), r.asBool);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Conversion,
    testing::Values(Row{IntValue(7), 7, 7, 7.0f, true},
                    Row{IntValue(static_cast<std::uint32_t>(-5)), -5, 4294967291u, -5.0f, true},
                    Row{IntValue(0), 0, 0, 0.0f, false}, Row{FloatValue(3.9f), 3, 3, 3.9f, true},
                    Row{FloatValue(-3.9f), -3, 4294967293u, -3.9f, true},
                    Row{FloatValue(0.0f), 0, 0, 0.0f, false},
                    Row{FloatValue(3e9f), INT32_MIN, 3000000000u, 3e9f, true},
                    Row{FloatValue(-3e9f), INT32_MIN, 1294967296u, -3e9f, true},
                    Row{FloatValue(1e20f), INT32_MIN, 0, 1e20f, true},
                    Row{BoolValue(true), 1, 1, 1.0f, true},
                    Row{BoolValue(false), 0, 0, 0.0f, false},
                    Row{VMValue{kNone, 0}, 0, 0, 0.0f, false},
                    Row{VMValue{kString, 0x1234}, 0, 0, 0.0f, false},
                    Row{VMValue{0x7000, 0x1234}, 0, 0, 0.0f, false}));

TEST(Conversion, NaNIsTrueAndTheMostNegativeInt) {
  EXPECT_TRUE(ToBool(FloatValue(kNaN)));
  EXPECT_EQ(ToInt32(FloatValue(kNaN)), INT32_MIN);
  EXPECT_EQ(ToUInt32(FloatValue(kNaN)), 0u);
}

TEST(Conversion, OnlyStringValuesHaveText) {
  static const char text[] = "abc";
  EXPECT_EQ(TextOf(VMValue{kString, reinterpret_cast<std::uint64_t>(text)}), text);
  EXPECT_EQ(TextOf(VMValue{kInt, reinterpret_cast<std::uint64_t>(text)}), nullptr);
}

}  // namespace
}  // namespace cw::vm
