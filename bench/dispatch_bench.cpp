// The cost of Dispatch: a native called through its native function object, as
// the script VM calls it, against the same plain function called directly. The
// plugin is loaded into this process by the host simulator; the program resolves
// its own copy of the engine operations from the same version database, so the
// direct calls create their engine strings as the plugin does.
//
// cw_bench_dispatch [benchmark options]
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "bench/ratio_reporter.h"
#include "host/in_process.h"
#include "natives/text/translation_natives.h"
#include "natives/utility/form_natives.h"
#include "natives/utility/text_natives.h"
#include "plugin/host_services.h"
#include "plugin/lifecycle.h"

namespace {

std::unique_ptr<cw::sim::InProcessHost> g_host;

cw::sim::PreparedCall& Prepared(const char* native, std::vector<std::string> arguments) {
  std::string error;
  auto call = cw::sim::PreparedCall::Make(g_host->machine(), native, arguments, &error);
  if (!call) {
    std::fprintf(stderr, "cw_bench_dispatch: %s\n", error.c_str());
    std::exit(1);
  }
  return *call.release();  // lives as long as the program
}

void BM_Dispatch_getErrorCode(benchmark::State& state) {
  cw::sim::PreparedCall& call = Prepared("FWTextContents.getErrorCode", {});
  for (auto _ : state) {
    call.Run();
    benchmark::DoNotOptimize(call.result().data);
  }
}

void BM_Direct_getErrorCode(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(cw::natives::getErrorCode(nullptr));
}

void BM_Dispatch_Hex(benchmark::State& state) {
  cw::sim::PreparedCall& call = Prepared("FWUtility.Hex", {"255", "4"});
  for (auto _ : state) {
    call.Run();
    benchmark::DoNotOptimize(call.result().data);
  }
}

void BM_Direct_Hex(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(cw::natives::Hex(nullptr, 255, 4).data);
}

void BM_Dispatch_toLower(benchmark::State& state) {
  cw::sim::PreparedCall& call = Prepared("FWUtility.toLower", {"MiXeD"});
  for (auto _ : state) {
    call.Run();
    benchmark::DoNotOptimize(call.result().data);
  }
}

void BM_Direct_toLower(benchmark::State& state) {
  const cw::StringCache::Ref text = cw::host::MakeString("MiXeD");
  for (auto _ : state) benchmark::DoNotOptimize(cw::natives::toLower(nullptr, text).data);
}

void BM_Dispatch_GetModFromForm(benchmark::State& state) {
  cw::sim::PreparedCall& call = Prepared("FWUtility.GetModFromForm", {"00012E46", "false"});
  for (auto _ : state) {
    call.Run();
    benchmark::DoNotOptimize(call.result().data);
  }
}

void BM_Direct_GetModFromForm(benchmark::State& state) {
  cw::TESForm* form = cw::host::LookupFormByID(0x00012E46);
  for (auto _ : state)
    benchmark::DoNotOptimize(cw::natives::GetModFromForm(nullptr, form, false).data);
}

BENCHMARK(BM_Dispatch_getErrorCode);
BENCHMARK(BM_Direct_getErrorCode);
BENCHMARK(BM_Dispatch_Hex);
BENCHMARK(BM_Direct_Hex);
BENCHMARK(BM_Dispatch_toLower);
BENCHMARK(BM_Direct_toLower);
BENCHMARK(BM_Dispatch_GetModFromForm);
BENCHMARK(BM_Direct_GetModFromForm);

// Goes back to the folder the program started in, so that the game folder can go.
struct GameFolder {
  std::filesystem::path start = std::filesystem::current_path();
  std::filesystem::path root = std::filesystem::temp_directory_path() / "cw_bench_dispatch_game";
  GameFolder() { std::filesystem::create_directories(root / "Data"); }
  ~GameFolder() {
    std::error_code ec;
    std::filesystem::current_path(start, ec);
    std::filesystem::remove_all(root, ec);
  }
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

  const GameFolder game;
  cw::sim::SessionOptions options;
  options.gameDir = game.root.string();
  options.plugins = {{"Skyrim.esm", cw::sim::PluginKind::kRegular}};
  options.forms = {0x00012E46};
  std::string error;
  g_host = cw::sim::InProcessHost::Start(options, &error);
  if (!g_host) {
    std::fprintf(stderr, "cw_bench_dispatch: %s\n", error.c_str());
    return 1;
  }
  // This program's own engine operations, found as the plugin found them.
  const cw::lifecycle::StartupState flags = cw::lifecycle::InitializeLibrary();
  if (!flags.isLoaded || flags.hasBadQuery) {
    std::fprintf(stderr, "cw_bench_dispatch: the engine operations did not resolve\n");
    return 1;
  }

  cw::bench::RatioReporter reporter({
      {"Dispatch / direct, getErrorCode", "BM_Dispatch_getErrorCode", "BM_Direct_getErrorCode"},
      {"Dispatch / direct, Hex 255 4", "BM_Dispatch_Hex", "BM_Direct_Hex"},
      {"Dispatch / direct, toLower", "BM_Dispatch_toLower", "BM_Direct_toLower"},
      {"Dispatch / direct, GetModFromForm", "BM_Dispatch_GetModFromForm",
       "BM_Direct_GetModFromForm"},
  });
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  g_host.reset();
  return 0;
}
