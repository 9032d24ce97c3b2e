#include "tests/support/game_folder.h"

#include <fstream>
#include <random>

namespace cw::test {
namespace fs = std::filesystem;

GameFolder::GameFolder() {
  static std::mt19937_64 random{std::random_device{}()};
  root_ = fs::temp_directory_path() / ("cw_game_" + std::to_string(random()));
  fs::create_directories(root_ / "Data");
}

GameFolder::~GameFolder() {
  std::error_code ec;
  fs::remove_all(root_, ec);
}

void GameFolder::Write(const std::string& relative, const std::string& bytes) const {
  const fs::path file = root_ / relative;
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << bytes;
}

void GameFolder::CopyExamples() const {
  fs::copy(fs::path(CW_SOURCE_DIR) / "examples" / "game", root_,
           fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

}  // namespace cw::test
