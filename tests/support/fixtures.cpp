#include "tests/support/fixtures.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace cw::test {
namespace fs = std::filesystem;

fs::path FixtureFolder() {
  return fs::path(CW_SOURCE_DIR).parent_path() / "shared" / "fixtures";
}

std::string Fixture(const std::string& name) {
  return (FixtureFolder() / name).string();
}

std::string FixtureBytes(const std::string& name) {
  std::ifstream in(Fixture(name), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

FixtureCheck CheckFixture(const fs::path& folder, const std::string& name, bool ci) {
  std::error_code ec;
  if (fs::is_regular_file(folder / name, ec)) return {FixtureVerdict::kPresent, {}};
  const std::string what =
      "missing " + (folder / name).string() +
      ": a real file from outside the project, kept in ../shared/fixtures "
      "beside the checkout on the project's own machines (README: Contributing)";
  if (ci) return {FixtureVerdict::kFail, what + "; CI is set, so this fails instead of skipping"};
  return {FixtureVerdict::kSkip, what};
}

FixtureCheck CheckFixture(const std::string& name) {
  const char* ci = std::getenv("CI");
  return CheckFixture(FixtureFolder(), name, ci != nullptr && *ci != '\0');
}

}  // namespace cw::test
