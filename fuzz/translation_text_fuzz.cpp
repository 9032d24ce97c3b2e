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

// One code unit after the other: which units end the text and how each accepted
// unit is written in UTF-8.
std::string ReferenceDecode(std::string_view bytes) {
  std::string out;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const unsigned unit =
        static_cast<unsigned char>(bytes[i]) + 256u * static_cast<unsigned char>(bytes[i + 1]);
    const bool highSurrogate = unit >= 0xD800 && unit <= 0xDBFF;
    if (unit == 0 || unit >= 0xFF00 || highSurrogate) break;
    if (unit <= 0x7F) {
      out += static_cast<char>(unit);
    } else if (unit <= 0x7FF) {
      out += static_cast<char>(0xC0 + unit / 64);
      out += static_cast<char>(0x80 + unit % 64);
    } else {
      out += static_cast<char>(0xE0 + unit / 4096);
      out += static_cast<char>(0x80 + (unit / 64) % 64);
      out += static_cast<char>(0x80 + unit % 64);
    }
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
