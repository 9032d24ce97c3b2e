#include "natives/text/translation_text.h"

namespace cw::text {
namespace {

std::string_view ValueAt(std::string_view text, std::size_t start) {
  const std::size_t end = text.find_first_of("\r\n", start);
  return text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
}

}  // namespace

std::string_view FindTranslationValue(std::string_view text, std::string_view key) {
  if (text.empty()) return {};
  std::string needle;
  needle.reserve(key.size() + 2);
  needle.append(1, '$').append(key).append(1, '\t');
  const std::size_t at = text.find(needle);
  if (at == std::string_view::npos) return {};
  return ValueAt(text, at + needle.size());
}

TranslationText::TranslationText(std::string text) : text_(std::move(text)) {
  const std::string_view all(text_);
  constexpr auto npos = std::string_view::npos;
  // `tab` is the first tab after the current "$", found again only when the "$"
  // has passed it, so the whole walk is linear.
  std::size_t tab = 0;
  for (std::size_t dollar = all.find('$'); dollar != npos; dollar = all.find('$', dollar + 1)) {
    if (tab <= dollar) {
      tab = all.find('\t', dollar + 1);
      if (tab == npos) break;  // no tab follows: no needle can match from here on
    }
    const std::size_t length = tab - dollar - 1;
    if (length > kMaxIndexedKeyBytes) continue;
    valueStart_.try_emplace(all.substr(dollar + 1, length), tab + 1);
  }
}

std::string_view TranslationText::Lookup(std::string_view key) const {
  if (key.size() > kMaxIndexedKeyBytes || key.find('\t') != std::string_view::npos)
    return FindTranslationValue(text_, key);
  const auto found = valueStart_.find(key);
  if (found == valueStart_.end()) return {};
  return ValueAt(text_, found->second);
}

}  // namespace cw::text
