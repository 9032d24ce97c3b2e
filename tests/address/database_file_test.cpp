#include "address/database_file.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/temp_game_folder.h"

namespace cw::address {
namespace {

TEST(DatabaseFileFor, TheGameLineDecidesNameFormatAndNumbering) {
  struct Case {
    GameVersion version;
    const char* path;
    bool ae;
  };
  const Case cases[] = {
      {{1, 5, 97, 0}, "Data\\SKSE\\Plugins\\version-1-5-97-0.bin", false},
      {{1, 5, 3, 0}, "Data\\SKSE\\Plugins\\version-1-5-3-0.bin", false},
      {{1, 4, 2, 0}, "Data\\SKSE\\Plugins\\version-1-4-2-0.bin", false},
      {{0, 9, 0, 1}, "Data\\SKSE\\Plugins\\version-0-9-0-1.bin", false},
      {{1, -6, 0, 2147483647}, "Data\\SKSE\\Plugins\\version-1--6-0-2147483647.bin", false},
      {{1, 6, 317, 0}, "Data\\SKSE\\Plugins\\versionlib-1-6-317-0.bin", true},
      {{1, 6, 659, 0}, "Data\\SKSE\\Plugins\\versionlib-1-6-659-0.bin", true},
      {{1, 6, 1170, 0}, "Data\\SKSE\\Plugins\\versionlib-1-6-1170-0.bin", true},
      {{1, 7, 0, 0}, "Data\\SKSE\\Plugins\\versionlib-1-7-0-0.bin", true},
      {{2, 0, 0, 0}, "Data\\SKSE\\Plugins\\versionlib-2-0-0-0.bin", true},
  };
  for (const Case& c : cases) {
    const DatabaseFile file = DatabaseFileFor(c.version);
    EXPECT_EQ(file.path, c.path);
    EXPECT_EQ(file.format, c.ae ? AcceptedFormat::kOnly2 : AcceptedFormat::kOnly1) << c.path;
    EXPECT_EQ(file.numbering, c.ae ? Numbering::kAE : Numbering::kSE) << c.path;
  }
}

// Whole files come back byte for byte, at any size around the requests made;
// what is not a readable file comes back as none.
TEST(ReadFileBytes, ReadsWholeFilesAndNothingElse) {
  test::TempGameFolder game;
  test::TempGameFolder::MakeFolder("Data/SKSE/Plugins/Folder.bin");
  for (const std::size_t size : {0u, 1u, 65535u, 65536u, 65537u, 200000u}) {
    std::string content(size, '\0');
    for (std::size_t i = 0; i < size; ++i) content[i] = static_cast<char>(i * 7 + i / 251);
    test::TempGameFolder::Write("Data/SKSE/Plugins/version-1-5-97-0.bin", content);
    const std::optional<FileBytes> bytes =
        ReadFileBytes("Data\\SKSE\\Plugins\\version-1-5-97-0.bin");
    ASSERT_TRUE(bytes.has_value()) << size;
    EXPECT_EQ(std::string(bytes->begin(), bytes->end()), content) << size;
  }
  EXPECT_EQ(ReadFileBytes("Data/SKSE/Plugins/missing.bin"), std::nullopt);
  EXPECT_EQ(ReadFileBytes("Data/SKSE/Plugins/Folder.bin"), std::nullopt);
}

}  // namespace
}  // namespace cw::address
