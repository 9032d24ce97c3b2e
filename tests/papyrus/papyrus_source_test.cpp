#include "papyrus/papyrus_source.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace cw::papyrus {
namespace {

using namespace std::string_literals;

// A function header in one line: "line result name(type name, ...) flags".
std::string Summary(const PapyrusFunction& f) {
  std::string text = std::to_string(f.line) + " " + f.resultType + " " + f.name + "(";
  for (std::size_t i = 0; i < f.params.size(); ++i)
    text += (i ? ", " : "") + f.params[i].type + " " + f.params[i].name;
  text += ")";
  if (f.global) text += " global";
  if (f.native) text += " native";
  return text;
}

std::vector<std::string> Summaries(const std::string& source) {
  std::vector<std::string> out;
  for (const PapyrusFunction& f : ReadPapyrusScript(source).functions) out.push_back(Summary(f));
  return out;
}

struct ReadCase {
  const char* name;
  std::string source;
  std::vector<std::string> functions;
};

class PapyrusRead : public testing::TestWithParam<ReadCase> {};

TEST_P(PapyrusRead, FindsTheDeclarations) {
  EXPECT_EQ(Summaries(GetParam().source), GetParam().functions);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, PapyrusRead,
    testing::Values(
        ReadCase{"Plain",
                 "Scriptname A\nString Function f(String text, Int n) global native\n"
                 "Function g() global native\n",
                 {"2 String f(String text, Int n) global native", "3  g() global native"}},
        ReadCase{"KeywordsInAnyCase",
                 "int FUNCTION f(bool b) NATIVE Global\n",
                 {"1 int f(bool b) global native"}},
        ReadCase{"ArraysAndDefaults",
                 "Int[] Function f(Float[] a, Int b = -1, String c = \"x, y)\", Bool d = True)\n",
                 {"1 Int[] f(Float[] a, Int b, String c, Bool d)"}},
        ReadCase{"LineComments",
                 "; Int Function hidden() global native\nInt Function f() global ; native\n",
                 {"2 Int f() global"}},
        ReadCase{"BlockCommentsSpanLines",
                 "{ Int Function hidden()\n global native }\nInt Function f() { doc\n doc } "
                 "global native\nInt Function g() global native\n",
                 {"3 Int f() global native", "5 Int g() global native"}},
        ReadCase{"SlashBlockComments",
                 ";/ Int Function hidden() global native\n/; Int Function f() global native\n",
                 {"2 Int f() global native"}},
        ReadCase{"CommentCharactersInStrings",
                 "Int Function f(String a = \";{\", String b = \"\\\"}\") global native\n",
                 {"1 Int f(String a, String b) global native"}},
        ReadCase{"ContinuedLines",
                 "Int Function f(Int a, \\\n  Int b) \\ ; a comment\n global native\nInt "
                 "Function g() global native\n",
                 {"1 Int f(Int a, Int b) global native", "4 Int g() global native"}},
        ReadCase{"LineBreaksOfEveryKind",
                 "Int Function f() global native\r\nInt Function g() native\rInt Function h()\n",
                 {"1 Int f() global native", "2 Int g() native", "3 Int h()"}},
        ReadCase{"BodiesEventsAndStatementsAreNoDeclarations",
                 "Int Function f(Int a)\n  Int b = a\n  Return f(b)\nEndFunction\n"
                 "Event OnInit()\n  f(1)\nEndEvent\nInt Property P Auto\n",
                 {"1 Int f(Int a)"}},
        ReadCase{"BrokenHeadersArePassedOver",
                 "Int Function (Int a)\nInt Function f(Int)\nInt Function g(Int a\n"
                 "Function h(Int a,)\nFunction\nInt Function k(Int a) global native\n",
                 {"6 Int k(Int a) global native"}},
        ReadCase{"UnterminatedCommentAndString",
                 "Int Function f(String a = \"open\nInt Function g() global native\n{ open",
                 {"2 Int g() global native"}}),
    [](const testing::TestParamInfo<ReadCase>& info) { return info.param.name; });

TEST(PapyrusScriptName, FirstScriptnameLineWithItsLine) {
  const PapyrusScript script =
      ReadPapyrusScript("; header\n\nScriptName FWUtility extends Quest Hidden\nScriptname B\n");
  EXPECT_EQ(script.name, "FWUtility");
  EXPECT_EQ(script.nameLine, 3u);
  EXPECT_EQ(ReadPapyrusScript("Scriptname\nInt Function f()\n").name, "");
}

TEST(PapyrusRead, AnyBytesGiveAValue) {
  // Every prefix of a source with every construct, and bytes that are no text.
  const std::string source =
      "Scriptname A\n{a}\n;/b/;\nInt Function f(String s = \"\\\"{;\", Int[] a) \\\n"
      " global native ; c\n\xff\x00\x80(\"\\"s;
  for (std::size_t n = 0; n <= source.size(); ++n) {
    const PapyrusScript script = ReadPapyrusScript(std::string_view(source).substr(0, n));
    for (const PapyrusFunction& f : script.functions) EXPECT_FALSE(f.name.empty());
  }
  EXPECT_EQ(Summaries(source),
            std::vector<std::string>{"4 Int f(String s, Int[] a) global native"});
}

}  // namespace
}  // namespace cw::papyrus

namespace cw::papyrus {
namespace {

TEST(PapyrusRead, AByteOrderMarkIsPassedOver) {
  const PapyrusScript script =
      ReadPapyrusScript("\xEF\xBB\xBFScriptname FWUtility\r\nInt Function f() global native\r\n");
  EXPECT_EQ(script.name, "FWUtility");
  EXPECT_EQ(Summaries("\xEF\xBB\xBF"
                      "Int Function f()\n"),
            std::vector<std::string>{"1 Int f()"});
}

TEST(PapyrusText, WhatIsNoScriptText) {
  using namespace std::string_literals;
  EXPECT_EQ(WhyNotScriptText("Scriptname A\n\xE4\xEF\xBB\xBF"), "");  // ANSI and UTF-8 alike
  EXPECT_EQ(WhyNotScriptText("\xFF\xFE"
                             "S\0"s),
            "UTF-16 text; save it as UTF-8 or ANSI");
  EXPECT_EQ(WhyNotScriptText("\xFE\xFF\0S"s), "UTF-16 text; save it as UTF-8 or ANSI");
  EXPECT_EQ(WhyNotScriptText("\xFF\xFE\0\0S\0\0\0"s), "UTF-32 text; save it as UTF-8 or ANSI");
  EXPECT_EQ(WhyNotScriptText("MZ\x90\0"s), "not a text file (it holds NUL bytes)");
}

TEST(PapyrusWords, ReservedInAnyLetterCase) {
  for (const char* word : {"ScriptName", "scriptname", "LENGTH", "parent", "AutoReadOnly"})
    EXPECT_TRUE(IsPapyrusReservedWord(word)) << word;
  for (const char* word : {"asScriptName", "text", "Form", "Quest", "Hidden", "Debug", ""})
    EXPECT_FALSE(IsPapyrusReservedWord(word)) << word;
}

}  // namespace
}  // namespace cw::papyrus
