#pragma once
// Files below the game folder, named as the game names them: relative to the
// working directory, with "/" or "\" as separators.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace cw::platform {

// The path to hand to the operating system for a game path. On Windows the path
// itself; on POSIX "\" becomes "/" and every component that does not exist as
// written is matched without regard to ASCII letter case.
std::string NativePath(std::string_view path);

// fopen of NativePath(path); null when it cannot be opened.
std::FILE* OpenFile(std::string_view path, const char* mode);

// A regular file opened for reading in binary mode; null for a missing file, a
// folder, a pipe or a device. Nothing is waited for (a pipe without a writer).
std::FILE* OpenRegularFile(std::string_view path);

// True when the file can be opened for reading and writing without being created
// or truncated. A missing file, a folder and a read-only file fail; on POSIX a
// file whose mode has no write bit for anyone counts as read-only, whoever asks.
bool IsReadableWritable(std::string_view path);

// True when a file or folder of that name exists (whatever its attributes).
bool PathExists(std::string_view path);

// A file opened for reading through the system's own calls, without the C
// library's buffer in between: for reading a whole file in large requests.
// Others may read, write and delete it meanwhile.
class ReadOnlyFile {
 public:
  explicit ReadOnlyFile(std::string_view path);
  ~ReadOnlyFile();
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

  bool IsOpen() const;
  // The size the system states; none when it cannot tell.
  std::optional<std::uint64_t> Size() const;
  // Reads up to `count` bytes at the current place: how many were read (0 at
  // the end), none on an error (a folder, for one).
  std::optional<std::size_t> Read(void* into, std::size_t count);

 private:
  std::intptr_t handle_;
};

// The entries of one folder, reached by the names that its listing gives: each is
// opened as it is named there, without a new search of the folder per entry.
class FolderEntries {
 public:
  explicit FolderEntries(std::string_view folder);
  ~FolderEntries();
  FolderEntries(const FolderEntries&) = delete;
  FolderEntries& operator=(const FolderEntries&) = delete;

  // Size in bytes of the entry `name` when it is a file that can be opened for
  // reading; none for a sub-folder, a pipe, a device or a missing entry.
  std::optional<std::uint64_t> ReadableSize(const char* name) const;

 private:
  std::string folder_;
  [[maybe_unused]] std::intptr_t handle_;  // the open folder, where the system has one
};

// Size in bytes of a file that can be opened for reading; none for a folder, a
// missing file or one whose size the system cannot tell.
inline std::optional<std::uint64_t> ReadableFileSize(std::string_view path) {
  return ReadOnlyFile(path).Size();
}

}  // namespace cw::platform
