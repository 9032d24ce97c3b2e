#include "natives/enchant/key_file.h"

#include <gtest/gtest.h>

#include <string>

#include "natives/enchant/enchantment_files.h"
#include "tests/natives/text/game_folder.h"

namespace cw {
namespace {

struct FindCase {
  const char* name;
  std::string text;
  std::string key;
  std::string value;
};

class FindKeyValue : public ::testing::TestWithParam<FindCase> {};

TEST_P(FindKeyValue, FindsTheFirstQualifyingLine) {
  EXPECT_EQ(enchant::FindKeyValue(GetParam().text, GetParam().key), GetParam().value);
}

const std::string kDefinition =
    "modName = Mod.esp\r\nform = #0012AB\r\npower_min = 5\r\npower_max = 0x1F\r\n";

INSTANTIATE_TEST_SUITE_P(
    Lines, FindKeyValue,
    ::testing::Values(FindCase{"ModName", kDefinition, "modName", "Mod.esp"},
                      FindCase{"Form", kDefinition, "form", "#0012AB"},
                      FindCase{"PowerMax", kDefinition, "power_max", "0x1F"},
                      FindCase{"EqualsRightAfterKey", "form=7\r\n", "form", "7"},
                      FindCase{"TabsAndSpacesBeforeEquals", "form \t \t= 7\r\n", "form", "7"},
                      FindCase{"ValueTrimmed", "form=\t 7 x \t\r\n", "form", "7 x"},
                      FindCase{"LineFeedOnly", "form = 7\nnext", "form", "7"},
                      FindCase{"CarriageReturnOnly", "form = 7\rnext", "form", "7"},
                      FindCase{"ValueToTheEnd", "x\r\nform = 7", "form", "7"},
                      FindCase{"AfterCarriageReturn", "x\rform = 7\r\n", "form", "7"},
                      FindCase{"ByteOrderMarkBeforeFirstLine",
                               "\xEF\xBB\xBF"
                               "form = 7\r\n",
                               "form", "7"},
                      FindCase{"ByteOrderMarkInsideALine",
                               "x\xEF\xBB\xBF"
                               "form = 7\r\n",
                               "form", ""},
                      FindCase{"ByteOrderMarkLaterLine",
                               "\xEF\xBB\xBF"
                               "formID = 7\r\nform = 8\r\n",
                               "form", "8"},
                      FindCase{"LongerKeyDoesNotMatch", "formID = 7\r\n", "form", ""},
                      FindCase{"LongerKeyThenKey", "formID = 7\r\nform = 8\r\n", "form", "8"},
                      FindCase{"KeyInsideLineDoesNotMatch", "xform = 7\r\n", "form", ""},
                      FindCase{"KeyInsideValueDoesNotMatch", "name = form = 7\r\n", "form", ""},
                      FindCase{"KeyCaseSensitive", "Form = 7\r\n", "form", ""},
                      FindCase{"TwoBytesAfterKey", "form=7", "form", ""},
                      FindCase{"ThreeBytesAfterKey", "form=77", "form", "77"},
                      FindCase{"SkippingStopsTwoBeforeEnd", "form  =x", "form", "x"},
                      FindCase{"SkippingStopsAtBlank", "form   =", "form", ""},
                      FindCase{"NoEquals", "form 7\r\n", "form", ""},
                      FindCase{"EmptyValue", "form = \r\nx", "form", ""},
                      FindCase{"FirstQualifyingLineWins", "form = 1\r\nform = 2\r\n", "form", "1"},
                      FindCase{"EmptyText", "", "form", ""}, FindCase{"OneByte", "f", "f", ""},
                      FindCase{"TwoBytes", "f=", "f", ""},
                      FindCase{"EmptyKeyInShortText", "=x", "", ""},
                      FindCase{"EmptyKey", "=xyz", "", "xyz"}),
    [](const ::testing::TestParamInfo<FindCase>& info) { return std::string(info.param.name); });

struct NumberCase {
  const char* name;
  std::string value;
  std::uint32_t number;
};

class ParseKeyNumber : public ::testing::TestWithParam<NumberCase> {};

TEST_P(ParseKeyNumber, ParsesTheNumberSyntax) {
  EXPECT_EQ(enchant::ParseKeyNumber(GetParam().value), GetParam().number);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ParseKeyNumber,
    ::testing::Values(
        NumberCase{"HashHex", "#0012AB", 4779u}, NumberCase{"ZeroXHex", "0x1F", 31u},
        NumberCase{"LowerCaseHexDigits", "#ff", 255u}, NumberCase{"Decimal", "5", 5u},
        NumberCase{"CapitalXIsDecimal", "0X1F", 0u}, NumberCase{"MinusOne", "-1", 4294967295u},
        NumberCase{"PlusSign", "+12", 12u}, NumberCase{"DigitsThenText", "12abc", 12u},
        NumberCase{"Text", "abc", 0u}, NumberCase{"Empty", "", 0u}, NumberCase{"SignOnly", "-", 0u},
        NumberCase{"HashOnly", "#", 0u}, NumberCase{"HashNoHexDigit", "#zz", 0u},
        NumberCase{"ZeroXOnly", "0x", 0u}, NumberCase{"HexStopsAtOther", "#1Fg7", 31u},
        NumberCase{"HexAfterBlank", "# 1F", 31u}, NumberCase{"HexHasNoPrefix", "#0x1F", 0u},
        NumberCase{"HexHasNoSign", "#-1", 0u}, NumberCase{"HexLargest", "#FFFFFFFF", 4294967295u},
        NumberCase{"HexTooLarge", "0x100000000", 4294967295u},
        NumberCase{"HexFarTooLarge", "#123456789ABCDEF0123", 4294967295u},
        NumberCase{"HexLeadingZeros", "#000000000000001", 1u},
        NumberCase{"DecimalLargest", "2147483647", 2147483647u},
        NumberCase{"DecimalClampedHigh", "2147483648", 2147483647u},
        NumberCase{"DecimalSmallest", "-2147483648", 2147483648u},
        NumberCase{"DecimalClampedLow", "-2147483649", 2147483648u},
        NumberCase{"DecimalFarTooLarge", "99999999999999999999999", 2147483647u},
        NumberCase{"DecimalFarTooSmall", "-99999999999999999999999", 2147483648u},
        NumberCase{"DecimalLeadingZeros", "0000000000000000042", 42u},
        NumberCase{"DecimalAfterBlank", " \t7", 7u}),
    [](const ::testing::TestParamInfo<NumberCase>& info) { return std::string(info.param.name); });

class EnchantmentFile : public ::testing::Test {
 protected:
  void Write(const std::string& name, const std::string& bytes) {
    game_.Write(enchant::EnchantmentFilePath(name), bytes);
  }
  ScopedGameFolder game_;
};

TEST_F(EnchantmentFile, ReadsEveryKey) {
  Write("Fire.txt", AsciiUtf16LeBytes(kDefinition));
  const std::string path = enchant::EnchantmentFilePath("Fire.txt");
  EXPECT_EQ(path, "Data/Cradlewright/Enchantment/Fire.txt");
  EXPECT_EQ(enchant::ReadKeyFileValue(path, "modName"), "Mod.esp");
  EXPECT_EQ(enchant::ReadKeyFileNumber(path, "form"), 4779u);
  EXPECT_EQ(enchant::ReadKeyFileNumber(path, "power_min"), 5u);
  EXPECT_EQ(enchant::ReadKeyFileNumber(path, "power_max"), 31u);
  EXPECT_EQ(enchant::ReadKeyFileValue(path, "power_mid"), "");
  EXPECT_EQ(enchant::ReadKeyFileNumber(path, "power_mid"), 0u);
}

// Windows' editors write a byte-order mark when they save as "Unicode".
TEST_F(EnchantmentFile, ByteOrderMarkKeepsTheFirstLine) {
  Write("Marked.txt", "\xFF\xFE" + AsciiUtf16LeBytes("modName = First.esp\r\nform = 9\r\n"));
  const std::string path = enchant::EnchantmentFilePath("Marked.txt");
  EXPECT_EQ(enchant::ReadKeyFileValue(path, "modName"), "First.esp");
  EXPECT_EQ(enchant::ReadKeyFileNumber(path, "form"), 9u);
}

TEST_F(EnchantmentFile, NonAsciiValueIsUtf8) {
  Write("Umlaut.txt", Utf16LeBytes(u"x\r\nmodName = K\u00E4lte.esp\r\n"));
  EXPECT_EQ(enchant::ReadKeyFileValue(enchant::EnchantmentFilePath("Umlaut.txt"), "modName"),
            "K\xC3\xA4lte.esp");
}

TEST_F(EnchantmentFile, SubFolderInTheName) {
  Write("Sub/Name.txt", AsciiUtf16LeBytes("power_min = -1\r\n"));
  EXPECT_EQ(enchant::ReadKeyFileNumber(enchant::EnchantmentFilePath("Sub/Name.txt"), "power_min"),
            4294967295u);
}

TEST_F(EnchantmentFile, UnreadableFilesGiveNothing) {
  Write("Narrow.txt", "modName = Mod.esp\r\nform = 7\r\n");  // 8-bit text, not UTF-16
  Write("Empty.txt", "");
  for (const char* name : {"Missing.txt", "Narrow.txt", "Empty.txt", ""}) {
    const std::string path = enchant::EnchantmentFilePath(name);
    EXPECT_EQ(enchant::ReadKeyFileValue(path, "modName"), "") << name;
    EXPECT_EQ(enchant::ReadKeyFileNumber(path, "form"), 0u) << name;
  }
}

}  // namespace
}  // namespace cw
