// Translation texts: the indexed look-up against the plain search of the whole
// text, and loading with the index against decoding alone, on a text of about
// 1 MB with 10,000 entries.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "natives/text/translation_text.h"
#include "natives/text/utf16.h"

namespace {

constexpr int kEntries = 10000;
constexpr int kKeysLookedUp = 1024;

struct Translation {
  std::string utf16;  // the file's bytes
  std::string text;   // decoded
  std::vector<std::string> keys;
};

std::string KeyOf(int n) {
  char key[16];
  std::snprintf(key, sizeof key, "Entry%05d", n);
  return key;
}

void PutUnit(std::string& out, unsigned unit) {
  out += static_cast<char>(unit & 0xFF);
  out += static_cast<char>(unit >> 8);
}

// Lines "$EntryNNNNN<TAB>text<CR><LF>" of about 100 bytes, a few characters of
// them outside ASCII, after a byte-order mark; keys looked up in an order spread
// over the whole text, one of 64 missing.
const Translation& Text() {
  static const Translation translation = [] {
    Translation t;
    std::u16string wide = u"\uFEFF";
    for (int n = 0; n < kEntries; ++n) {
      std::u16string line = u"$";
      for (char c : KeyOf(n)) line += static_cast<char16_t>(c);
      line +=
          u"\tDie Gr\u00F6\u00DFe des Kindes w\u00E4chst mit jedem Tag; "
          u"the child grows a little every day.\r\n";
      wide += line;
    }
    for (char16_t unit : wide) PutUnit(t.utf16, unit);
    t.text = cw::text::DecodeUtf16Le(t.utf16);
    std::mt19937 random(5);
    for (int i = 0; i < kKeysLookedUp; ++i)
      t.keys.push_back(i % 64 == 63 ? "Missing" : KeyOf(static_cast<int>(random() % kEntries)));
    // Both look-ups must agree before their speed means anything.
    const cw::text::TranslationText indexed(t.text);
    for (int n = 0; n < kEntries; n += 97)
      if (indexed.Lookup(KeyOf(n)) != cw::text::FindTranslationValue(t.text, KeyOf(n))) {
        std::fprintf(stderr, "translation_bench: the look-ups differ for %s\n", KeyOf(n).c_str());
        std::exit(1);
      }
    return t;
  }();
  return translation;
}

void BM_TranslationLookup_PlainSearch(benchmark::State& state) {
  const Translation& t = Text();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(cw::text::FindTranslationValue(t.text, t.keys[i]));
    i = (i + 1) % t.keys.size();
  }
  state.counters["text_bytes"] = static_cast<double>(t.text.size());
}

void BM_TranslationLookup_Indexed(benchmark::State& state) {
  const Translation& t = Text();
  const cw::text::TranslationText indexed(t.text);
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(indexed.Lookup(t.keys[i]));
    i = (i + 1) % t.keys.size();
  }
}

void BM_TranslationLoad_DecodeOnly(benchmark::State& state) {
  const Translation& t = Text();
  for (auto _ : state) benchmark::DoNotOptimize(cw::text::DecodeUtf16Le(t.utf16));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * t.utf16.size()));
}

void BM_TranslationLoad_DecodeAndIndex(benchmark::State& state) {
  const Translation& t = Text();
  for (auto _ : state) {
    const cw::text::TranslationText indexed(cw::text::DecodeUtf16Le(t.utf16));
    benchmark::DoNotOptimize(indexed.Text().data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * t.utf16.size()));
}

BENCHMARK(BM_TranslationLookup_PlainSearch)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TranslationLookup_Indexed)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TranslationLoad_DecodeOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TranslationLoad_DecodeAndIndex)->Unit(benchmark::kMillisecond);

}  // namespace
