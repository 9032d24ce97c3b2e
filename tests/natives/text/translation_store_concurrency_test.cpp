#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "natives/text/translation_store.h"
#include "tests/natives/text/game_folder.h"

namespace cw {
namespace {

bool IsStepOfASuccessfulLoad(std::uint32_t code) {
  for (std::uint32_t step : {1, 2, 3, 5, 6, 8, 9, 10, 11, 12, 14, 15})
    if (code == step) return true;
  return false;
}

void StartTogether(std::atomic<int>& waiting) {
  waiting.fetch_sub(1);
  while (waiting.load() > 0) std::this_thread::yield();
}

// Loads of two languages in turn race with look-ups: every answer a reader gets
// belongs wholly to one of the two languages.
TEST(TranslationStoreConcurrency, ReadersSeeOneLanguageOrTheOther) {
  ScopedGameFolder game;
  const std::string english = "$Greeting\tHello there\r\n$Farewell\tGoodbye\r\n";
  const std::string german = "$Greeting\tGuten Tag\r\n$Farewell\tAuf Wiedersehen, Freund\r\n";
  game.Write("Data/Interface/Translations/Cradlewright_ENGLISH.txt", AsciiUtf16LeBytes(english));
  game.Write("Data/Interface/Translations/Cradlewright_GERMAN.txt", AsciiUtf16LeBytes(german));
  const std::string englishPath = "Data/Interface/Translations/Cradlewright_ENGLISH.txt";
  const std::string germanPath = "Data/Interface/Translations/Cradlewright_GERMAN.txt";

  text::TranslationStore store;
  store.Load("ENGLISH");
  ASSERT_EQ(store.Lookup("Greeting"), "Hello there");

  constexpr int kLoaders = 3;
  constexpr int kReaders = 3;
  constexpr int kLoadsEach = 150;
  std::atomic<int> waiting{kLoaders + kReaders};  // all start together
  std::atomic<int> loadersLeft{kLoaders};
  std::atomic<int> badAnswers{0};
  std::atomic<long> reads{0};
  std::vector<std::thread> threads;
  for (int i = 0; i < kLoaders; ++i) {
    threads.emplace_back([&, i] {
      StartTogether(waiting);
      for (int n = 0; n < kLoadsEach; ++n) store.Load((n + i) % 2 == 0 ? "GERMAN" : "ENGLISH");
      loadersLeft.fetch_sub(1);
    });
  }
  for (int i = 0; i < kReaders; ++i) {
    threads.emplace_back([&] {
      StartTogether(waiting);
      do {
        const std::string greeting = store.Lookup("Greeting");
        const std::string farewell = store.Lookup("Farewell");
        const std::uint32_t size = store.Size();
        const std::string path = store.Path();
        const std::uint32_t code = store.Status();
        if (greeting != "Hello there" && greeting != "Guten Tag") ++badAnswers;
        if (farewell != "Goodbye" && farewell != "Auf Wiedersehen, Freund") ++badAnswers;
        if (size != english.size() && size != german.size()) ++badAnswers;
        if (path != englishPath && path != germanPath) ++badAnswers;
        if (!IsStepOfASuccessfulLoad(code)) ++badAnswers;
        ++reads;
      } while (loadersLeft.load() > 0);
    });
  }
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(badAnswers.load(), 0);
  EXPECT_GT(reads.load(), 0);
  EXPECT_EQ(store.Status(), text::load_status::kLoaded);
}

}  // namespace
}  // namespace cw
