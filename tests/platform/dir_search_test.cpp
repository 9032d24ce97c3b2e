#include "platform/dir_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/temp_game_folder.h"

namespace cw::platform {
namespace {

std::vector<std::string> Search(const std::string& pattern) {
  std::vector<std::string> names;
  ForEachDirectoryEntry(pattern, [&names](const char* name) {
    names.emplace_back(name);
    return true;
  });
  std::sort(names.begin(), names.end());
  return names;
}

struct SearchCase {
  const char* pattern;
  std::vector<std::string> names;  // sorted by byte value
};

class DirectorySearchTest : public testing::TestWithParam<SearchCase> {
 protected:
  void SetUp() override {
    // No name here has a short 8.3 alias that a pattern could match instead.
    for (const char* file : {"a.txt", "B.TXT", "c.log", "noext", "two.dots.txt", "f.tx", ".hidden"})
      test::TempGameFolder::Write(std::string("ds/") + file, "x");
    test::TempGameFolder::MakeFolder("ds/Sub");
    test::TempGameFolder::MakeFolder("ds/d.txt");
  }
  test::TempGameFolder game_;
};

TEST_P(DirectorySearchTest, DeliversTheMatchingEntries) {
  EXPECT_EQ(Search(GetParam().pattern), GetParam().names) << GetParam().pattern;
}

const std::vector<std::string> kAll = {".",     "..",    ".hidden", "B.TXT", "Sub",         "a.txt",
                                       "c.log", "d.txt", "f.tx",    "noext", "two.dots.txt"};

INSTANTIATE_TEST_SUITE_P(
    Patterns, DirectorySearchTest,
    testing::Values(SearchCase{"ds\\*.txt", {"B.TXT", "a.txt", "d.txt", "two.dots.txt"}},
                    SearchCase{"ds/*.txt", {"B.TXT", "a.txt", "d.txt", "two.dots.txt"}},
                    SearchCase{"DS/*.TXT", {"B.TXT", "a.txt", "d.txt", "two.dots.txt"}},
                    SearchCase{"ds/*.*", kAll}, SearchCase{"ds/*", kAll}, SearchCase{"ds/*.", kAll},
                    SearchCase{"ds/*.tx", {"f.tx"}}, SearchCase{"ds/*.log", {"c.log"}},
                    SearchCase{"ds/*.x", {}}, SearchCase{"ds/.*", {".", "..", ".hidden"}},
                    SearchCase{"ds/A.TXT", {"a.txt"}}, SearchCase{"ds/", {}},
                    SearchCase{"ds/Sub/*.*", {".", ".."}}, SearchCase{"ds/sub/*.*", {".", ".."}},
                    SearchCase{"ds/Sub/*.txt", {}}, SearchCase{"ds\\\\*.log", {"c.log"}},
                    SearchCase{"ds/Sub/../*.log", {"c.log"}}, SearchCase{"nodir/*.*", {}},
                    SearchCase{"ds/a.txt/*.*", {}}));

TEST(DirectorySearch, StopsWhenAskedAndKeepsItsOrder) {
  test::TempGameFolder game;
  for (const char* file : {"a.txt", "b.txt", "c.txt"})
    test::TempGameFolder::Write(std::string("ds/") + file, "x");
  std::vector<std::string> first, again;
  ForEachDirectoryEntry("ds/*.txt", [&first](const char* name) {
    first.emplace_back(name);
    return first.size() < 2;
  });
  EXPECT_EQ(first.size(), 2u);
  ForEachDirectoryEntry("ds/*.txt", [&again](const char* name) {
    again.emplace_back(name);
    return true;
  });
  ASSERT_EQ(again.size(), 3u);
  EXPECT_TRUE(std::equal(first.begin(), first.end(), again.begin()));
}

}  // namespace
}  // namespace cw::platform
