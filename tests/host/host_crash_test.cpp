// The host never ends without a word: a foreign database is refused before the
// plugin runs on it, and a crash inside the plugin is reported with a status of
// its own.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "host/database_writer.h"
#include "tests/support/game_folder.h"
#include "tests/support/process.h"

namespace cw::test {
namespace {

TEST(HostForeignDatabase, IsRefusedBeforeThePluginRunsOnIt) {
  const sim::DatabaseVersion version;  // 1.5.97.0
  const std::vector<std::uint8_t> real =
      sim::EncodeDatabase(version, "SkyrimSE.exe", {{66859, 0x1000}});
  struct Row {
    std::string bytes;
    bool pluginRuns;  // a file that is no database is the plugin's to refuse
  };
  for (const Row& row :
       {Row{std::string(real.begin(), real.end()), false}, Row{"not a database", true}}) {
    GameFolder game;
    game.Write("Data/SKSE/Plugins/version-1-5-97-0.bin", row.bytes);
    const ProcessResult r = RunHost({"--game-dir", game.str(), "--no-database", "query"});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.out.rfind("refused", 0) == 0, row.pluginRuns) << r.out;
    EXPECT_EQ(r.err.find("did not write") != std::string::npos, !row.pluginRuns) << r.err;
  }
}

ProcessResult RunCrashingPlugin() {
  GameFolder game;
  return RunHost({"--game-dir", game.str(), "--plugin", TestPlugin("cw_crashing_plugin"), "query"});
}

void ExpectCrashReport(const ProcessResult& r) {
  EXPECT_EQ(r.status, 4) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("cradlewright-host: crashed"), std::string::npos) << r.err;
  // What the plugin logged before it crashed is shown, and its log file is gone.
  const std::size_t at = r.err.find("crashing in process ");
  ASSERT_NE(at, std::string::npos) << r.err;
#if !defined(_WIN32)
  const std::string pid = r.err.substr(at + 20, r.err.find('\n', at) - at - 20);
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::temp_directory_path() /
                                       ("cradlewright-host-log-" + pid + ".txt")));
#endif
}

TEST(HostCrash, PrintsTheReportAndEndsWithItsOwnStatus) {
  ExpectCrashReport(RunCrashingPlugin());
}

#if defined(CW_TESTS_WITH_UBSAN)
// The undefined-behaviour sanitizer's finding stops the host as a crash does.
TEST(HostCrash, ASanitizerFindingEndsAsACrashDoes) {
  setenv("CW_CRASH_WITH_UB", "1", 1);
  const ProcessResult r = RunCrashingPlugin();
  unsetenv("CW_CRASH_WITH_UB");
  ExpectCrashReport(r);
  EXPECT_NE(r.err.find("signed integer overflow"), std::string::npos) << r.err;
}
#endif

}  // namespace
}  // namespace cw::test
