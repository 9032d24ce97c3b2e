#include "natives/text/utf16.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/natives/text/game_folder.h"

namespace cw {
namespace {

struct DecodeCase {
  const char* name;
  std::string bytes;
  std::string utf8;
};

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out.push_back(static_cast<char>(v));
  return out;
}

class DecodeUtf16Le : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeUtf16Le, DecodesByTheFileRules) {
  EXPECT_EQ(text::DecodeUtf16Le(GetParam().bytes), GetParam().utf8);
}

// "x" before and "y" after a unit show whether the unit was taken and whether
// decoding went on after it.
std::string Around(char16_t unit) {
  return Utf16LeBytes(std::u16string(u"x") + unit + u"y");
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, DecodeUtf16Le,
    ::testing::Values(
        DecodeCase{"Empty", "", ""}, DecodeCase{"SingleByte", Bytes({0x41}), ""},
        DecodeCase{"Ascii", AsciiUtf16LeBytes("Hello"), "Hello"},
        DecodeCase{"U007F", Around(0x007F), "x\x7Fy"},
        DecodeCase{"U0080", Around(0x0080), "x\xC2\x80y"},
        DecodeCase{"U07FF", Around(0x07FF), "x\xDF\xBFy"},
        DecodeCase{"U0800", Around(0x0800), "x\xE0\xA0\x80y"},
        DecodeCase{"UD7FF", Around(0xD7FF), "x\xED\x9F\xBFy"},
        DecodeCase{"LoneLowSurrogateStops", Around(0xDC00), "x"},
        DecodeCase{"LoneLowSurrogateDFFFStops", Around(0xDFFF), "x"},
        DecodeCase{"PrivateUseE000", Around(0xE000), "x\xEE\x80\x80y"},
        DecodeCase{"HighSurrogateThenOtherUnitStops", Around(0xD800), "x"},
        DecodeCase{"HighSurrogateAtEndStops", Utf16LeBytes(u"x\xD800"), "x"},
        DecodeCase{"SurrogatePairIsFourBytes", Utf16LeBytes(u"x\xD83D\xDE00y"),
                   "x\xF0\x9F\x98\x80y"},
        DecodeCase{"FirstAndLastPlaneCharacters", Utf16LeBytes(u"\xD800\xDC00\xDBFF\xDFFF"),
                   "\xF0\x90\x80\x80\xF4\x8F\xBF\xBF"},
        DecodeCase{"TwoHighSurrogatesStop", Utf16LeBytes(u"x\xD83D\xD83D\xDE00"), "x"},
        DecodeCase{"UFEFFKept", Around(0xFEFF), "x\xEF\xBB\xBFy"},
        DecodeCase{"FullWidthQuestionMark", Around(0xFF1F), "x\xEF\xBC\x9Fy"},
        DecodeCase{"UFFFD", Around(0xFFFD), "x\xEF\xBF\xBDy"},
        DecodeCase{"UFFFEStops", Around(0xFFFE), "x"},
        DecodeCase{"UFFFFStops", Around(0xFFFF), "x"},
        DecodeCase{"OddTrailingByteIgnored", AsciiUtf16LeBytes("AB") + Bytes({0x43}), "AB"},
        DecodeCase{"NulInTheMiddleEnds", Utf16LeBytes(std::u16string(u"A\0B", 3)), "A"},
        DecodeCase{"LeadingNulGivesEmpty", Bytes({0, 0, 0x41, 0}), ""},
        DecodeCase{"LittleEndianMarkKept", Bytes({0xFF, 0xFE}) + AsciiUtf16LeBytes("$K\tv"),
                   "\xEF\xBB\xBF$K\tv"},
        DecodeCase{"BigEndianFileIsEmpty", Bytes({0xFE, 0xFF, 0x00, 0x41, 0x00, 0x42}), ""},
        DecodeCase{"UmlautAndLineEnds", Utf16LeBytes(u"Gr\u00FC\u00DF\r\n"),
                   "Gr\xC3\xBC\xC3\x9F\r\n"}),
    [](const ::testing::TestParamInfo<DecodeCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace cw
