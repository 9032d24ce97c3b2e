// Folders of the mod folder with 5,000 files: one directory search (GetFileCount,
// GetFileName of the last entry), a whole listing as scripts make it (GetFileCount,
// then GetFileName for every index: quadratic by design), the folder fingerprint
// (GetDirectoryHash, also of a folder whose 5,000 names end in "."), and a plain
// read of the folder's entries as the floor.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "natives/utility/directory_hash.h"
#include "natives/utility/mod_files.h"

namespace {

namespace fs = std::filesystem;

constexpr int kFiles = 5000;
constexpr const char* kFolder = "Bench";
constexpr const char* kDotsFolder = "BenchDots";

// A game folder whose Data/Cradlewright/Bench holds kFiles files of 0 to 99 bytes,
// removed when the program ends.
class BenchGame {
 public:
  BenchGame() {
    std::string name("cw_bench_mod_folder_");
    root_ = fs::temp_directory_path() / name.append(std::to_string(std::random_device()()));
    Fill(kFolder, "Save%04d.txt");
    // Windows drops a name's trailing dots, so these are looked up as other names.
    Fill(kDotsFolder, "Save%04d.");
  }
  ~BenchGame() {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  const fs::path& root() const { return root_; }

 private:
  void Fill(const char* folderName, const char* nameFormat) {
    const fs::path folder = root_ / "Data" / "Cradlewright" / folderName;
    fs::create_directories(folder);
    for (int n = 0; n < kFiles; ++n) {
      char name[32];
      std::snprintf(name, sizeof name, nameFormat, n);
      std::ofstream(folder / name, std::ios::binary)
          << std::string(static_cast<std::size_t>(n % 100), 'x');
    }
  }

  fs::path root_;
};

// Works inside the game folder while it lives: the natives' paths are relative.
class InGameFolder {
 public:
  InGameFolder() : start_(fs::current_path()) {
    static const BenchGame game;
    fs::current_path(game.root());
  }
  ~InGameFolder() {
    std::error_code ec;
    fs::current_path(start_, ec);
  }

 private:
  fs::path start_;
};

void BM_ModFolder_PlainRead(benchmark::State& state) {
  const InGameFolder inside;
  const fs::path folder = fs::path("Data") / "Cradlewright" / kFolder;
  for (auto _ : state) {
    std::size_t n = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
      benchmark::DoNotOptimize(entry.path().filename().native().data());
      ++n;
    }
    benchmark::DoNotOptimize(n);
  }
}

void BM_ModFolder_FileCount(benchmark::State& state) {
  const InGameFolder inside;
  std::uint32_t count = 0;
  for (auto _ : state) benchmark::DoNotOptimize(count = cw::utility::CountModFiles(kFolder, "txt"));
  if (count != kFiles) state.SkipWithError("GetFileCount does not see every file");
}

void BM_ModFolder_FileNameOfLast(benchmark::State& state) {
  const InGameFolder inside;
  for (auto _ : state)
    benchmark::DoNotOptimize(cw::utility::ModFileName(kFolder, "txt", kFiles - 1));
}

void BM_ModFolder_Listing(benchmark::State& state) {
  const InGameFolder inside;
  for (auto _ : state) {
    const std::uint32_t count = cw::utility::CountModFiles(kFolder, "txt");
    for (std::uint32_t i = 0; i < count; ++i)
      benchmark::DoNotOptimize(cw::utility::ModFileName(kFolder, "txt", i));
  }
  state.counters["calls"] = kFiles + 1;
}

void BM_ModFolder_DirectoryHash(benchmark::State& state) {
  const InGameFolder inside;
  for (auto _ : state) benchmark::DoNotOptimize(cw::utility::DirectoryHash(kFolder));
}

void BM_ModFolder_DirectoryHashDotNames(benchmark::State& state) {
  const InGameFolder inside;
  for (auto _ : state) benchmark::DoNotOptimize(cw::utility::DirectoryHash(kDotsFolder));
}

BENCHMARK(BM_ModFolder_PlainRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ModFolder_FileCount)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ModFolder_FileNameOfLast)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ModFolder_Listing)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ModFolder_DirectoryHash)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ModFolder_DirectoryHashDotNames)->Unit(benchmark::kMillisecond);

}  // namespace
