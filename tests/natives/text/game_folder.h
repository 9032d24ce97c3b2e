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

class ScopedGameFolder {
 public:
  ScopedGameFolder() {
    static std::atomic<unsigned> counter{0};
    const std::string name = "cw-game-" + std::to_string(std::random_device{}()) + "-" +
                             std::to_string(counter.fetch_add(1));
    root_ = std::filesystem::temp_directory_path() / name;
    std::filesystem::create_directories(root_);
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(root_);
  }
  ~ScopedGameFolder() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
    std::filesystem::remove_all(root_, ignored);
  }
  ScopedGameFolder(const ScopedGameFolder&) = delete;
  ScopedGameFolder& operator=(const ScopedGameFolder&) = delete;

  // Writes the bytes to a path relative to the game folder, creating its folders.
  void Write(const std::string& relative, std::string_view bytes) const {
    const std::filesystem::path path = root_ / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
  }

  const std::filesystem::path& Root() const { return root_; }

 private:
  std::filesystem::path root_;
  std::filesystem::path previous_;
};

}  // namespace cw
