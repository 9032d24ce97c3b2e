#include "platform/files.h"

#include <windows.h>

namespace cw::platform {

std::string NativePath(std::string_view path) {
  return std::string(path);
}

std::FILE* OpenFile(std::string_view path, const char* mode) {
  return std::fopen(NativePath(path).c_str(), mode);
}

bool IsReadableWritable(std::string_view path) {
  // The runtime's "r+" opens with sharing allowed and fails for a folder, a missing
  // file, a read-only file and a file held open without sharing.
  std::FILE* file = std::fopen(NativePath(path).c_str(), "r+");
  if (file == nullptr) return false;
  std::fclose(file);
  return true;
}

bool PathExists(std::string_view path) {
  const std::string native = NativePath(path);
  return !native.empty() && GetFileAttributesA(native.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<std::uint64_t> ReadableFileSize(std::string_view path) {
  std::FILE* file = std::fopen(NativePath(path).c_str(), "rb");
  if (file == nullptr) return std::nullopt;
  std::optional<std::uint64_t> size;
  if (_fseeki64(file, 0, SEEK_END) == 0) {
    const __int64 end = _ftelli64(file);
    if (end >= 0) size = static_cast<std::uint64_t>(end);
  }
  std::fclose(file);
  return size;
}

}  // namespace cw::platform
