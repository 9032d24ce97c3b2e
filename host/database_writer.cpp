#include "host/database_writer.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace cw::sim {
namespace {

void Put(std::vector<std::uint8_t>& out, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// Chooses the shortest coding of `next` relative to `previous`: returns the nibble
// and appends the bytes that follow it to `tail`.
std::uint8_t Code(std::uint64_t previous, std::uint64_t next, std::vector<std::uint8_t>& tail) {
  const std::uint64_t up = next - previous;
  const std::uint64_t down = previous - next;
  if (up == 1) return 1;
  if (next >= previous && up < 0x100) return Put(tail, up, 1), 2;
  if (next < previous && down < 0x100) return Put(tail, down, 1), 3;
  if (next >= previous && up < 0x10000) return Put(tail, up, 2), 4;
  if (next < previous && down < 0x10000) return Put(tail, down, 2), 5;
  if (next < 0x10000) return Put(tail, next, 2), 6;
  if (next < 0x100000000ull) return Put(tail, next, 4), 7;
  return Put(tail, next, 8), 0;
}

}  // namespace

bool IsAnniversaryLine(const DatabaseVersion& v) {
  return v.major > 1 || (v.major == 1 && v.minor >= 6);
}

std::vector<std::uint8_t> EncodeDatabase(const DatabaseVersion& version, const std::string& name,
                                         const std::map<std::uint64_t, std::uint64_t>& entries) {
  constexpr std::uint64_t kPointerSize = 8;
  std::vector<std::uint8_t> out;
  Put(out, IsAnniversaryLine(version) ? 2 : 1, 4);
  Put(out, static_cast<std::uint32_t>(version.major), 4);
  Put(out, static_cast<std::uint32_t>(version.minor), 4);
  Put(out, static_cast<std::uint32_t>(version.build), 4);
  Put(out, static_cast<std::uint32_t>(version.sub), 4);
  Put(out, name.size(), 4);
  out.insert(out.end(), name.begin(), name.end());
  Put(out, kPointerSize, 4);
  Put(out, entries.size(), 4);
  std::uint64_t previousId = 0, previousOffset = 0;
  for (const auto& [id, offset] : entries) {
    std::vector<std::uint8_t> idBytes, offsetBytes;
    const std::uint8_t idCode = Code(previousId, id, idBytes);
    // Offsets that are multiples of the pointer size are coded in its units.
    const bool scaled = offset % kPointerSize == 0;
    const std::uint8_t offsetCode =
        scaled ? Code(previousOffset / kPointerSize, offset / kPointerSize, offsetBytes)
               : Code(previousOffset, offset, offsetBytes);
    out.push_back(static_cast<std::uint8_t>(idCode | (offsetCode << 4) | (scaled ? 0x80 : 0)));
    out.insert(out.end(), idBytes.begin(), idBytes.end());
    out.insert(out.end(), offsetBytes.begin(), offsetBytes.end());
    previousId = id;
    previousOffset = offset;
  }
  return out;
}

std::string DatabasePath(const std::string& gameDir, const DatabaseVersion& v) {
  char name[96];
  std::snprintf(name, sizeof name, "%s-%d-%d-%d-%d.bin",
                IsAnniversaryLine(v) ? "versionlib" : "version", v.major, v.minor, v.build, v.sub);
  std::string dir = gameDir.empty() ? std::string(".") : gameDir;
  return dir + "/Data/SKSE/Plugins/" + name;
}

bool IsOurDatabase(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  unsigned char header[24];
  if (!in.read(reinterpret_cast<char*>(header), sizeof header)) return false;
  const std::uint32_t length = header[20] | header[21] << 8 | header[22] << 16 |
                               static_cast<std::uint32_t>(header[23]) << 24;
  if (length != std::strlen(kDatabaseMark)) return false;
  std::string name(length, '\0');
  return in.read(name.data(), length) && name == kDatabaseMark;
}

bool WriteDatabase(const std::string& path, const std::vector<std::uint8_t>& bytes,
                   std::string* error) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (fs::exists(path, ec) && !IsOurDatabase(path)) {
    *error = "refusing to replace " + path + ": it was not written by cradlewright-host";
    return false;
  }
  fs::create_directories(fs::path(path).parent_path(), ec);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out.write(reinterpret_cast<const char*>(bytes.data()),
                 static_cast<std::streamsize>(bytes.size())) ||
      !out.flush()) {
    *error = "cannot write " + path;
    return false;
  }
  return true;
}

}  // namespace cw::sim
