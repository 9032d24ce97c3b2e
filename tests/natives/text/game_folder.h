#pragma once
// Test helpers for the mod's text files: UTF-16 little-endian bytes, and a
// temporary game folder that is the working directory while it lives.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <system_error>

#include "tests/support/temp_game_folder.h"

namespace cw {

// The UTF-16 little-endian bytes of a UTF-16 text (no byte-order mark added).
inline std::string Utf16LeBytes(std::u16string_view text) {
  std::string bytes;
  for (char16_t unit : text) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
}

// The UTF-16 little-endian bytes of an ASCII text.
inline std::string AsciiUtf16LeBytes(std::string_view text) {
  std::u16string wide(text.begin(), text.end());
  return Utf16LeBytes(wide);
}

// A temporary game folder that is the working directory while it lives.
using ScopedGameFolder = cw::test::TempGameFolder;

}  // namespace cw
