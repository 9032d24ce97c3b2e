#include "platform/files.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace cw::platform {

std::string NativePath(std::string_view path) {
  return std::string(path);
}

std::FILE* OpenFile(std::string_view path, const char* mode) {
  return std::fopen(NativePath(path).c_str(), mode);
}

std::FILE* OpenRegularFile(std::string_view path) {
  const HANDLE handle = CreateFileA(NativePath(path).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  // A device (CON, NUL, COM1 in any folder) or a pipe is no file on a disk.
  BY_HANDLE_FILE_INFORMATION info;
  if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(handle, &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    CloseHandle(handle);
    return nullptr;
  }
  const int fd = _open_osfhandle(reinterpret_cast<std::intptr_t>(handle), _O_RDONLY | _O_BINARY);
  if (fd < 0) {
    CloseHandle(handle);
    return nullptr;
  }
  std::FILE* file = _fdopen(fd, "rb");
  if (file == nullptr) _close(fd);  // closes the handle too
  return file;
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

ReadOnlyFile::ReadOnlyFile(std::string_view path)
    : handle_(reinterpret_cast<std::intptr_t>(CreateFileA(
          NativePath(path).c_str(), GENERIC_READ,
          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr))) {}

ReadOnlyFile::~ReadOnlyFile() {
  if (IsOpen()) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

bool ReadOnlyFile::IsOpen() const {
  return reinterpret_cast<HANDLE>(handle_) != INVALID_HANDLE_VALUE;
}

std::optional<std::uint64_t> ReadOnlyFile::Size() const {
  LARGE_INTEGER size;
  if (!IsOpen() || !GetFileSizeEx(reinterpret_cast<HANDLE>(handle_), &size) || size.QuadPart < 0)
    return std::nullopt;
  return static_cast<std::uint64_t>(size.QuadPart);
}

std::optional<std::size_t> ReadOnlyFile::Read(void* into, std::size_t count) {
  if (!IsOpen()) return std::nullopt;
  // One request takes at most what a DWORD counts; the caller asks again.
  const DWORD asked = static_cast<DWORD>(count < (DWORD{1} << 30) ? count : (DWORD{1} << 30));
  DWORD got = 0;
  if (!ReadFile(reinterpret_cast<HANDLE>(handle_), into, asked, &got, nullptr)) return std::nullopt;
  return static_cast<std::size_t>(got);
}

FolderEntries::FolderEntries(std::string_view folder) : folder_(folder), handle_(0) {}

FolderEntries::~FolderEntries() = default;

std::optional<std::uint64_t> FolderEntries::ReadableSize(const char* name) const {
  return ReadableFileSize(folder_ + name);
}

}  // namespace cw::platform
