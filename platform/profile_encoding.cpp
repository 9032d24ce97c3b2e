#include "platform/profile_encoding.h"

#include <cstdint>

namespace cw::platform {
namespace {

void AppendUtf8(std::string& out, std::uint32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

void AppendUnit(std::string& out, std::uint32_t unit, ProfileEncoding encoding) {
  const char high = static_cast<char>(unit >> 8);
  const char low = static_cast<char>(unit & 0xFF);
  if (encoding == ProfileEncoding::kUtf16Le) {
    out += low;
    out += high;
  } else {
    out += high;
    out += low;
  }
}

bool IsHighSurrogate(std::uint32_t u) {
  return u >= 0xD800 && u <= 0xDBFF;
}
bool IsLowSurrogate(std::uint32_t u) {
  return u >= 0xDC00 && u <= 0xDFFF;
}

// The character of the UTF-8 sequence at text[i] and its length; none (0) when
// the bytes there are no well-formed sequence. Encoded surrogates are taken, as
// the decoder writes a lone one that way.
std::size_t ReadUtf8(std::string_view text, std::size_t i, std::uint32_t& c) {
  const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[k]); };
  const std::uint8_t lead = byte(i);
  std::size_t length;
  std::uint32_t min;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    c = lead & 0x1F;
    min = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    c = lead & 0x0F;
    min = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    c = lead & 0x07;
    min = 0x10000;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    c = (c << 6) | (byte(i + k) & 0x3F);
  }
  return c >= min && c <= 0x10FFFF ? length : 0;
}

}  // namespace

ProfileEncoding EncodingOfProfile(std::string_view bytes) {
  if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE')
    return ProfileEncoding::kUtf16Le;
  if (bytes.size() >= 2 && bytes[0] == '\xFE' && bytes[1] == '\xFF')
    return ProfileEncoding::kUtf16Be;
  return ProfileEncoding::kBytes;
}

std::string DecodeUtf16Profile(std::string_view bytes, ProfileEncoding encoding) {
  const bool little = encoding == ProfileEncoding::kUtf16Le;
  const auto unitAt = [&](std::size_t i) -> std::uint32_t {
    const auto a = static_cast<std::uint8_t>(bytes[i]);
    const auto b = static_cast<std::uint8_t>(bytes[i + 1]);
    return little ? (a | (b << 8)) : ((a << 8) | b);
  };
  std::string text;
  text.reserve(bytes.size() / 2);
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
    const std::uint32_t unit = unitAt(i);
    if (IsHighSurrogate(unit) && i + 3 < bytes.size() && IsLowSurrogate(unitAt(i + 2))) {
      AppendUtf8(text, 0x10000 + ((unit - 0xD800) << 10) + (unitAt(i + 2) - 0xDC00));
      i += 2;
    } else {
      AppendUtf8(text, unit);
    }
  }
  return text;
}

std::string EncodeUtf16Profile(std::string_view text, ProfileEncoding encoding) {
  std::string bytes;
  bytes.reserve(2 + text.size() * 2);
  AppendUnit(bytes, 0xFEFF, encoding);
  for (std::size_t i = 0; i < text.size();) {
    std::uint32_t c;
    const std::size_t length = ReadUtf8(text, i, c);
    if (length == 0) {
      c = static_cast<std::uint8_t>(text[i]);
      i += 1;
    } else {
      i += length;
    }
    if (c >= 0x10000) {
      AppendUnit(bytes, 0xD800 + ((c - 0x10000) >> 10), encoding);
      AppendUnit(bytes, 0xDC00 + ((c - 0x10000) & 0x3FF), encoding);
    } else {
      AppendUnit(bytes, c, encoding);
    }
  }
  return bytes;
}

}  // namespace cw::platform
