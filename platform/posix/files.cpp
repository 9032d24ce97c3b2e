#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <optional>

#include "platform/ascii.h"

namespace cw::platform {
namespace {

bool IsSeparator(char c) {
  return c == '/' || c == '\\';
}

bool IsDotsOnly(std::string_view component) {
  return component.find_first_not_of('.') == std::string_view::npos;
}

// Windows drops trailing dots and blanks of a path component ("a.txt." names a.txt).
std::string_view WindowsComponent(std::string_view component) {
  if (IsDotsOnly(component)) return component;
  std::size_t n = component.size();
  while (n > 0 && (component[n - 1] == '.' || component[n - 1] == ' ')) --n;
  return n == 0 ? component : component.substr(0, n);
}

bool Exists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

// The entry of folder whose name equals component without regard to ASCII case;
// the smallest such name when there are several, none when there is none.
std::optional<std::string> FindNoCase(const std::string& folder, std::string_view component) {
  const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.empty() ? "." : folder.c_str()),
                                                ::closedir);
  if (dir == nullptr) return std::nullopt;
  std::optional<std::string> found;
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string_view name(entry->d_name);
    if (EqualsIgnoringAsciiCase(name, component) && (!found || name < *found))
      found = std::string(name);
  }
  return found;
}

}  // namespace

std::string NativePath(std::string_view path) {
  std::string out;
  if (!path.empty() && IsSeparator(path.front())) out.push_back('/');
  bool parentExists = true;
  std::size_t pos = 0;
  while (pos < path.size()) {
    while (pos < path.size() && IsSeparator(path[pos])) ++pos;
    if (pos == path.size()) break;
    std::size_t end = pos;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    const std::string_view component = WindowsComponent(path.substr(pos, end - pos));
    pos = end;

    const std::string folder = out;
    if (!out.empty() && out.back() != '/') out += '/';
    const std::size_t at = out.size();
    out += component;
    if (!parentExists || IsDotsOnly(component) || Exists(out)) continue;
    if (std::optional<std::string> match = FindNoCase(folder, component)) {
      out.replace(at, std::string::npos, *match);
    } else {
      parentExists = false;
    }
  }
  if (!path.empty() && IsSeparator(path.back()) && !out.empty() && out.back() != '/') out += '/';
  return out;
}

std::FILE* OpenFile(std::string_view path, const char* mode) {
  return std::fopen(NativePath(path).c_str(), mode);
}

std::FILE* OpenRegularFile(std::string_view path) {
  const int fd = ::open(NativePath(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st;
  const int flags = ::fcntl(fd, F_GETFL);
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || flags < 0 ||
      ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    ::close(fd);
    return nullptr;
  }
  std::FILE* file = ::fdopen(fd, "rb");
  if (file == nullptr) ::close(fd);
  return file;
}

bool IsReadableWritable(std::string_view path) {
  const std::string native = NativePath(path);
  struct stat st;
  if (::stat(native.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  // Windows refuses a file with the read-only attribute even to its administrator.
  if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return false;
  if (::access(native.c_str(), R_OK | W_OK) != 0) return false;
  std::FILE* file = std::fopen(native.c_str(), "r+");
  if (file == nullptr) return false;
  std::fclose(file);
  return true;
}

bool PathExists(std::string_view path) {
  const std::string native = NativePath(path);
  struct stat st;
  return !native.empty() && ::stat(native.c_str(), &st) == 0;
}

ReadOnlyFile::ReadOnlyFile(std::string_view path)
    // Non-blocking, so that a pipe in the folder cannot hold the caller.
    : handle_(::open(NativePath(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)) {}

ReadOnlyFile::~ReadOnlyFile() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

bool ReadOnlyFile::IsOpen() const {
  return handle_ >= 0;
}

std::optional<std::uint64_t> ReadOnlyFile::Size() const {
  struct stat st;
  if (handle_ < 0 || ::fstat(static_cast<int>(handle_), &st) != 0 || !S_ISREG(st.st_mode))
    return std::nullopt;
  return static_cast<std::uint64_t>(st.st_size);
}

std::optional<std::size_t> ReadOnlyFile::Read(void* into, std::size_t count) {
  if (handle_ < 0) return std::nullopt;
  for (;;) {
    const ssize_t got = ::read(static_cast<int>(handle_), into, count);
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno != EINTR) return std::nullopt;
  }
}

}  // namespace cw::platform

namespace cw::platform {

FolderEntries::FolderEntries(std::string_view folder)
    : folder_(NativePath(folder)),
      handle_(::open(folder_.empty() ? "." : folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
}

FolderEntries::~FolderEntries() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

std::optional<std::uint64_t> FolderEntries::ReadableSize(const char* name) const {
  if (handle_ < 0) return std::nullopt;
  // Non-blocking, so that a pipe in the folder cannot hold the caller.
  const int fd = ::openat(static_cast<int>(handle_), name, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat st;
  std::optional<std::uint64_t> size;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) size = static_cast<std::uint64_t>(st.st_size);
  ::close(fd);
  return size;
}

}  // namespace cw::platform
