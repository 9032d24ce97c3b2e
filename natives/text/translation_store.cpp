#include "natives/text/translation_store.h"

#include <optional>
#include <utility>

#include "natives/text/utf16.h"
#include "natives/text/whole_file.h"
#include "platform/files.h"

namespace cw::text {

void TranslationStore::Load(std::string_view language) noexcept {
  try {
    const std::scoped_lock oneLoadAtATime(loading_);
    SetStatus(load_status::kStarted);
    std::string path;
    path.reserve(kTranslationPathPrefix.size() + language.size() + kTranslationPathSuffix.size());
    path.append(kTranslationPathPrefix).append(language).append(kTranslationPathSuffix);
    auto newPath = std::make_shared<const std::string>(std::move(path));
    {
      const std::scoped_lock lock(swap_);
      path_ = newPath;
    }

    SetStatus(load_status::kOpening);
    FileHandle file;
    try {
      file.reset(platform::OpenRegularFile(*newPath));
    } catch (...) {
      SetText(nullptr);
      SetStatus(load_status::kOpenThrew);
      return;
    }
    SetStatus(load_status::kOpenAttempted);
    if (!file) {
      SetStatus(load_status::kNotOpened);
      return;
    }

    // Decoding happens on the whole buffer once it is read (see DecodeUtf16Le); the
    // two steps that prepare it are kept so the codes follow each other as always.
    SetStatus(load_status::kInstallingDecoder);
    SetStatus(load_status::kCreatingConverter);
    const std::optional<std::string> bytes = ReadWholeFile(file.get(), [this](FileReadStep step) {
      switch (step) {
        case FileReadStep::kMeasuring:
          SetStatus(load_status::kMeasuring);
          break;
        case FileReadStep::kMeasured:
          SetStatus(load_status::kSizingBuffer);
          break;
        case FileReadStep::kRewinding:
          SetStatus(load_status::kRewinding);
          break;
        case FileReadStep::kReading:
          SetStatus(load_status::kReading);
          break;
      }
    });
    if (!bytes) return;  // not measurable or too large: the status shows the step reached

    SetStatus(load_status::kClosing);
    file.reset();

    SetStatus(load_status::kConverting);
    auto text = std::make_shared<const TranslationText>(DecodeUtf16Le(*bytes));
    SetText(std::move(text));
    SetStatus(load_status::kLoaded);
  } catch (...) {
    // Out of memory: the status keeps the last step reached.
  }
}

std::string TranslationStore::Lookup(std::string_view key) const {
  const std::shared_ptr<const TranslationText> text = Text();
  if (!text) return {};
  return std::string(text->Lookup(key));
}

std::uint32_t TranslationStore::Size() const {
  const std::shared_ptr<const TranslationText> text = Text();
  return text ? static_cast<std::uint32_t>(text->Text().size()) : 0;
}

std::string TranslationStore::Path() const {
  std::shared_ptr<const std::string> path;
  {
    const std::scoped_lock lock(swap_);
    path = path_;
  }
  return path ? *path : std::string();
}

std::shared_ptr<const TranslationText> TranslationStore::Text() const {
  const std::scoped_lock lock(swap_);
  return text_;
}

void TranslationStore::SetText(std::shared_ptr<const TranslationText> text) {
  std::shared_ptr<const TranslationText> old;
  {
    const std::scoped_lock lock(swap_);
    old = std::exchange(text_, std::move(text));
  }
  // `old` is released here, outside the lock, so no reader waits for it to be freed.
}

TranslationStore& GlobalTranslationStore() {
  static TranslationStore store;
  return store;
}

}  // namespace cw::text
