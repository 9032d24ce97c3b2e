#include "plugin/lifecycle.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plugin/debug_log.h"
#include "plugin/registration.h"

namespace cw::lifecycle {
namespace {

std::vector<std::string> g_events;
bool g_offerSerialization = true;
std::string g_logged;

void Claim(std::uint32_t handle, std::uint32_t id) {
  g_events.push_back("claim " + std::to_string(handle) + " " + std::to_string(id));
}
bool Register(skse::RegistrationCallback callback) {
  const char* name = callback == &RegisterFWUtility        ? "FWUtility"
                     : callback == &RegisterNothing        ? "Nothing"
                     : callback == &RegisterFWChildEnchant ? "FWChildEnchant"
                     : callback == &RegisterFWTextContents ? "FWTextContents"
                                                           : "?";
  g_events.push_back(std::string("register ") + name);
  return true;
}
skse::SerializationInterface g_serialization{1, 0, &Claim};
skse::PapyrusInterface g_papyrus{1, 0, &Register};
void* QueryInterface(std::uint32_t id) {
  g_events.push_back("query " + std::to_string(id));
  if (id == 3) return g_offerSerialization ? &g_serialization : nullptr;
  if (id == 2) return &g_papyrus;
  return nullptr;
}
std::uint32_t Handle() {
  return 42;
}
void Logged(const char* text) {
  g_logged += text;
}

class Lifecycle : public testing::Test {
 protected:
  void SetUp() override {
    g_events.clear();
    g_logged.clear();
    g_offerSerialization = true;
    Interfaces() = HostInterfaces{};
    skse_.runtimeVersion = 0x01050610;
    skse_.QueryInterface = &QueryInterface;
    skse_.GetPluginHandle = &Handle;
    Log().SetCallback(&Logged);
  }
  void TearDown() override { Log().SetCallback(nullptr); }
  skse::Interface skse_{};
  skse::PluginInfo info_{};
};

TEST_F(Lifecycle, AcceptsAndLoadsInOrder) {
  ASSERT_TRUE(Query(&skse_, &info_, {true, false}));
  EXPECT_EQ(info_.infoVersion, 1u);
  EXPECT_STREQ(info_.name, "Cradlewright");
  EXPECT_EQ(info_.version, 6u);
  EXPECT_TRUE(Load(&skse_));
  const std::vector<std::string> expected = {"query 3",
                                             "query 2",
                                             "claim 42 1129787696",
                                             "register FWUtility",
                                             "register Nothing",
                                             "register FWChildEnchant",
                                             "register FWTextContents"};
  EXPECT_EQ(g_events, expected);
  EXPECT_TRUE(g_logged.empty());
}

TEST_F(Lifecycle, TheEditorIsRefusedSilently) {
  skse_.isEditor = 1;
  EXPECT_FALSE(Query(&skse_, &info_, {true, false}));
  EXPECT_TRUE(g_events.empty());
  EXPECT_TRUE(g_logged.empty());
  EXPECT_EQ(Interfaces().pluginHandle, 42u);
  EXPECT_STREQ(info_.name, "Cradlewright");
}

TEST_F(Lifecycle, AnUnsupportedRuntimeIsRefusedWithTheMessage) {
  EXPECT_FALSE(Query(&skse_, &info_, {false, true}));
  EXPECT_EQ(g_logged,
            "unsupported runtime version 01050610\nAddr Library not loaded\n IsLoaded: 0 "
            "HasBadQuery:1");
  EXPECT_TRUE(g_events.empty());  // no interface is asked for
  EXPECT_EQ(info_.version, 6u);
}

TEST_F(Lifecycle, ALowLogLevelKeepsTheRefusalSilent) {
  Log().SetLevel(2);
  EXPECT_FALSE(Query(&skse_, &info_, {true, true}));
  Log().SetLevel(3);
  EXPECT_TRUE(g_logged.empty());
}

TEST_F(Lifecycle, RefusesWithoutASerializationInterface) {
  g_offerSerialization = false;
  EXPECT_FALSE(Query(&skse_, &info_, {true, false}));
}

}  // namespace
}  // namespace cw::lifecycle
