#include "address/database_file.h"

#include <cstdio>

#include "platform/files.h"

namespace cw::address {

DatabaseFile DatabaseFileFor(const GameVersion& v) {
  const bool beforeAE = v.major < 1 || (v.major == 1 && v.minor < 6);
  char path[256];
  std::snprintf(path, sizeof path, "Data\\SKSE\\Plugins\\%s-%d-%d-%d-%d.bin",
                beforeAE ? "version" : "versionlib", v.major, v.minor, v.build, v.sub);
  if (beforeAE) return {path, AcceptedFormat::kOnly1, Numbering::kSE};
  return {path, AcceptedFormat::kOnly2, Numbering::kAE};
}

std::optional<FileBytes> ReadFileBytes(std::string_view path) {
  platform::ReadOnlyFile file(path);
  if (!file.IsOpen()) return std::nullopt;
  FileBytes bytes;
  // One byte more than the stated size sees the end in one request (a short
  // read is confirmed by a read of nothing); a file that has grown meanwhile is
  // read on in steps of 64 KiB.
  std::size_t ask = 1 << 16;
  if (const std::optional<std::uint64_t> size = file.Size(); size && *size < (1ull << 40))
    ask = static_cast<std::size_t>(*size) + 1;
  for (;;) {
    const std::size_t have = bytes.size();
    bytes.resize(have + ask);
    const std::optional<std::size_t> got = file.Read(bytes.data() + have, ask);
    if (!got) return std::nullopt;
    bytes.resize(have + *got);
    if (*got < ask) {
      std::uint8_t more = 0;
      const std::optional<std::size_t> extra = file.Read(&more, 1);
      if (!extra) return std::nullopt;
      if (*extra == 0) return bytes;
      bytes.push_back(more);
    }
    ask = 1 << 16;
  }
}

}  // namespace cw::address
