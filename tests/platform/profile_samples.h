#pragma once
// Settings texts and what the Windows profile functions find in them; the same
// tables check the profile text parser and both platforms' profile functions.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace cw::test {

inline constexpr std::string_view kProfileSample =
    "top=1\r\n"
    "[Sec]\r\n"
    "  Key  =  value one  \r\n"
    "q=\"quoted\"\r\n"
    "q2='single'\r\n"
    "q3=\"half\r\n"
    "q4=\"a\" b \"c\"\r\n"
    "q5=  \"  spaced  \"  \r\n"
    ";c=comment\r\n"
    "inl=1 ; comment\r\n"
    "nokey\r\n"
    "=emptykey\r\n"
    "empty=\r\n"
    "dup=first\r\n"
    "dup=second\r\n"
    "tab\t=\tt\t\r\n"
    "e f = g\r\n"
    "x=1=2\r\n"
    "[ Spaced ]\r\n"
    "x=sp\r\n"
    "[sec]\r\n"
    "other=insecond\r\n"
    "[A]x\r\n"
    "a=1\r\n"
    "[B\r\n"
    "b=2\r\n"
    "[D]]\r\n"
    "d=4\n"
    "[Cr]\rc=cr\r";

struct ProfileReadCase {
  const char* section;
  const char* key;
  std::optional<std::string> value;  // none: the reader gives its default
};

inline const std::array<ProfileReadCase, 28> kProfileReadCases = {{
    {"Sec", "Key", "value one"},
    {"SEC", "kEY", "value one"},
    {" Sec ", " key ", "value one"},
    {"Sec", "q", "quoted"},
    {"Sec", "q2", "single"},
    {"Sec", "q3", "\"half"},
    {"Sec", "q4", "a\" b \"c"},
    {"Sec", "q5", "  spaced  "},
    {"Sec", ";c", "comment"},  // no comment lines: ";c" is a key
    {"Sec", "inl", "1 ; comment"},
    {"Sec", "nokey", std::nullopt},
    {"Sec", "", "emptykey"},
    {"Sec", "empty", ""},
    {"Sec", "dup", "first"},
    {"Sec", "tab", "t"},
    {"Sec", "e f", "g"},
    {"Sec", "x", "1=2"},
    {"Sec", "top", std::nullopt},
    {"", "top", "1"},
    {"Spaced", "x", "sp"},
    {"Sec", "other", std::nullopt},  // only the first section of a name counts
    {"A", "a", "1"},
    {"A", "b", "2"},  // "[B" is no header: its lines stay in section A
    {"B", "b", std::nullopt},
    {"D]", "d", "4"},
    {"D", "d", std::nullopt},
    {"Cr", "c", "cr"},
    {"Missing", "x", std::nullopt},
}};

struct ProfileIntCase {
  const char* text;
  std::int32_t value;
};

inline const std::array<ProfileIntCase, 28> kProfileIntCases = {{
    {"42", 42},
    {"\t7", 7},
    {"+42", 42},
    {"-7", -7},
    {"42abc", 42},
    {"abc", 0},
    {"-", 0},
    {"+-3", 0},
    {"- 5", 0},
    {"12 34", 12},
    {"1e3", 1},
    {"010", 10},
    {"0x10", 16},
    {"-0x10", -16},
    {"0x", 0},
    {"0xg", 0},
    {"0X1F", 0},
    {"0x000000001f", 31},
    {"0b101", 5},
    {"0o17", 15},
    {"0B11", 0},
    {"0xffffffff", -1},
    {"0x1ffffffff", -1},
    {"2147483648", -2147483647 - 1},
    {"4294967297", 1},
    {"-2147483649", 2147483647},
    {"99999999999999999999", 1661992959},
    // Only the first 29 characters are read.
    {"0123456789012345678901234567890123456789", -1103563954},
}};

}  // namespace cw::test
