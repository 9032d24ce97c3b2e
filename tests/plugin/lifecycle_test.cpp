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
  g_logged += "\n";
}

StartupState State(bool isLoaded, bool hasBadQuery) {
  StartupState state;
  state.isLoaded = isLoaded;
  state.hasBadQuery = hasBadQuery;
  return state;
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
  ASSERT_TRUE(Query(&skse_, &info_, State(true, false)));
  EXPECT_EQ(info_.infoVersion, 1u);
  EXPECT_STREQ(info_.name, "Cradlewright");
  EXPECT_EQ(info_.version, 6u);
  EXPECT_TRUE(Load(&skse_, State(true, false)));
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
  EXPECT_FALSE(Query(&skse_, &info_, State(true, false)));
  EXPECT_TRUE(g_events.empty());
  EXPECT_TRUE(g_logged.empty());
  EXPECT_EQ(Interfaces().pluginHandle, 42u);
  EXPECT_STREQ(info_.name, "Cradlewright");
}

TEST_F(Lifecycle, AnUnsupportedRuntimeIsRefusedWithTheMessage) {
  StartupState state = State(false, true);
  state.problem = "Data\\SKSE\\Plugins\\version-1-5-97-0.bin: file cannot be opened";
  state.reason = refusal_text::Reason::kDatabaseMissing;
  state.gameVersion = "1.5.97.0";
  state.databaseFile = "Data\\SKSE\\Plugins\\version-1-5-97-0.bin";
  EXPECT_FALSE(Query(&skse_, &info_, state));
  // The plain words first, then the lines as they always were.
  EXPECT_EQ(g_logged,
            refusal_text::PlainText({state.reason, state.gameVersion, state.databaseFile}) +
                "\nunsupported runtime version 01050610\nAddr Library not loaded\n IsLoaded: 0 "
                "HasBadQuery:1\n"
                "Data\\SKSE\\Plugins\\version-1-5-97-0.bin: file cannot be opened\n");
  EXPECT_TRUE(g_events.empty());  // no interface is asked for
  EXPECT_EQ(info_.version, 6u);
}

TEST_F(Lifecycle, ALowLogLevelKeepsTheRefusalSilent) {
  Log().SetLevel(2);
  EXPECT_FALSE(Query(&skse_, &info_, State(true, true)));
  Log().SetLevel(3);
  EXPECT_TRUE(g_logged.empty());
}

TEST_F(Lifecycle, RefusesWithoutASerializationInterface) {
  g_offerSerialization = false;
  EXPECT_FALSE(Query(&skse_, &info_, State(true, false)));
}

// The AE script extender calls Load alone; Load decides as Query would have.
TEST_F(Lifecycle, LoadWithoutQueryAcceptsAndLoadsInOrder) {
  EXPECT_TRUE(Load(&skse_, State(true, false)));
  const std::vector<std::string> expected = {"query 3",
                                             "query 2",
                                             "claim 42 1129787696",
                                             "register FWUtility",
                                             "register Nothing",
                                             "register FWChildEnchant",
                                             "register FWTextContents"};
  EXPECT_EQ(g_events, expected);
  EXPECT_EQ(Interfaces().pluginHandle, 42u);
  EXPECT_TRUE(g_logged.empty());
}

struct LoadRefusal {
  const char* name;
  bool editor;
  StartupState state;
  std::string logged;  // empty: the log stays silent
};

class LoadWithoutQuery : public Lifecycle, public testing::WithParamInterface<LoadRefusal> {};

TEST_P(LoadWithoutQuery, RefusesBeforeClaimingOrRegistering) {
  skse_.isEditor = GetParam().editor ? 1 : 0;
  EXPECT_FALSE(Load(&skse_, GetParam().state));
  EXPECT_TRUE(g_events.empty());  // nothing asked, claimed or registered
  EXPECT_EQ(g_logged, GetParam().logged);
  EXPECT_EQ(Interfaces().pluginHandle, 42u);
}

StartupState Refused(bool isLoaded, const char* problem) {
  StartupState state = State(isLoaded, true);
  state.problem = problem;
  return state;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LoadWithoutQuery,
    testing::Values(
        LoadRefusal{"Editor", true, State(true, false), ""},
        LoadRefusal{"NoDatabase", false,
                    Refused(false,
                            "Data\\SKSE\\Plugins\\versionlib-1-6-1170-0.bin: file "
                            "cannot be opened"),
                    "unsupported runtime version 01050610\nAddr Library not loaded\n IsLoaded: 0 "
                    "HasBadQuery:1\nData\\SKSE\\Plugins\\versionlib-1-6-1170-0.bin: file "
                    "cannot be opened\n"},
        LoadRefusal{"MissingIdentifier", false,
                    Refused(true, "address identifiers missing from x.bin (AE numbering): 104484"),
                    "unsupported runtime version 01050610\nAddr Library not loaded\n IsLoaded: 1 "
                    "HasBadQuery:1\naddress identifiers missing from x.bin (AE numbering): "
                    "104484\n"}),
    [](const auto& info) { return std::string(info.param.name); });

// After a refused Query (SE), Load changes nothing and decides nothing again.
TEST_F(Lifecycle, LoadAfterARefusedQueryDoesNothing) {
  skse_.isEditor = 1;
  EXPECT_FALSE(Query(&skse_, &info_, State(true, false)));
  EXPECT_TRUE(Load(&skse_, State(true, false)));
  EXPECT_TRUE(g_events.empty());
}

}  // namespace
}  // namespace cw::lifecycle
