#pragma once
// The one process-wide translation text: loaded from the mod's translation file of
// a language, read by key from any thread.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "natives/text/translation_text.h"

namespace cw::text {

// Progress and result of the last load, in the order a load passes through them.
namespace load_status {
inline constexpr std::uint32_t kNotAttempted = 99;
inline constexpr std::uint32_t kStarted = 1;
inline constexpr std::uint32_t kOpening = 2;
inline constexpr std::uint32_t kOpenThrew = 4;  // final: text emptied
inline constexpr std::uint32_t kOpenAttempted = 3;
inline constexpr std::uint32_t kNotOpened = 16;  // final: no regular file opened; text unchanged
inline constexpr std::uint32_t kInstallingDecoder = 5;
inline constexpr std::uint32_t kCreatingConverter = 6;
inline constexpr std::uint32_t kMeasuring = 8;
inline constexpr std::uint32_t kSizingBuffer = 9;
inline constexpr std::uint32_t kRewinding = 10;
inline constexpr std::uint32_t kReading = 11;
inline constexpr std::uint32_t kClosing = 12;
inline constexpr std::uint32_t kConverting = 14;
inline constexpr std::uint32_t kLoaded = 15;  // final: text replaced
}  // namespace load_status

inline constexpr std::string_view kTranslationPathPrefix =
    "Data/Interface/Translations/Cradlewright_";
inline constexpr std::string_view kTranslationPathSuffix = ".txt";

// Readers never wait for a load: a load builds the new text (with its index) and the
// new path aside and swaps each in whole, so a reader sees either the old or the new
// one. Loads run one at a time. The status is a plain atomic code that readers may
// see at any step of a load in progress.
class TranslationStore {
 public:
  // Loads "Data/Interface/Translations/Cradlewright_" + language + ".txt". The path
  // is kept whatever the outcome; the text is replaced only by a successful load,
  // and emptied when opening the file raises an exception. Never throws: a load cut
  // short (out of memory, a file that cannot be measured or of 2 GiB or more) leaves
  // the status at the step it reached and the text unchanged.
  void Load(std::string_view language) noexcept;

  // The value of the entry "$" + key + tab, or the empty text.
  std::string Lookup(std::string_view key) const;
  // Length of the loaded text in UTF-8 bytes, low 32 bits.
  std::uint32_t Size() const;
  // Path of the last attempted load; empty before the first.
  std::string Path() const;
  std::uint32_t Status() const { return status_.load(); }

 private:
  std::shared_ptr<const TranslationText> Text() const;
  void SetText(std::shared_ptr<const TranslationText> text);
  void SetStatus(std::uint32_t code) { status_.store(code); }

  std::atomic<std::uint32_t> status_{load_status::kNotAttempted};
  std::mutex loading_;                           // held for a whole load
  mutable std::mutex swap_;                      // held only to copy or replace the two pointers
  std::shared_ptr<const TranslationText> text_;  // null: empty text
  std::shared_ptr<const std::string> path_;      // null: empty path
};

// The store the natives use; it lives until the library is unloaded.
TranslationStore& GlobalTranslationStore();

}  // namespace cw::text
