#include "address/database_file.h"

#include <gtest/gtest.h>

#include <string>

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

}  // namespace
}  // namespace cw::address
