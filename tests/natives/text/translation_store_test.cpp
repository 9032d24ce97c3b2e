#include "natives/text/translation_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "tests/natives/text/game_folder.h"

namespace cw {
namespace {

using text::TranslationStore;
namespace status = text::load_status;

const std::string kFolder = "Data/Interface/Translations/";
const std::string kBom = "\xFF\xFE";

std::string FileOf(const std::string& language) {
  return kFolder + "Cradlewright_" + language + ".txt";
}

TEST(TranslationStore, StartsEmpty) {
  const TranslationStore store;
  EXPECT_EQ(store.Status(), 99u);
  EXPECT_EQ(store.Size(), 0u);
  EXPECT_EQ(store.Path(), "");
  EXPECT_EQ(store.Lookup("Greeting"), "");
  EXPECT_EQ(store.Lookup(""), "");
}

TEST(TranslationStore, LoadsTheLanguageFile) {
  ScopedGameFolder game;
  game.Write(FileOf("ENGLISH"), AsciiUtf16LeBytes("$Greeting\tHello\r\n$Farewell\tBye"));
  TranslationStore store;
  store.Load("ENGLISH");
  EXPECT_EQ(store.Status(), status::kLoaded);
  EXPECT_EQ(store.Path(), "Data/Interface/Translations/Cradlewright_ENGLISH.txt");
  EXPECT_EQ(store.Lookup("Greeting"), "Hello");
  EXPECT_EQ(store.Lookup("Farewell"), "Bye");
  EXPECT_EQ(store.Lookup("$Greeting"), "");
  EXPECT_EQ(store.Lookup("greeting"), "");
  EXPECT_EQ(store.Size(), 30u);
}

TEST(TranslationStore, EmptyLanguageNamesTheBareFile) {
  ScopedGameFolder game;
  game.Write(FileOf(""), AsciiUtf16LeBytes("$A\tbare"));
  TranslationStore store;
  store.Load("");
  EXPECT_EQ(store.Path(), "Data/Interface/Translations/Cradlewright_.txt");
  EXPECT_EQ(store.Status(), status::kLoaded);
  EXPECT_EQ(store.Lookup("A"), "bare");
}

TEST(TranslationStore, ByteOrderMarkCountsThreeBytes) {
  ScopedGameFolder game;
  game.Write(FileOf("A"), AsciiUtf16LeBytes("$K\tv\r\n"));
  game.Write(FileOf("B"), kBom + AsciiUtf16LeBytes("$K\tv\r\n"));
  TranslationStore store;
  store.Load("A");
  const std::uint32_t plain = store.Size();
  store.Load("B");
  EXPECT_EQ(store.Size(), plain + 3);
  EXPECT_EQ(store.Lookup("K"), "v");
}

struct ContentCase {
  const char* name;
  std::string fileBytes;
  std::string key;
  std::string value;
  std::uint32_t size;
};

class TranslationFileContent : public ::testing::TestWithParam<ContentCase> {};

TEST_P(TranslationFileContent, LoadsAndLooksUp) {
  const ContentCase& c = GetParam();
  ScopedGameFolder game;
  game.Write(FileOf("TEST"), c.fileBytes);
  TranslationStore store;
  store.Load("TEST");
  EXPECT_EQ(store.Status(), status::kLoaded);
  EXPECT_EQ(store.Lookup(c.key), c.value);
  EXPECT_EQ(store.Size(), c.size);
}

INSTANTIATE_TEST_SUITE_P(
    Files, TranslationFileContent,
    ::testing::Values(
        ContentCase{"FullWidthLetterIsKept",
                    Utf16LeBytes(u"$A\tab\xFF28"
                                 u"cd\r\n$B\tx\r\n"),
                    "A",
                    "ab\xEF\xBC\xA8"
                    "cd",
                    18},
        ContentCase{"EntryAfterFullWidthLetterIsKept",
                    Utf16LeBytes(u"$A\tab\xFF28"
                                 u"cd\r\n$B\tx\r\n"),
                    "B", "x", 18},
        ContentCase{"EntryAfterLoneSurrogateIsGone",
                    Utf16LeBytes(u"$A\tab\xDC00"
                                 u"cd\r\n$B\tx\r\n"),
                    "B", "", 5},
        ContentCase{"NulEndsText", Utf16LeBytes(std::u16string(u"$A\tx\0\r\n$B\ty", 11)), "B", "",
                    4},
        ContentCase{"BigEndianFileIsEmpty", "\xFE\xFF" + std::string("\0$\0A\0\t\0x", 8), "A", "",
                    0},
        ContentCase{"EmptyFile", "", "A", "", 0},
        ContentCase{"OddByteIgnored", AsciiUtf16LeBytes("$A\tx") + "z", "A", "x", 4},
        ContentCase{"LineFeedsOnly", AsciiUtf16LeBytes("$A\tx\n$B\ty\n"), "B", "y", 10},
        ContentCase{"GermanUmlaut", kBom + Utf16LeBytes(u"$A\tT\u00FCr\r\n"), "A", "T\xC3\xBCr",
                    3 + 9}),
    [](const ::testing::TestParamInfo<ContentCase>& info) { return std::string(info.param.name); });

TEST(TranslationStore, SizeIsTheUtf8Length) {
  // 1234 bytes of UTF-8: the entry line (12 bytes) and 611 two-byte characters.
  std::u16string content = u"$Long\tvalue:";
  content.append(611, u'\u00E9');
  ScopedGameFolder game;
  game.Write(FileOf("LONG"), Utf16LeBytes(content));
  TranslationStore store;
  store.Load("LONG");
  EXPECT_EQ(store.Size(), 1234u);
  EXPECT_EQ(store.Lookup("Long").size(), 1234u - 6);
}

TEST(TranslationStore, MissingFileKeepsTheOldText) {
  ScopedGameFolder game;
  game.Write(FileOf("ENGLISH"), AsciiUtf16LeBytes("$Greeting\tHello\r\n"));
  TranslationStore store;
  store.Load("ENGLISH");
  store.Load("KLINGON");
  EXPECT_EQ(store.Status(), status::kNotOpened);
  EXPECT_EQ(store.Path(), FileOf("KLINGON"));
  EXPECT_EQ(store.Lookup("Greeting"), "Hello");
  EXPECT_EQ(store.Size(), 17u);
}

TEST(TranslationStore, MissingFileBeforeAnyLoad) {
  ScopedGameFolder game;
  TranslationStore store;
  store.Load("NONE");
  EXPECT_EQ(store.Status(), status::kNotOpened);
  EXPECT_EQ(store.Path(), FileOf("NONE"));
  EXPECT_EQ(store.Size(), 0u);
}

TEST(TranslationStore, LaterLoadReplacesTheText) {
  ScopedGameFolder game;
  game.Write(FileOf("ENGLISH"), AsciiUtf16LeBytes("$Greeting\tHello\r\n$Only\tenglish\r\n"));
  game.Write(FileOf("GERMAN"), AsciiUtf16LeBytes("$Greeting\tHallo\r\n"));
  TranslationStore store;
  store.Load("ENGLISH");
  store.Load("GERMAN");
  EXPECT_EQ(store.Lookup("Greeting"), "Hallo");
  EXPECT_EQ(store.Lookup("Only"), "");
}

// A file of 2 GiB is not read: the load ends once the size is known, the file is
// closed and the previous text stays. The file is sparse, so nothing is written.
TEST(TranslationStore, FileOfTwoGibibytesIsRefused) {
  ScopedGameFolder game;
  game.Write(FileOf("ENGLISH"), AsciiUtf16LeBytes("$Greeting\tHello\r\n"));
  game.Write(FileOf("HUGE"), "");
  std::error_code error;
  std::filesystem::resize_file(game.root() / FileOf("HUGE"), std::uintmax_t{1} << 31, error);
  if (error) GTEST_SKIP() << "no sparse file: " << error.message();
  TranslationStore store;
  store.Load("ENGLISH");
  store.Load("HUGE");
  EXPECT_EQ(store.Status(), status::kSizingBuffer);
  EXPECT_EQ(store.Path(), FileOf("HUGE"));
  EXPECT_EQ(store.Lookup("Greeting"), "Hello");
  std::filesystem::remove(game.root() / FileOf("HUGE"), error);
  EXPECT_FALSE(error) << "file still open: " << error.message();
}

}  // namespace
}  // namespace cw
