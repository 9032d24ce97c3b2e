#include "natives/text/whole_file.h"

#include <cstdint>

#include "natives/text/utf16.h"
#include "platform/files.h"

namespace cw::text {
namespace {

// Seek and tell with 64-bit offsets, so that a file of 2 GiB or more is measured
// as what it is instead of a wrapped 32-bit position.
int SeekTo(std::FILE* file, int origin) {
#if defined(_WIN32)
  return _fseeki64(file, 0, origin);
#else
  return fseeko(file, 0, origin);
#endif
}

long long Tell(std::FILE* file) {
#if defined(_WIN32)
  return _ftelli64(file);
#else
  return static_cast<long long>(ftello(file));
#endif
}

}  // namespace

std::optional<std::string> ReadWholeFile(std::FILE* file,
                                         const std::function<void(FileReadStep)>& onStep) {
  auto step = [&](FileReadStep s) {
    if (onStep) onStep(s);
  };
  step(FileReadStep::kMeasuring);
  if (SeekTo(file, SEEK_END) != 0) return std::nullopt;
  step(FileReadStep::kMeasured);
  const long long size = Tell(file);
  if (size < 0 || size > kMaxFileBytes) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(size), '\0');
  step(FileReadStep::kRewinding);
  if (SeekTo(file, SEEK_SET) != 0) return std::nullopt;
  step(FileReadStep::kReading);
  const std::size_t got = bytes.empty() ? 0 : std::fread(bytes.data(), 1, bytes.size(), file);
  bytes.resize(got);
  return bytes;
}

std::optional<std::string> ReadUtf16File(std::string_view path) {
  FileHandle file(platform::OpenRegularFile(path));
  if (!file) return std::nullopt;
  std::optional<std::string> bytes = ReadWholeFile(file.get());
  if (!bytes) return std::nullopt;
  file.reset();
  return DecodeUtf16Le(*bytes);
}

}  // namespace cw::text
