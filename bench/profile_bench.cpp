// One key of a 20 MB settings file through the profile reader (the stand-in of
// this build), beside a plain read of the file's bytes as the floor. The key sits
// in the last of 1,000 sections, so the whole file is scanned.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "platform/profile.h"

namespace {

namespace fs = std::filesystem;

constexpr int kSections = 1000;
constexpr std::size_t kFileBytes = 20u << 20;

// The file, written once and removed when the program ends.
class BenchSettings {
 public:
  BenchSettings() {
    path_ = (fs::temp_directory_path() /
             ("cw_bench_settings_" + std::to_string(std::random_device()()) + ".ini"))
                .string();
    std::string text;
    text.reserve(kFileBytes + 4096);
    const std::size_t perSection = kFileBytes / kSections;
    for (int s = 0; s < kSections; ++s) {
      text += "[Section" + std::to_string(s) + "]\r\n";
      const std::size_t end = text.size() + perSection;
      for (int k = 0; text.size() < end; ++k)
        text += "Key" + std::to_string(k) + " = value number " + std::to_string(k) + "\r\n";
    }
    std::ofstream(path_, std::ios::binary)
        .write(text.data(), static_cast<std::streamsize>(text.size()));
  }
  ~BenchSettings() {
    std::error_code ignored;
    fs::remove(path_, ignored);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

const BenchSettings& Settings() {
  static const BenchSettings settings;
  return settings;
}

// What any reader of the whole file does: a buffer of the file's size, one read.
void BM_Profile_PlainRead(benchmark::State& state) {
  const std::string& path = Settings().path();
  for (auto _ : state) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    std::string bytes(fs::file_size(path), '\0');
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
    std::fclose(file);
    benchmark::DoNotOptimize(bytes.data());
  }
}

void BM_Profile_ReadOneKey(benchmark::State& state) {
  const std::string& path = Settings().path();
  const std::string section = "Section" + std::to_string(kSections - 1);
  std::string value;
  for (auto _ : state)
    benchmark::DoNotOptimize(value = cw::platform::ReadProfileText(section, "Key7", "", 500, path));
  if (value != "value number 7") state.SkipWithError("the key was not found");
}

BENCHMARK(BM_Profile_PlainRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Profile_ReadOneKey)->Unit(benchmark::kMillisecond);

}  // namespace
