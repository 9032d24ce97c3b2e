// Walking a master the size of the game's own (about 250 MB, a million records,
// written here at start-up): every record header, the header alone, the same
// walk over bytes already in memory, and a plain read of the file's bytes.
// The walk reads the file through a window of 64 KiB, so with records of a few
// hundred bytes it reads nearly all of it: the plain read is its floor.
//
//   cw_bench_plugins [--records=N] [benchmark options]
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "bench/ratio_reporter.h"
#include "gamedata/plugin_file.h"

namespace {

namespace fs = std::filesystem;

std::string g_path;
std::size_t g_records = 1000000;

void Put(std::string& out, std::uint32_t v, int width = 4) {
  for (int i = 0; i < width; ++i) out += static_cast<char>(v >> (8 * i));
}

void Record(std::string& out, const char* signature, std::uint32_t formID, std::uint32_t size,
            std::uint32_t flags = 0) {
  out += signature;
  Put(out, size);
  Put(out, flags);
  Put(out, formID);
  Put(out, 0);
  Put(out, 44, 2);
  Put(out, 0, 2);
  out.append(size, 'd');
}

// Opens a group; Close writes its size once its contents are in.
std::size_t Open(std::string& out, const char* label, std::uint32_t type) {
  const std::size_t at = out.size();
  out += "GRUP";
  Put(out, 0);
  out.append(label, 4);
  Put(out, type);
  Put(out, 0);
  Put(out, 0);
  return at;
}
void Close(std::string& out, std::size_t at) {
  const auto size = static_cast<std::uint32_t>(out.size() - at);
  std::memcpy(&out[at + 4], &size, 4);
}

// Sizes as a master has them: most records a few hundred bytes, some of a few
// kilobytes (compressed navigation meshes and landscape), in top groups by type
// and a cell tree nested five deep holding most of the references.
void WriteMaster(const fs::path& path, std::size_t records) {
  std::mt19937 random(250);
  std::string out;
  out.reserve(records * 260);
  out += "TES4";
  Put(out, 30);
  Put(out, 1);
  Put(out, 0);
  Put(out, 0);
  Put(out, 44, 2);
  Put(out, 0, 2);
  out += "HEDR";
  Put(out, 12, 2);
  const float version = 1.71f;
  std::uint32_t bits;
  std::memcpy(&bits, &version, 4);
  Put(out, bits);
  Put(out, static_cast<std::uint32_t>(records));
  Put(out, 0x800);
  out += "CNAM";
  Put(out, 6, 2);
  out.append("bench", 6);

  const char* const kTypes[] = {"GMST", "KYWD", "STAT", "NPC_", "WEAP", "ARMO", "QUST", "DIAL"};
  std::uint32_t id = 0x800;
  const std::size_t typed = records / 4;
  for (const char* type : kTypes) {
    const std::size_t at = Open(out, type, 0);
    for (std::size_t i = 0; i < typed / 8; ++i) Record(out, type, id++, 60 + random() % 400);
    Close(out, at);
  }
  // Cells: block, sub-block, cell, cell children, temporary children.
  const std::size_t top = Open(out, "CELL", 0);
  for (std::size_t done = typed; done < records;) {
    const std::size_t block = Open(out, "\1\0\0\0", 2);
    for (int sub = 0; sub < 10 && done < records; ++sub) {
      const std::size_t subBlock = Open(out, "\2\0\0\0", 3);
      for (int cell = 0; cell < 10 && done < records; ++cell) {
        Record(out, "CELL", id++, 120);
        const std::size_t children = Open(out, "\0\0\0\0", 6);
        const std::size_t temporary = Open(out, "\0\0\0\0", 9);
        Record(out, "NAVM", id++, 2000 + random() % 6000, 0x00040000);
        for (int r = 0; r < 100; ++r) Record(out, "REFR", id++, 40 + random() % 300);
        done += 102;
        Close(out, temporary);
        Close(out, children);
      }
      Close(out, subBlock);
    }
    Close(out, block);
  }
  Close(out, top);
  std::ofstream(path, std::ios::binary).write(out.data(), static_cast<std::streamsize>(out.size()));
}

std::vector<char> ReadBytes(const std::string& path) {
  std::vector<char> bytes;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return bytes;
  std::fseek(f, 0, SEEK_END);
  bytes.resize(static_cast<std::size_t>(std::ftell(f)));
  std::fseek(f, 0, SEEK_SET);
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
  std::fclose(f);
  return bytes;
}

void BM_PluginRecords(benchmark::State& state) {
  for (auto _ : state) {
    const cw::gamedata::PluginContents c =
        cw::gamedata::ReadPluginFile(g_path, cw::gamedata::Depth::kRecords);
    if (!c.ok) state.SkipWithError(c.error.Text().c_str());
    benchmark::DoNotOptimize(c.records.data());
  }
}

void BM_PluginHeaderOnly(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(
        cw::gamedata::ReadPluginFile(g_path, cw::gamedata::Depth::kHeader).header.flags);
}

void BM_PluginRecordsInMemory(benchmark::State& state) {
  const std::vector<char> bytes = ReadBytes(g_path);
  for (auto _ : state) {
    const cw::gamedata::PluginContents c = cw::gamedata::ReadPluginBytes(
        std::string_view(bytes.data(), bytes.size()), "bench", cw::gamedata::Depth::kRecords);
    benchmark::DoNotOptimize(c.records.data());
  }
}

// Every byte of the file through one buffer of 1 MiB: the least any reader that
// sees all of the file can take.
void BM_PluginReadBytes(benchmark::State& state) {
  std::vector<char> buffer(1 << 20);
  for (auto _ : state) {
    std::FILE* f = std::fopen(g_path.c_str(), "rb");
    std::size_t total = 0;
    for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), f)) > 0;) total += n;
    std::fclose(f);
    benchmark::DoNotOptimize(total);
  }
}

BENCHMARK(BM_PluginRecords)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PluginHeaderOnly)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_PluginRecordsInMemory)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PluginReadBytes)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (std::strncmp(argv[i], "--records=", 10) == 0) {
      g_records = std::strtoull(argv[i] + 10, nullptr, 10);
      std::memmove(&argv[i], &argv[i + 1], sizeof(char*) * static_cast<std::size_t>(argc - i));
      --argc;
      --i;
    }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

  const fs::path file = fs::temp_directory_path() /
                        ("cw_bench_master_" + std::to_string(std::random_device()()) + ".esm");
  g_path = file.string();
  WriteMaster(file, g_records);
  const cw::gamedata::PluginContents check =
      cw::gamedata::ReadPluginFile(file, cw::gamedata::Depth::kRecords);
  std::fprintf(stderr, "%s: %llu bytes, %zu records%s%s\n", g_path.c_str(),
               static_cast<unsigned long long>(fs::file_size(file)), check.records.size(),
               check.ok ? "" : ", ", check.ok ? "" : check.error.Text().c_str());
  if (!check.ok) return 1;

  cw::bench::RatioReporter reporter({
      {"record walk from the file / reading its bytes", "BM_PluginRecords/real_time",
       "BM_PluginReadBytes/real_time"},
      {"record walk in memory / reading the bytes", "BM_PluginRecordsInMemory/real_time",
       "BM_PluginReadBytes/real_time"},
  });
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  std::error_code ignored;
  fs::remove(file, ignored);
  return 0;
}
