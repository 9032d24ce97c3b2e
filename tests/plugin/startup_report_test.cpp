#include "plugin/startup_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plugin/debug_log.h"
#include "plugin/version.h"

namespace cw::startup_report {
namespace {

std::vector<std::string> g_lines;
void Capture(const char* text) {
  g_lines.push_back(text);
}

class StartupReport : public testing::Test {
 protected:
  void SetUp() override {
    g_lines.clear();
    Log().SetCallback(&Capture);
  }
  void TearDown() override {
    Log().SetCallback(nullptr);
    Log().SetLevel(3);
  }
};

TEST_F(StartupReport, OneLineOnceEveryClassHasRegistered) {
  Begin({"1.6.1170.0", "Data\\SKSE\\Plugins\\versionlib-1-6-1170-0.bin", 412345});
  Registered("FWChildEnchant", 4);
  Registered("FWUtility", 41);
  EXPECT_TRUE(g_lines.empty());
  Registered("FWTextContents", 5);
  ASSERT_EQ(g_lines.size(), 1u);
  EXPECT_EQ(g_lines[0], std::string("Cradlewright ") + CW_VERSION_TEXT +
                            ": game 1.6.1170.0, Data\\SKSE\\Plugins\\versionlib-1-6-1170-0.bin "
                            "(412345 entries), natives FWUtility 41, FWChildEnchant 4, "
                            "FWTextContents 5");
  Registered("FWTextContents", 5);  // a repeated callback writes no second line
  EXPECT_EQ(g_lines.size(), 1u);
}

TEST_F(StartupReport, NothingWithoutALoadOrBelowTheMessageLevel) {
  Registered("FWUtility", 41);
  Registered("FWChildEnchant", 4);
  Registered("FWTextContents", 5);
  EXPECT_TRUE(g_lines.empty());

  Log().SetLevel(2);
  Begin({"1.5.97.0", "Data\\SKSE\\Plugins\\version-1-5-97-0.bin", 778674});
  Registered("FWUtility", 41);
  Registered("FWChildEnchant", 4);
  Registered("FWTextContents", 5);
  EXPECT_TRUE(g_lines.empty());
}

}  // namespace
}  // namespace cw::startup_report
