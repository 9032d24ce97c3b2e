// The Papyrus VM: the fixtures' spin loop (CwBench.Spin) against the same loop in
// C++, and a script's call of one of our natives (through the plugin's native
// function object) against the host's `call` path for the same native. The plugin
// is loaded into this process by the host simulator.
//
// cw_bench_script [benchmark options]
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "bench/ratio_reporter.h"
#include "host/call_arguments.h"
#include "host/commands/script_natives.h"
#include "host/engine/functions.h"
#include "host/in_process.h"
#include "papyrus/vm/engine_natives.h"
#include "papyrus/vm/vm.h"
#include "tests/support/pex_script.h"

namespace {
namespace vm = cw::papyrus::vm;
namespace fs = std::filesystem;

constexpr int kSpinCount = 100000;
constexpr int kCalls = 10000;

std::unique_ptr<cw::sim::InProcessHost> g_host;
std::unique_ptr<vm::Library> g_library;
vm::EngineNatives g_engineNatives;
std::unique_ptr<cw::sim::PluginNatives> g_pluginNatives;
bool g_haveFixtures = false;

// CwBench.Spin as its source writes it.
int SpinInCpp(int count) {
  int checksum = 0;
  float acc = 0;
  std::string text;
  for (int i = 0; i < count; ++i) {
    acc += 0.5f;
    if (acc >= 1000.0f) acc -= 1000.0f;
    checksum = (checksum * 31 + i + static_cast<int>(acc * 2.0f)) % 1000003;
    if (i % 1000 == 0) {
      text.assign("7");
      text += std::to_string(i / 1000);
      checksum = (checksum + std::stoi(text)) % 1000003;
    }
  }
  return checksum;
}

// Runs a global function to its end on a fresh VM; its answer and instruction count.
vm::Value RunGlobal(const char* script, const char* name, std::vector<vm::Value> arguments,
                    std::uint64_t* instructions) {
  vm::Vm machine(*g_library, nullptr);
  const vm::Class* cls = g_library->Find(script);
  vm::Thread* thread = machine.Start(cls->Global(g_library->Name(name)), nullptr, arguments);
  machine.RunUntil(0);
  *instructions += machine.instructions();
  return thread->result;
}

void BM_VmSpin(benchmark::State& state) {
  if (!g_haveFixtures) return state.SkipWithError("no shared fixtures");
  std::uint64_t instructions = 0;
  for (auto _ : state) {
    const vm::Value v = RunGlobal("CwBench", "Spin", {vm::Value::Int(kSpinCount)}, &instructions);
    benchmark::DoNotOptimize(v.i);
  }
  state.counters["instructions/s"] =
      benchmark::Counter(static_cast<double>(instructions), benchmark::Counter::kIsRate);
}

void BM_CppSpin(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(SpinInCpp(kSpinCount));
}

// A loop of kCalls calls of FWUtility.Hex(i, 4) in a script, and the same loop
// without the call.
void BM_VmNativeCalls(benchmark::State& state) {
  std::uint64_t instructions = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(
        RunGlobal("CwCalls", "Hexes", {vm::Value::Int(kCalls)}, &instructions).i);
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kCalls);
}

void BM_VmEmptyLoop(benchmark::State& state) {
  std::uint64_t instructions = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(
        RunGlobal("CwCalls", "Loop", {vm::Value::Int(kCalls)}, &instructions).i);
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kCalls);
}

// The host's `call` path: Machine::Call with the arguments as the command line makes them.
void BM_HostCalls(benchmark::State& state) {
  cw::sim::Machine& machine = g_host->machine();
  cw::sim::NativeFunctionHead* native = g_host->Find("FWUtility.Hex");
  const cw::sim::Machine::Signature signature = cw::sim::Machine::SignatureOf(native);
  std::string error;
  for (auto _ : state) {
    for (int i = 0; i < kCalls; ++i) {
      std::vector<cw::sim::Value> arguments = {
          *cw::sim::ArgumentValue(machine, std::to_string(i), signature.parameters[0], &error),
          *cw::sim::ArgumentValue(machine, "4", signature.parameters[1], &error)};
      cw::sim::Value result{cw::sim::type_word::kNone, 0};
      machine.Call(native, arguments, &result);
      benchmark::DoNotOptimize(result.data);
      cw::sim::CleanValue(&result);
    }
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kCalls);
}

BENCHMARK(BM_VmSpin)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CppSpin)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VmNativeCalls)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VmEmptyLoop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HostCalls)->Unit(benchmark::kMillisecond);

// Goes back to the folder the program started in, so that the game folder can go.
struct GameFolder {
  fs::path start = fs::current_path();
  fs::path root = fs::temp_directory_path() / "cw_bench_script_game";
  GameFolder() { fs::create_directories(root / "Data"); }
  ~GameFolder() {
    std::error_code ec;
    fs::current_path(start, ec);
    fs::remove_all(root, ec);
  }
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

  const fs::path fixtures = fs::path(CW_SOURCE_DIR) / ".." / "shared" / "fixtures" / "pex" / "pex";
  g_library = std::make_unique<vm::Library>();
  g_haveFixtures = fs::exists(fixtures / "CwBench.pex");
  if (g_haveFixtures) g_library->AddFolder(fs::absolute(fixtures));
  std::string error;
  cw::papyrus::Script calls("CwCalls");
  calls.Function("Int", "Hexes", true, {{"Int", "n"}},
                 {{"Int", "i"}, {"Bool", "more"}, {"String", "s"}},
                 {"cmp_lt more i n", "jmpf more 4", "callstatic FWUtility Hex s i 4", "iadd i i 1",
                  "jmp -4", "return i"});
  calls.Function(
      "Int", "Loop", true, {{"Int", "n"}}, {{"Int", "i"}, {"Bool", "more"}, {"String", "s"}},
      {"cmp_lt more i n", "jmpf more 4", "assign s \"0\"", "iadd i i 1", "jmp -4", "return i"});
  g_library->AddScript(calls.Build(), &error);

  const GameFolder game;
  cw::sim::SessionOptions options;
  options.gameDir = game.root.string();
  g_host = cw::sim::InProcessHost::Start(options, &error);
  if (!g_host) {
    std::fprintf(stderr, "cw_bench_script: %s\n", error.c_str());
    return 1;
  }
  g_pluginNatives = std::make_unique<cw::sim::PluginNatives>(g_host->machine());
  g_library->AddNatives(&g_engineNatives);
  g_library->AddNatives(g_pluginNatives.get());
  if (g_haveFixtures) {
    std::uint64_t instructions = 0;
    const int got = RunGlobal("CwBench", "Spin", {vm::Value::Int(kSpinCount)}, &instructions).i;
    if (got != SpinInCpp(kSpinCount)) {
      std::fprintf(stderr, "cw_bench_script: Spin gave %d in the VM, %d in C++\n", got,
                   SpinInCpp(kSpinCount));
      return 1;
    }
  }

  cw::bench::RatioReporter reporter({
      {"VM / C++, Spin(100000)", "BM_VmSpin", "BM_CppSpin"},
      {"VM calls / host call path, Hex", "BM_VmNativeCalls", "BM_HostCalls"},
  });
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  g_pluginNatives.reset();
  g_host.reset();
  return 0;
}
