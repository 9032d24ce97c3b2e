#pragma once
// A temporary game folder for tests: removed again when the test ends.
#include <filesystem>
#include <string>

namespace cw::test {

class GameFolder {
 public:
  GameFolder();
  ~GameFolder();
  GameFolder(const GameFolder&) = delete;
  GameFolder& operator=(const GameFolder&) = delete;

  const std::filesystem::path& path() const { return root_; }
  std::string str() const { return root_.string(); }
  // Writes a file below the folder, creating its parent folders.
  void Write(const std::string& relative, const std::string& bytes) const;
  // Copies the example game folder (examples/game) into this one.
  void CopyExamples() const;

 private:
  std::filesystem::path root_;
};

}  // namespace cw::test
