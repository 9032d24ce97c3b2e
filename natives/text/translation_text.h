#pragma once
// A loaded translation text and its look-up of entries "$" + key + tab + value.
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

namespace cw::text {

// The value of the first occurrence of "$" + key + tab anywhere in the text: from
// right after the tab up to the nearer of the next CR and LF, or to the end.
// Empty when the needle does not occur. A plain search of the whole text.
std::string_view FindTranslationValue(std::string_view text, std::string_view key);

// Keys longer than this are looked up by the plain search, which keeps the cost of
// indexing a text linear in its length whatever its content.
inline constexpr std::size_t kMaxIndexedKeyBytes = 256;

// An immutable translation text with an index of its keys. Every "$" in the text is
// a place where the plain search may match: the bytes after it up to the next tab
// are the only key that matches there. Indexing each "$" by those bytes, first
// occurrence kept, therefore gives the plain search's answer for every key without
// a tab; keys holding a tab (or too long to be indexed) use the plain search.
class TranslationText {
 public:
  explicit TranslationText(std::string text);
  TranslationText(const TranslationText&) = delete;
  TranslationText& operator=(const TranslationText&) = delete;

  const std::string& Text() const { return text_; }
  // Same answer as FindTranslationValue(Text(), key); a view into Text().
  std::string_view Lookup(std::string_view key) const;

 private:
  std::string text_;
  // Key → position of its value; the keys are views into text_.
  std::unordered_map<std::string_view, std::size_t> valueStart_;
};

}  // namespace cw::text
