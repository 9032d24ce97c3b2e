// Dispatch allocates nothing: natives whose own bodies allocate nothing are called
// many times through their native function objects inside this process, and the
// global operator new (the program's own, which the plugin binds to) and the
// engine heap count no allocation per call. A native whose body does allocate
// shows that the plugin's allocations are counted.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "host/call_arguments.h"
#include "host/engine/heap.h"
#include "host/in_process.h"
#include "tests/allocations/counting_new.h"
#include "tests/support/game_folder.h"

namespace cw::test {
namespace {

constexpr int kCalls = 20000;

class PluginInThisProcess : public testing::Environment {
 public:
  void SetUp() override {
    startFolder_ = std::filesystem::current_path();
    game_ = std::make_unique<GameFolder>();
    game_->CopyExamples();
    sim::SessionOptions options;
    options.gameDir = game_->str();
    // Short mod names: the natives' own copies of them fit a std::string's buffer.
    options.plugins = {{"Skyrim.esm", sim::PluginKind::kRegular},
                       {"Cw.esp", sim::PluginKind::kRegular}};
    options.forms = {0x00012E46, 0x01000D62};
    options.quests = {0x01000D63};
    std::string error;
    host_ = sim::InProcessHost::Start(options, &error);
    ASSERT_NE(host_, nullptr) << error;
    auto load = sim::PreparedCall::Make(host_->machine(), "FWTextContents.IOReadTranslation",
                                        {"ENGLISH"}, &error);
    ASSERT_NE(load, nullptr) << error;
    load->Run();
  }
  void TearDown() override {
    host_.reset();
    std::error_code ec;
    std::filesystem::current_path(startFolder_, ec);
    game_.reset();
  }
  static sim::Machine& machine() { return host_->machine(); }

 private:
  std::filesystem::path startFolder_;
  std::unique_ptr<GameFolder> game_;
  static inline std::unique_ptr<sim::InProcessHost> host_;
};

const testing::Environment* const g_plugin =
    testing::AddGlobalTestEnvironment(new PluginInThisProcess);

struct PerCall {
  double news;
  double heap;
};

// Allocations per call over kCalls calls, after two calls that may fill caches
// (the engine strings of the answer, function-local statics) and that must give
// `answer`.
PerCall Measure(const std::string& native, const std::vector<std::string>& arguments,
                const std::string& answer) {
  std::string error;
  auto call = sim::PreparedCall::Make(PluginInThisProcess::machine(), native, arguments, &error);
  EXPECT_NE(call, nullptr) << error;
  if (!call) return {-1, -1};
  EXPECT_EQ(call->RunText(), answer);
  EXPECT_EQ(call->RunText(), answer);
  const std::uint64_t news = GlobalNewCount();
  const std::uint64_t heap = sim::EngineHeap().allocations.load();
  for (int i = 0; i < kCalls; ++i) call->Run();
  const PerCall perCall{static_cast<double>(GlobalNewCount() - news) / kCalls,
                        static_cast<double>(sim::EngineHeap().allocations.load() - heap) / kCalls};
  std::printf("[ per call ] %s: %.2f operator new, %.2f engine heap\n", native.c_str(),
              perCall.news, perCall.heap);
  return perCall;
}

struct QuietCall {
  const char* label;
  std::string native;
  std::vector<std::string> arguments;
  std::string answer;
  const char* why;  // why the native's own body allocates nothing
};

class DispatchAllocations : public testing::TestWithParam<QuietCall> {};

TEST_P(DispatchAllocations, NoneForACallWhoseNativeAllocatesNothing) {
  const PerCall perCall = Measure(GetParam().native, GetParam().arguments, GetParam().answer);
  EXPECT_EQ(perCall.news, 0.0) << GetParam().why;
  EXPECT_EQ(perCall.heap, 0.0) << GetParam().why;
}

INSTANTIATE_TEST_SUITE_P(
    Natives, DispatchAllocations,
    testing::Values(
        QuietCall{"IntResultNoArguments",
                  "FWTextContents.getErrorCode",
                  {},
                  "15",
                  "reads an atomic status"},
        QuietCall{"SizeOfSharedText",
                  "FWTextContents.getLangSize",
                  {},
                  "109",
                  "copies a shared pointer under a lock"},
        QuietCall{"IntArgumentsStringResult",
                  "FWUtility.Hex",
                  {"255", "4"},
                  "00ff",
                  "\"00ff\" fits a std::string's own buffer; the engine string exists"},
        QuietCall{"ConvertedArguments",
                  "FWUtility.Hex",
                  {"float:255.9", "bool:true"},
                  "f",
                  "Float and Bool arguments converted to Int; short answer"},
        QuietCall{"StringArgumentAndResult",
                  "FWUtility.toLower",
                  {"MiXeD"},
                  "mixed",
                  "a short text fits a std::string's own buffer"},
        QuietCall{
            "TableText", "FWUtility.getTypeString", {"77"}, "kQuest", "a text of a fixed table"},
        QuietCall{"QuestResult",
                  "FWUtility.GetQuestObject",
                  {"Cw.esp", "0"},
                  "0x01000D63",
                  "walks the engine's lists; the bound object exists after the first call"},
        QuietCall{"FormArgument",
                  "FWUtility.GetModFromForm",
                  {"00012E46", "false"},
                  "Skyrim",
                  "\"Skyrim\" fits a std::string's own buffer"}),
    [](const testing::TestParamInfo<QuietCall>& info) { return std::string(info.param.label); });

TEST(DispatchAllocationsCounted, ThePluginsOwnAllocationsAreCounted) {
  // The lower-cased copy of a long text needs a heap buffer in the plugin.
  const PerCall perCall =
      Measure("FWUtility.toLower", {"A TEXT TOO LONG FOR THE SMALL BUFFER OF A STRING"},
              "a text too long for the small buffer of a string");
  EXPECT_GE(perCall.news, 1.0);
  EXPECT_EQ(perCall.heap, 0.0);
}

// A native that runs out of memory answers its failure value; nothing reaches
// the virtual machine but that value.
TEST(NativeEdge, ExhaustedMemoryEndsAsTheFailureValue) {
  std::string error;
  auto lower =
      sim::PreparedCall::Make(PluginInThisProcess::machine(), "FWUtility.toLower",
                              {"A TEXT TOO LONG FOR THE SMALL BUFFER OF A STRING"}, &error);
  auto count = sim::PreparedCall::Make(PluginInThisProcess::machine(), "FWUtility.GetFileCount",
                                       {"Saves", "txt"}, &error);
  ASSERT_TRUE(lower && count) << error;
  SetAllocationsFail(true);
  lower->Run();
  count->Run();
  SetAllocationsFail(false);
  EXPECT_EQ(lower->result().type, sim::type_word::kString);
  EXPECT_STREQ(reinterpret_cast<const char*>(lower->result().data), "");
  EXPECT_EQ(count->result().type, sim::type_word::kInt);
  EXPECT_EQ(count->result().data, 0u);
  EXPECT_EQ(lower->RunText(), "a text too long for the small buffer of a string");
}

// An Object argument whose handle the object-handle policy does not accept as a
// form reaches the native as a null form.
TEST(NativeEdge, AnObjectOfAnotherHandleTypeIsANullForm) {
  sim::Machine& machine = PluginInThisProcess::machine();
  sim::NativeFunctionHead* native = machine.Find("FWUtility", "GetModFromForm");
  ASSERT_NE(native, nullptr);
  sim::ScriptObject* object = nullptr;
  ASSERT_TRUE(machine.CreateObject("Form", &object));  // never bound: the invalid handle
  const sim::Value unbound{reinterpret_cast<std::uint64_t>(machine.ClassForFormType(0)),
                           reinterpret_cast<std::uint64_t>(object)};
  const sim::Value real = machine.FormValue(0x00012E46, 0);
  const sim::Value yes{sim::type_word::kBool, 1};
  for (const auto& [argument, answer] : {std::pair{unbound, ""}, std::pair{real, "Skyrim.esm"}}) {
    sim::Value result{sim::type_word::kNone, 0};
    machine.Call(native, {argument, yes}, &result);
    EXPECT_EQ(sim::FormatResult(machine, result, sim::Machine::SignatureOf(native).result), answer);
    sim::CleanValue(&result);
  }
  sim::Value values[] = {unbound, real};
  for (sim::Value& v : values) sim::CleanValue(&v);
  EXPECT_TRUE(machine.Faults().empty());
}

}  // namespace
}  // namespace cw::test
