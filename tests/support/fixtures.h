#pragma once
// Real files from outside the project (the game's address databases, compiled
// scripts and settings files written by other people's tools) are kept in
// ../shared/fixtures beside the checkout on the project's own machines; a public
// clone has no such folder. A test that needs one starts with
// CW_NEED_FIXTURE(name): without the file it is skipped with one line naming the
// file and where it comes from, and fails instead when the environment variable
// CI is set, so that the project's own runs never skip it quietly.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace cw::test {

// The folder of real files beside the checkout.
std::filesystem::path FixtureFolder();

// The path of a file below that folder, such as "real/Debris.pex".
std::string Fixture(const std::string& name);

// The bytes of a fixture; empty when it cannot be read.
std::string FixtureBytes(const std::string& name);

enum class FixtureVerdict { kPresent, kSkip, kFail };
struct FixtureCheck {
  FixtureVerdict verdict;
  std::string message;  // why, when the file is missing
};
FixtureCheck CheckFixture(const std::filesystem::path& folder, const std::string& name, bool ci);
// The same for FixtureFolder() and the environment's CI.
FixtureCheck CheckFixture(const std::string& name);

}  // namespace cw::test

#define CW_NEED_FIXTURE(name)                                                         \
  do {                                                                                \
    const ::cw::test::FixtureCheck cw_fixture_check = ::cw::test::CheckFixture(name); \
    if (cw_fixture_check.verdict == ::cw::test::FixtureVerdict::kFail)                \
      FAIL() << cw_fixture_check.message;                                             \
    if (cw_fixture_check.verdict == ::cw::test::FixtureVerdict::kSkip)                \
      GTEST_SKIP() << cw_fixture_check.message;                                       \
  } while (false)
