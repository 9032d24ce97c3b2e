// What the simulated script extender of the 1.6 line decides from a plugin's
// version record, before it loads the plugin.
#include <gtest/gtest.h>

#include <cstring>

#include "host/session.h"
#include "host/skse_host.h"

namespace cw::sim {
namespace {

struct RecordCase {
  const char* name;
  std::uint32_t dataVersion;
  std::uint32_t structureFlags;
  std::uint32_t independenceFlags;
  std::uint32_t compatible;  // one listed runtime, 0: none
  std::uint32_t minimumExtender;
  std::uint32_t runtime;
  const char* refusal;  // empty: accepted
};

class VersionRecordCheck : public testing::TestWithParam<RecordCase> {};

TEST_P(VersionRecordCheck, AcceptsOrSaysWhyNot) {
  const RecordCase& c = GetParam();
  skse::VersionRecord record{};
  record.dataVersion = c.dataVersion;
  record.structureFlags = c.structureFlags;
  record.independenceFlags = c.independenceFlags;
  record.compatibleVersions[0] = c.compatible;
  record.minimumExtenderVersion = c.minimumExtender;
  std::string why;
  const bool accepted =
      AcceptsVersionRecord(&record, c.runtime, PackRuntimeVersion(2, 2, 6, 0), &why);
  EXPECT_EQ(accepted, *c.refusal == '\0') << why;
  if (!accepted) {
    EXPECT_NE(why.find(c.refusal), std::string::npos) << why;
  }
}

const std::uint32_t k1170 = PackRuntimeVersion(1, 6, 1170, 0);
const std::uint32_t k353 = PackRuntimeVersion(1, 6, 353, 0);

INSTANTIATE_TEST_SUITE_P(
    Records, VersionRecordCheck,
    testing::Values(RecordCase{"AddressLibraryAndNoChangedStructures", 1, 1, 1, 0, 0, k1170, ""},
                    RecordCase{"BuiltForTheNewStructures", 1, 0, 1 | 4, 0, 0, k1170, ""},
                    RecordCase{"NoStructureBitBefore629", 1, 0, 1, 0, 0, k353, ""},
                    RecordCase{"NoStructureBitFrom629", 1, 0, 1, 0, 0, k1170,
                               "earlier than 1.6.629"},
                    RecordCase{"BadDataVersion", 2, 1, 1, 0, 0, k1170, "bad version data"},
                    RecordCase{"ListedRuntime", 1, 1, 0, k1170, 0, k1170, ""},
                    RecordCase{"UnlistedRuntime", 1, 1, 0, k353, 0, k1170, "not compatible"},
                    RecordCase{"NewerExtenderNeeded", 1, 1, 1, 0, PackRuntimeVersion(2, 3, 0, 0),
                               k1170, "newer script extender"}),
    [](const testing::TestParamInfo<RecordCase>& info) { return std::string(info.param.name); });

TEST(VersionRecordCheck, APluginWithoutARecordIsNotLoaded) {
  std::string why;
  EXPECT_FALSE(AcceptsVersionRecord(nullptr, k1170, 0, &why));
  EXPECT_NE(why.find("no SKSEPlugin_Version"), std::string::npos) << why;
}

}  // namespace
}  // namespace cw::sim
