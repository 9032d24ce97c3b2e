#include "natives/utility/float_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace cw::utility {
namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();

struct FormatCase {
  float value;
  const char* text;
};

class SettingFloatTest : public testing::TestWithParam<FormatCase> {};

TEST_P(SettingFloatTest, WritesTenSignificantDigits) {
  EXPECT_EQ(FormatSettingFloat(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Values, SettingFloatTest,
    testing::Values(FormatCase{1.5f, "1.5"}, FormatCase{2.0f, "2."}, FormatCase{100.0f, "100."},
                    FormatCase{0.5f, "0.5"}, FormatCase{0.0f, "0."}, FormatCase{-0.25f, "-0.25"},
                    FormatCase{0.1f, "0.1000000015"}, FormatCase{0.05f, "5.000000075e-002"},
                    FormatCase{1.0e10f, "1.e+010"}, FormatCase{1234567890.0f, "1234567936"},
                    FormatCase{123456.7f, "123456.7031"}, FormatCase{1.0e-3f, "1.000000047e-003"},
                    FormatCase{-1.0e-10f, "-1.000000013e-010"},
                    FormatCase{std::numeric_limits<float>::max(), "3.402823466e+038"},
                    // An exact tie at the eleventh digit rounds to even.
                    FormatCase{100000.03125f, "100000.0312"},
                    FormatCase{std::numeric_limits<float>::denorm_min(), "1.401298464e-045"},
                    FormatCase{kInf, "inf"}, FormatCase{-kInf, "-inf"},
                    FormatCase{std::numeric_limits<float>::quiet_NaN(), "nan"}));

class ShortFloatTest : public testing::TestWithParam<FormatCase> {};

TEST_P(ShortFloatTest, WritesSixSignificantDigits) {
  EXPECT_EQ(FormatShortFloat(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ShortFloatTest,
    testing::Values(FormatCase{1.5f, "1.5"}, FormatCase{0.1f, "0.1"},
                    FormatCase{1234567.0f, "1.23457e+06"}, FormatCase{0.123456789f, "0.123457"},
                    FormatCase{3.14159265f, "3.14159"}, FormatCase{0.0f, "0"},
                    FormatCase{-0.0f, "-0"}, FormatCase{100.0f, "100"},
                    FormatCase{123456.0f, "123456"}, FormatCase{0.0001f, "0.0001"},
                    FormatCase{0.00001f, "1e-05"}, FormatCase{-2.5f, "-2.5"},
                    // Rounding carries into a new digit and so into the exponent form.
                    FormatCase{999999.5f, "1e+06"}, FormatCase{1.0e-40f, "9.99995e-41"},
                    FormatCase{1.0e30f, "1e+30"}, FormatCase{kInf, "inf"}));

struct ParseCase {
  const char* text;
  double value;
};

class LeadingNumberTest : public testing::TestWithParam<ParseCase> {};

TEST_P(LeadingNumberTest, ReadsAsAtof) {
  EXPECT_EQ(ParseLeadingNumber(GetParam().text), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LeadingNumberTest,
    testing::Values(ParseCase{"2.", 2.0}, ParseCase{"1.5", 1.5}, ParseCase{"  1.5xyz", 1.5},
                    ParseCase{"\t+3", 3.0}, ParseCase{"-0.25", -0.25}, ParseCase{".5", 0.5},
                    ParseCase{"5.000000075e-002", 5.000000075e-2}, ParseCase{"1e", 1.0},
                    ParseCase{"1e+", 1.0}, ParseCase{"abc", 0.0}, ParseCase{"", 0.0},
                    ParseCase{"--5", 0.0}, ParseCase{"+-5", 0.0}, ParseCase{"-", 0.0},
                    ParseCase{"0x1A", 0.0}, ParseCase{"1e999", HUGE_VAL},
                    ParseCase{"-1e999", -HUGE_VAL}, ParseCase{"1e-999", 0.0},
                    ParseCase{"inf", HUGE_VAL}, ParseCase{"-Infinity", -HUGE_VAL}));

TEST(LeadingNumber, ReadsNan) {
  EXPECT_TRUE(std::isnan(ParseLeadingNumber("nan")));
}

TEST(NarrowToFloat, RoundsAndSaturatesToInfinity) {
  EXPECT_EQ(NarrowToFloat(0.1), 0.1f);
  EXPECT_EQ(NarrowToFloat(1e39), kInf);
  EXPECT_EQ(NarrowToFloat(-1e39), -kInf);
  EXPECT_EQ(NarrowToFloat(3.4028235e38), std::numeric_limits<float>::max());
  EXPECT_EQ(NarrowToFloat(HUGE_VAL), kInf);
  EXPECT_TRUE(std::isnan(NarrowToFloat(std::nan(""))));
}

// Every float written by the settings writer reads back as the same float.
TEST(SettingFloat, ReadsBackAsTheSameFloat) {
  for (std::uint64_t bits = 0; bits <= 0xFFFFFFFFu; bits += 0x000F1235u) {
    const std::uint32_t pattern = static_cast<std::uint32_t>(bits);
    float value;
    std::memcpy(&value, &pattern, sizeof value);
    if (std::isnan(value)) continue;
    const std::string text = FormatSettingFloat(value);
    ASSERT_LE(text.size(), 19u) << text;
    ASSERT_EQ(NarrowToFloat(ParseLeadingNumber(text)), value) << text;
  }
}

}  // namespace
}  // namespace cw::utility
