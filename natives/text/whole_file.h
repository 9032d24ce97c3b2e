#pragma once
// Reading a file whole, in one request, as the mod's text files are read.
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace cw::text {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Files are measured as signed 32-bit sizes: 2 GiB and more is not read.
inline constexpr long long kMaxFileBytes = 0x7FFFFFFF;

// The steps of ReadWholeFile, in the order they are entered.
enum class FileReadStep { kMeasuring, kMeasured, kRewinding, kReading };

// Reads an open file from its start: the size comes from seeking to its end, the
// bytes from one read of that many. Nothing when the size cannot be taken or is
// 2 GiB or more. A read error or a short read gives the bytes read so far.
std::optional<std::string> ReadWholeFile(std::FILE* file,
                                         const std::function<void(FileReadStep)>& onStep = {});

// The decoded text of a UTF-16 little-endian file (see DecodeUtf16Le); nothing when
// it cannot be opened (or is no regular file: a folder, a pipe, a device) or measured.
std::optional<std::string> ReadUtf16File(std::string_view path);

}  // namespace cw::text
