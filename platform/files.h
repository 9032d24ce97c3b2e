#pragma once
// Files below the game folder, named as the game names them: relative to the
// working directory, with "/" or "\" as separators.
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

// True when the file can be opened for reading and writing without being created
// or truncated. A missing file, a folder and a read-only file fail; on POSIX a
// file whose mode has no write bit for anyone counts as read-only, whoever asks.
bool IsReadableWritable(std::string_view path);

// True when a file or folder of that name exists (whatever its attributes).
bool PathExists(std::string_view path);

// Size in bytes of a file that can be opened for reading; none for a folder, a
// missing file or one that cannot be opened or positioned at its end.
std::optional<std::uint64_t> ReadableFileSize(std::string_view path);

}  // namespace cw::platform
