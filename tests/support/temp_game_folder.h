#pragma once
// A fresh game folder below the system's temporary folder that is the working
// directory while the object lives; the old working directory comes back and the
// folder is removed afterwards.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace cw::test {

class TempGameFolder {
 public:
  TempGameFolder() : previous_(std::filesystem::current_path()) {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    root_ = std::filesystem::temp_directory_path() /
            ("cw-game-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(root_ / "Data" / "Cradlewright");
    std::filesystem::current_path(root_);
  }
  ~TempGameFolder() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
    // Read-only files must be writable again before Windows lets them go.
    for (auto it = std::filesystem::recursive_directory_iterator(root_, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored))
      std::filesystem::permissions(it->path(), std::filesystem::perms::owner_write,
                                   std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(root_, ignored);
  }
  TempGameFolder(const TempGameFolder&) = delete;
  TempGameFolder& operator=(const TempGameFolder&) = delete;

  const std::filesystem::path& root() const { return root_; }

  // Writes a file (relative to the game folder, "/" as separator), making its folders.
  static void Write(const std::string& path, std::string_view content) {
    const std::filesystem::path p(path);
    if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
  }

  // The file's bytes, or "<missing>".
  static std::string Read(const std::string& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    if (!in) return "<missing>";
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  static void MakeFolder(const std::string& path) { std::filesystem::create_directories(path); }

  // Removes every write permission (the read-only attribute on Windows). True when
  // the file can no longer be opened for writing: a Windows emulator running as
  // administrator may ignore the attribute.
  static bool MakeReadOnly(const std::string& path) {
    std::filesystem::permissions(path,
                                 std::filesystem::perms::owner_write |
                                     std::filesystem::perms::group_write |
                                     std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove);
#if defined(_WIN32)
    if (std::FILE* file = std::fopen(path.c_str(), "r+")) {
      std::fclose(file);
      return false;
    }
#endif
    return true;
  }

 private:
  std::filesystem::path previous_;
  std::filesystem::path root_;
};

}  // namespace cw::test
