#include "address/game_version.h"

#include <gtest/gtest.h>

#include <optional>

#include "tests/address/printers.h"

namespace cw::address {
namespace {

struct VersionCase {
  const char* text;
  std::optional<GameVersion> expected;
};

class AcceptedVersion : public testing::TestWithParam<VersionCase> {};

TEST_P(AcceptedVersion, ReadsFourNumbersAndRefusesPlaceholders) {
  const VersionCase& c = GetParam();
  SCOPED_TRACE(c.text ? c.text : "(null)");
  EXPECT_EQ(ParseAcceptedVersion(c.text), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, AcceptedVersion,
    testing::Values(VersionCase{"1.5.97.0", GameVersion{1, 5, 97, 0}},
                    VersionCase{"1.6.1170.0", GameVersion{1, 6, 1170, 0}},
                    // Placeholders: first number at most 1 as unsigned, the rest 0.
                    VersionCase{"0.0.0.0", std::nullopt}, VersionCase{"1.0.0.0", std::nullopt},
                    VersionCase{"1.0.0.1", GameVersion{1, 0, 0, 1}},
                    VersionCase{"2.0.0.0", GameVersion{2, 0, 0, 0}},
                    VersionCase{"0.1.0.0", GameVersion{0, 1, 0, 0}},
                    // -1 is above 1 as unsigned, so it is not a placeholder.
                    VersionCase{"-1.0.0.0", GameVersion{-1, 0, 0, 0}},
                    // Fewer than four numbers.
                    VersionCase{"1.5.97", std::nullopt}, VersionCase{"", std::nullopt},
                    VersionCase{nullptr, std::nullopt}, VersionCase{"1.5.97.", std::nullopt},
                    VersionCase{"1.5..0", std::nullopt}, VersionCase{"v1.5.97.0", std::nullopt},
                    VersionCase{"1,5,97,0", std::nullopt},
                    // What the scanner allows: blanks before a number, signs, trailing text.
                    VersionCase{" 1. 5.+97.0", GameVersion{1, 5, 97, 0}},
                    VersionCase{"1 .5.97.0", std::nullopt},
                    VersionCase{"1.5.97.0 (retail)", GameVersion{1, 5, 97, 0}},
                    VersionCase{"1.5.97.0.3", GameVersion{1, 5, 97, 0}},
                    VersionCase{"1.5.97.-", std::nullopt},
                    // The 32-bit range.
                    VersionCase{"2147483647.0.0.-2147483648",
                                GameVersion{2147483647, 0, 0, -2147483647 - 1}},
                    VersionCase{"2147483648.0.0.0", std::nullopt},
                    VersionCase{"1.5.97.99999999999999999999", std::nullopt}));

struct ChoiceCase {
  const char* product;
  const char* file;
  std::optional<GameVersion> expected;
};

class VersionChoice : public testing::TestWithParam<ChoiceCase> {};

TEST_P(VersionChoice, ProductVersionFirstThenFileVersion) {
  const ChoiceCase& c = GetParam();
  EXPECT_EQ(ChooseVersion(c.product, c.file), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, VersionChoice,
    testing::Values(ChoiceCase{"1.5.97.0", "1.6.640.0", GameVersion{1, 5, 97, 0}},
                    ChoiceCase{"", "1.5.97.0", GameVersion{1, 5, 97, 0}},
                    ChoiceCase{nullptr, "1.5.97.0", GameVersion{1, 5, 97, 0}},
                    ChoiceCase{"1.0.0.0", "1.5.97.0", GameVersion{1, 5, 97, 0}},
                    ChoiceCase{"1.5.97", "1.5.97.0", GameVersion{1, 5, 97, 0}},
                    ChoiceCase{"1.5.97", "1.0.0.0", std::nullopt}, ChoiceCase{"", "", std::nullopt},
                    ChoiceCase{nullptr, nullptr, std::nullopt}));

TEST(RunningGameVersion, TestProgramStatesNone) {
  // The test program carries no version information of its own.
  EXPECT_EQ(RunningGameVersion(), std::nullopt);
}

}  // namespace
}  // namespace cw::address
