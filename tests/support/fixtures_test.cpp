// A missing real file skips its test on a public clone and fails it under CI.
#include "tests/support/fixtures.h"

#include "tests/support/temp_game_folder.h"

namespace cw::test {
namespace {

TEST(Fixtures, AMissingFileSkipsOutsideCIAndFailsInIt) {
  TempGameFolder folder;
  folder.Write("real/here.bin", "x");
  const std::filesystem::path root = std::filesystem::current_path();
  EXPECT_EQ(CheckFixture(root, "real/here.bin", true).verdict, FixtureVerdict::kPresent);

  const FixtureCheck skip = CheckFixture(root, "real/gone.bin", false);
  EXPECT_EQ(skip.verdict, FixtureVerdict::kSkip);
  EXPECT_NE(skip.message.find("gone.bin"), std::string::npos) << skip.message;
  EXPECT_NE(skip.message.find("../shared/fixtures"), std::string::npos) << skip.message;
  EXPECT_EQ(skip.message.find('\n'), std::string::npos) << skip.message;
  EXPECT_EQ(CheckFixture(root, "real/gone.bin", true).verdict, FixtureVerdict::kFail);
  EXPECT_EQ(CheckFixture(root, "real", false).verdict, FixtureVerdict::kSkip);  // a folder
}

}  // namespace
}  // namespace cw::test
