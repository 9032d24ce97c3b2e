// The order in which the POSIX directory search lists a folder: "." and "..",
// then names without regard to ASCII case, as NTFS would list them.
#if !defined(_WIN32)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/dir_search.h"
#include "tests/support/temp_game_folder.h"

namespace cw::platform {
namespace {

std::vector<std::string> Listing(const std::string& pattern) {
  std::vector<std::string> names;
  ForEachDirectoryEntry(pattern, [&names](const char* name) {
    names.emplace_back(name);
    return true;
  });
  return names;
}

TEST(PosixDirectorySearchOrder, DotsFirstThenNamesWithoutRegardToCase) {
  test::TempGameFolder game;
  // Created out of order; "a" and "A" differ only by case, "ab" continues "a".
  for (const char* name : {"b", "ab", "A", "_x", "a", "B1", "Z", "a.txt", "~"})
    test::TempGameFolder::Write(std::string("order/") + name, "x");
  // Compared lower-cased: "_" (0x5F) sorts before the letters, "~" (0x7E) after them.
  const std::vector<std::string> expected = {".",  "..", "_x", "A", "a", "a.txt",
                                             "ab", "b",  "B1", "Z", "~"};
  EXPECT_EQ(Listing("order/*"), expected);
}

TEST(PosixDirectorySearchOrder, OnlyMatchingNamesInTheSameOrder) {
  test::TempGameFolder game;
  for (const char* name : {"c.TXT", "B.txt", "a.log", "A.txt", "b.log"})
    test::TempGameFolder::Write(std::string("order/") + name, "x");
  EXPECT_EQ(Listing("order/*.txt"), (std::vector<std::string>{"A.txt", "B.txt", "c.TXT"}));
}

}  // namespace
}  // namespace cw::platform
#endif
