// Loading a version database: our loader, a plain std::map loader that reads
// the stream field by field, and reading the file's bytes alone, on a synthetic
// file of 800,000 entries and on the real 1.5.97.0 database; and start-up's
// resolution of the declared identifiers, on both real databases.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "address/database_file.h"
#include "address/version_database.h"
#include "bench/ratio_reporter.h"
#include "plugin/engine_api.h"

namespace {

namespace fs = std::filesystem;

std::string g_synthetic;
const std::string g_real = CW_SOURCE_DIR "/../shared/fixtures/version-1-5-97-0.bin";
const std::string g_realAE = CW_SOURCE_DIR "/../shared/fixtures/versionlib-1-6-353-0.bin";

void Put(std::vector<std::uint8_t>& out, std::uint64_t v, int width) {
  for (int i = 0; i < width; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// 800,000 entries coded the way a real file codes them: nearly every identifier
// one above the last, offsets in small steps, most of them in units of 8.
std::vector<std::uint8_t> SyntheticFile() {
  constexpr std::int32_t kCount = 800000;
  std::vector<std::uint8_t> out;
  Put(out, 1, 4);
  for (int v : {1, 5, 97, 0}) Put(out, static_cast<std::uint32_t>(v), 4);
  const std::string name = "SkyrimSE.exe";
  Put(out, name.size(), 4);
  out.insert(out.end(), name.begin(), name.end());
  Put(out, 8, 4);
  Put(out, kCount, 4);
  out.push_back(0x00);
  Put(out, 10, 8);
  Put(out, 0x1000, 8);
  std::mt19937 random(97);
  for (std::int32_t i = 1; i < kCount; ++i) {
    const unsigned pick = random() % 1000;
    if (pick < 450) {  // id + 1, offset + byte
      out.push_back(0x21);
      out.push_back(static_cast<std::uint8_t>(1 + random() % 255));
    } else if (pick < 890) {  // id + 1, offset + byte units of 8
      out.push_back(0xA1);
      out.push_back(static_cast<std::uint8_t>(1 + random() % 64));
    } else if (pick < 985) {  // id + 1, offset + 8 (rounded to units)
      out.push_back(0x91);
    } else if (pick < 995) {  // id + 1, offset + word units of 8
      out.push_back(0xC1);
      Put(out, 256 + random() % 4096, 2);
    } else {  // id + byte, offset + byte
      out.push_back(0x22);
      out.push_back(static_cast<std::uint8_t>(2 + random() % 30));
      out.push_back(static_cast<std::uint8_t>(1 + random() % 255));
    }
  }
  return out;
}

// The straightforward loader: a stream read field by field and a map node per entry.
template <class T>
bool ReadField(std::ifstream& in, T* value) {
  return static_cast<bool>(in.read(reinterpret_cast<char*>(value), sizeof(T)));
}

std::uint64_t ReadCoded(std::ifstream& in, unsigned coding, std::uint64_t previous) {
  std::uint8_t b8 = 0;
  std::uint16_t b16 = 0;
  std::uint32_t b32 = 0;
  std::uint64_t b64 = 0;
  switch (coding) {
    case 0:
      ReadField(in, &b64);
      return b64;
    case 1:
      return previous + 1;
    case 2:
      ReadField(in, &b8);
      return previous + b8;
    case 3:
      ReadField(in, &b8);
      return previous - b8;
    case 4:
      ReadField(in, &b16);
      return previous + b16;
    case 5:
      ReadField(in, &b16);
      return previous - b16;
    case 6:
      ReadField(in, &b16);
      return b16;
    default:
      ReadField(in, &b32);
      return b32;
  }
}

bool MapLoad(const std::string& path, std::map<std::uint64_t, std::uint64_t>* table) {
  table->clear();
  std::ifstream in(path, std::ios::binary);
  std::int32_t format = 0, version[4] = {}, nameLength = 0, pointerSize = 0, count = 0;
  if (!ReadField(in, &format) || format != 1) return false;
  for (std::int32_t& v : version) ReadField(in, &v);
  ReadField(in, &nameLength);
  if (static_cast<std::uint32_t>(nameLength) > 0xFFFF) return false;
  if (nameLength > 0) in.seekg(nameLength, std::ios::cur);
  ReadField(in, &pointerSize);
  ReadField(in, &count);
  if (pointerSize <= 0) return false;
  const std::uint64_t unit = static_cast<std::uint64_t>(pointerSize);
  std::uint64_t id = 0, offset = 0;
  for (std::int32_t i = 0; i < count; ++i) {
    std::uint8_t type = 0;
    if (!ReadField(in, &type) || (type & 0x0F) >= 8) return false;
    id = ReadCoded(in, type & 0x0F, id);
    const bool scaled = (type & 0x80) != 0;
    offset = ReadCoded(in, (type >> 4) & 7, scaled ? offset / unit : offset);
    if (scaled) offset *= unit;
    (*table)[id] = offset;
  }
  return static_cast<bool>(in);
}

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
  std::vector<std::uint8_t> bytes;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return bytes;
  std::fseek(f, 0, SEEK_END);
  const long size = std::ftell(f);
  std::fseek(f, 0, SEEK_SET);
  bytes.resize(size > 0 ? static_cast<std::size_t>(size) : 0);
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
  std::fclose(f);
  return bytes;
}

void CheckSameTable(const std::string& path) {
  cw::address::VersionDatabase db;
  std::map<std::uint64_t, std::uint64_t> table;
  const bool ours = db.LoadPath(path, cw::address::AcceptedFormat::kOnly1);
  const bool plain = MapLoad(path, &table);
  bool same = ours && plain && db.Size() == table.size();
  if (same) {
    auto it = table.begin();
    for (const cw::address::DatabaseEntry& e : db.Entries()) {
      same = same && e.id == it->first && e.offset == it->second;
      ++it;
    }
  }
  std::fprintf(stderr, "%s: %zu entries, tables %s\n", path.c_str(), db.Size(),
               same ? "identical" : "DIFFER");
  if (!same) std::exit(1);
}

void BM_VersionDatabase(benchmark::State& state, const std::string* path) {
  for (auto _ : state) {
    cw::address::VersionDatabase db;
    benchmark::DoNotOptimize(db.LoadPath(*path, cw::address::AcceptedFormat::kOnly1));
    benchmark::DoNotOptimize(db.Size());
  }
}

void BM_MapLoader(benchmark::State& state, const std::string* path) {
  for (auto _ : state) {
    std::map<std::uint64_t, std::uint64_t> table;
    benchmark::DoNotOptimize(MapLoad(*path, &table));
    benchmark::DoNotOptimize(table.size());
  }
}

void BM_ReadBytes(benchmark::State& state, const std::string* path) {
  for (auto _ : state) benchmark::DoNotOptimize(ReadBytes(*path).size());
}

void BM_DecodeInMemory(benchmark::State& state, const std::string* path) {
  const std::vector<std::uint8_t> bytes = ReadBytes(*path);
  for (auto _ : state) {
    cw::address::VersionDatabase db;
    benchmark::DoNotOptimize(
        db.LoadBytes(bytes.data(), bytes.size(), cw::address::AcceptedFormat::kOnly1));
  }
}

// What start-up does: the file's bytes read, the 21 declared identifiers of its
// numbering resolved in one decoding pass, no table; with vector runs where the
// processor has them, or every entry one by one.
void StartupResolution(benchmark::State& state, const std::string* path,
                       cw::address::EntryDecoder decoder) {
  using namespace cw::address;
  const bool ae = path == &g_realAE;
  std::vector<std::uint64_t> ids;
  for (const Declaration& d : cw::engine::kDeclarations)
    ids.push_back(d.Id(ae ? Numbering::kAE : Numbering::kSE));
  const AcceptedFormat format = ae ? AcceptedFormat::kOnly2 : AcceptedFormat::kOnly1;
  for (auto _ : state) {
    const std::optional<FileBytes> bytes = ReadFileBytes(*path);
    const ResolvedIdentifiers r =
        ResolveIdentifiers(bytes->data(), bytes->size(), format, ids, decoder);
    if (r.error != LoadError::kNone || !r.offsets.back()) state.SkipWithError("not resolved");
    benchmark::DoNotOptimize(r.offsets.data());
  }
}

void BM_StartupResolution(benchmark::State& state, const std::string* path) {
  StartupResolution(state, path, cw::address::EntryDecoder::kFastest);
}

void BM_StartupResolutionOneByOne(benchmark::State& state, const std::string* path) {
  StartupResolution(state, path, cw::address::EntryDecoder::kOneByOne);
}

BENCHMARK_CAPTURE(BM_VersionDatabase, synthetic, &g_synthetic)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MapLoader, synthetic, &g_synthetic)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadBytes, synthetic, &g_synthetic)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DecodeInMemory, synthetic, &g_synthetic)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_VersionDatabase, real_1_5_97_0, &g_real)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MapLoader, real_1_5_97_0, &g_real)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadBytes, real_1_5_97_0, &g_real)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DecodeInMemory, real_1_5_97_0, &g_real)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StartupResolution, real_1_5_97_0, &g_real)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StartupResolution, real_1_6_353_0, &g_realAE)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StartupResolutionOneByOne, real_1_5_97_0, &g_real)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StartupResolutionOneByOne, real_1_6_353_0, &g_realAE)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadBytes, real_1_6_353_0, &g_realAE)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

  const fs::path file = fs::temp_directory_path() /
                        ("cw_bench_version_" + std::to_string(std::random_device()()) + ".bin");
  g_synthetic = file.string();
  {
    const std::vector<std::uint8_t> bytes = SyntheticFile();
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
  }
  CheckSameTable(g_synthetic);
  CheckSameTable(g_real);

  // Every figure of this program as a ratio of two benchmarks of the same run.
  cw::bench::RatioReporter reporter({
      {"std::map loader / ours, synthetic", "BM_MapLoader/synthetic",
       "BM_VersionDatabase/synthetic"},
      {"ours / reading the bytes, synthetic", "BM_VersionDatabase/synthetic",
       "BM_ReadBytes/synthetic"},
      {"std::map loader / ours, 1.5.97.0", "BM_MapLoader/real_1_5_97_0",
       "BM_VersionDatabase/real_1_5_97_0"},
      {"ours / reading the bytes, 1.5.97.0", "BM_VersionDatabase/real_1_5_97_0",
       "BM_ReadBytes/real_1_5_97_0"},
      {"start-up resolution / reading the bytes, 1.5.97.0", "BM_StartupResolution/real_1_5_97_0",
       "BM_ReadBytes/real_1_5_97_0"},
      {"start-up resolution / reading the bytes, 1.6.353.0", "BM_StartupResolution/real_1_6_353_0",
       "BM_ReadBytes/real_1_6_353_0"},
      {"start-up resolution: one entry at a time / with vector runs, 1.5.97.0",
       "BM_StartupResolutionOneByOne/real_1_5_97_0", "BM_StartupResolution/real_1_5_97_0"},
      {"start-up resolution: one entry at a time / with vector runs, 1.6.353.0",
       "BM_StartupResolutionOneByOne/real_1_6_353_0", "BM_StartupResolution/real_1_6_353_0"},
      {"translation look-up: plain search / indexed", "BM_TranslationLookup_PlainSearch",
       "BM_TranslationLookup_Indexed"},
      {"translation load: with index / decode only", "BM_TranslationLoad_DecodeAndIndex",
       "BM_TranslationLoad_DecodeOnly"},
      {"GetFileCount / plain folder read", "BM_ModFolder_FileCount", "BM_ModFolder_PlainRead"},
      {"GetDirectoryHash / plain folder read", "BM_ModFolder_DirectoryHash",
       "BM_ModFolder_PlainRead"},
      {"GetDirectoryHash, names ending in . / plain folder read",
       "BM_ModFolder_DirectoryHashDotNames", "BM_ModFolder_PlainRead"},
      {"one key of a 20 MB settings file / reading its bytes", "BM_Profile_ReadOneKey",
       "BM_Profile_PlainRead"},
  });
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  std::error_code ignored;
  fs::remove(file, ignored);
  return 0;
}
