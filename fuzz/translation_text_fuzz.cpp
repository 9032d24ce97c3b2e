// A translation file: its UTF-16 decoding against a unit-by-unit reference, and
// the indexed key look-up against the plain search of the whole text.
//
// Input: one byte N, then N bytes of a key asked for as well (fewer when the
// input ends), then the bytes of the file.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "natives/text/translation_text.h"
#include "natives/text/utf16.h"

namespace cw::fuzz {
namespace {

// One code point after the other: which units end the text and how each
// character is written in UTF-8.
std::string ReferenceDecode(std::string_view bytes) {
  std::vector<std::uint32_t> units;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
    units.push_back(static_cast<unsigned char>(bytes[i]) +
                    256u * static_cast<unsigned char>(bytes[i + 1]));
  std::string out;
  for (std::size_t i = 0; i < units.size(); ++i) {
    std::uint32_t c = units[i];
    if (c == 0 || c == 0xFFFE || c == 0xFFFF || (c >= 0xDC00 && c <= 0xDFFF)) break;
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 1 == units.size() || units[i + 1] < 0xDC00 || units[i + 1] > 0xDFFF) break;
      c = 0x10000 + (c - 0xD800) * 1024 + (units[++i] - 0xDC00);
    }
    const int extra = c <= 0x7F ? 0 : c <= 0x7FF ? 1 : c <= 0xFFFF ? 2 : 3;
    static const unsigned char kLead[] = {0x00, 0xC0, 0xE0, 0xF0};
    out += static_cast<char>(kLead[extra] + (c >> (6 * extra)));
    for (int k = extra - 1; k >= 0; --k) out += static_cast<char>(0x80 + ((c >> (6 * k)) & 0x3F));
  }
  return out;
}

// Keys worth asking for: for a sample of the "$" signs of the text, the bytes
// after it up to the next tab (a key that is there), up to the tab after that (a
// key holding a tab), a prefix and an extension of the first; keys of more bytes
// than are indexed; the empty key.
std::vector<std::string> KeysOf(std::string_view text) {
  std::vector<std::string> keys{std::string(), std::string(text::kMaxIndexedKeyBytes + 1, 'k')};
  std::size_t dollars = 0;
  for (std::size_t at = text.find('$'); at != std::string_view::npos && dollars < 64;
       at = text.find('$', at + 1), ++dollars) {
    const std::size_t tab = text.find('\t', at + 1);
    if (tab == std::string_view::npos) {
      keys.emplace_back(text.substr(at + 1));
      continue;
    }
    const std::string key(text.substr(at + 1, tab - at - 1));
    keys.push_back(key);
    keys.push_back(key.substr(0, key.size() / 2));
    keys.push_back(key + "x");
    const std::size_t nextTab = text.find('\t', tab + 1);
    keys.emplace_back(text.substr(
        at + 1, nextTab == std::string_view::npos ? std::string_view::npos : nextTab - at - 1));
  }
  return keys;
}

}  // namespace
}  // namespace cw::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace cw;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  if (input.empty()) return 0;
  const auto [askedKey, file] = fuzz::SplitKeyAndFile(input);

  std::string decoded = text::DecodeUtf16Le(file);
  CW_FUZZ_CHECK(decoded == fuzz::ReferenceDecode(file));
  CW_FUZZ_CHECK(decoded.find('\0') == std::string::npos);

  // The file's own bytes as a text too: any byte may occur there.
  for (std::string content : {std::move(decoded), std::string(file)}) {
    std::vector<std::string> keys = fuzz::KeysOf(content);
    keys.emplace_back(askedKey);
    const text::TranslationText indexed(content);
    for (const std::string& key : keys) {
      const std::string_view plain = text::FindTranslationValue(content, key);
      const std::string_view found = indexed.Lookup(key);
      CW_FUZZ_CHECK(found == plain);
      CW_FUZZ_CHECK(found.find_first_of("\r\n") == std::string_view::npos);
    }
  }
  return 0;
}
