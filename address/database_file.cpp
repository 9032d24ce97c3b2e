#include "address/database_file.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "platform/files.h"

namespace cw::address {
namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

bool ReadAll(std::FILE* file, FileBytes* bytes) {
  std::size_t chunk = 1 << 16;
  if (std::fseek(file, 0, SEEK_END) == 0) {
    long size = std::ftell(file);
    if (size > 0) chunk = static_cast<std::size_t>(size) + 1;  // +1 sees the end in one read
    if (std::fseek(file, 0, SEEK_SET) != 0) return false;
  }
  bytes->clear();
  for (;;) {
    const std::size_t have = bytes->size();
    bytes->resize(have + chunk);
    const std::size_t got = std::fread(bytes->data() + have, 1, chunk, file);
    bytes->resize(have + got);
    if (got < chunk) return std::ferror(file) == 0;
    chunk = std::max<std::size_t>(chunk, 1 << 16);
  }
}

}  // namespace

DatabaseFile DatabaseFileFor(const GameVersion& v) {
  const bool beforeAE = v.major < 1 || (v.major == 1 && v.minor < 6);
  char path[256];
  std::snprintf(path, sizeof path, "Data\\SKSE\\Plugins\\%s-%d-%d-%d-%d.bin",
                beforeAE ? "version" : "versionlib", v.major, v.minor, v.build, v.sub);
  if (beforeAE) return {path, AcceptedFormat::kOnly1, Numbering::kSE};
  return {path, AcceptedFormat::kOnly2, Numbering::kAE};
}

std::optional<FileBytes> ReadFileBytes(std::string_view path) {
  FileHandle file(platform::OpenFile(path, "rb"));
  if (!file) return std::nullopt;
  FileBytes bytes;
  if (!ReadAll(file.get(), &bytes)) return std::nullopt;
  return bytes;
}

}  // namespace cw::address
