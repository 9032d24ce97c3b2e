#include "natives/utility/script_header.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>

#include "platform/files.h"

namespace cw::script {
namespace {

constexpr std::size_t kIdentificationSize = 8;
constexpr std::size_t kHeaderStringsOffset = 16;

// Sequential reader over bytes in memory.
class SpanSource {
 public:
  explicit SpanSource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  bool Read(std::uint8_t* out, std::size_t n) {
    if (n > bytes_.size() - pos_) return false;
    if (n != 0) std::memcpy(out, bytes_.data() + pos_, n);
    pos_ += n;
    return true;
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t pos_ = 0;
};

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Sequential reader over an open file, a block at a time.
class FileSource {
 public:
  explicit FileSource(std::FILE* file) : file_(file) {}

  bool Read(std::uint8_t* out, std::size_t n) {
    while (n != 0) {
      if (pos_ == len_ && !Refill()) return false;
      std::size_t take = len_ - pos_;
      if (take > n) take = n;
      std::memcpy(out, buffer_ + pos_, take);
      pos_ += take;
      out += take;
      n -= take;
    }
    return true;
  }

 private:
  bool Refill() {
    len_ = std::fread(buffer_, 1, sizeof buffer_, file_);
    pos_ = 0;
    return len_ != 0;
  }

  std::FILE* file_;
  std::uint8_t buffer_[4096];
  std::size_t len_ = 0;
  std::size_t pos_ = 0;
};

template <class Source>
bool Skip(Source& source, std::size_t n) {
  std::uint8_t scratch[256];
  while (n != 0) {
    const std::size_t step = n < sizeof scratch ? n : sizeof scratch;
    if (!source.Read(scratch, step)) return false;
    n -= step;
  }
  return true;
}

template <class Source>
std::optional<std::uint16_t> ReadU16(Source& source) {
  std::uint8_t b[2];
  if (!source.Read(b, 2)) return std::nullopt;
  return static_cast<std::uint16_t>(b[0] * 256u + b[1]);
}

// A counted string as the script sees it: cut at its first NUL.
template <class Source>
std::optional<std::string> ReadCounted(Source& source) {
  const auto length = ReadU16(source);
  if (!length) return std::nullopt;
  std::string text(*length, '\0');
  if (!source.Read(reinterpret_cast<std::uint8_t*>(text.data()), text.size())) return std::nullopt;
  text.resize(std::strlen(text.c_str()));
  return text;
}

template <class Source>
bool SkipCounted(Source& source) {
  const auto length = ReadU16(source);
  return length && Skip(source, *length);
}

template <class Source>
std::optional<ScriptHeader> HeaderFrom(Source& source) {
  // The identification is read but not examined, and the compilation time
  // after it is skipped: any file at the path is read with this layout.
  if (!Skip(source, kIdentificationSize)) return std::nullopt;
  if (!Skip(source, kHeaderStringsOffset - kIdentificationSize)) return std::nullopt;
  auto source_name = ReadCounted(source);
  if (!source_name) return std::nullopt;
  auto user = ReadCounted(source);
  if (!user) return std::nullopt;
  auto machine = ReadCounted(source);
  if (!machine) return std::nullopt;
  const auto count = ReadU16(source);
  if (!count) return std::nullopt;
  return ScriptHeader{std::move(*source_name), std::move(*user), std::move(*machine), *count};
}

template <class Source>
std::optional<std::string> StringFrom(Source& source, std::int32_t index) {
  const auto header = HeaderFrom(source);
  if (!header) return std::nullopt;
  const std::uint32_t wanted = index < 0 ? 0u : static_cast<std::uint32_t>(index);
  if (wanted >= header->count) return std::string();
  for (std::uint32_t i = 0; i < wanted; ++i)
    if (!SkipCounted(source)) return std::nullopt;
  return ReadCounted(source);
}

template <class Source>
bool HasStringFrom(Source& source, std::string_view text) {
  const auto header = HeaderFrom(source);
  if (!header) return false;
  // Compared as NUL-terminated texts: the argument ends at its first NUL too.
  const std::string_view wanted = text.substr(0, text.find('\0'));
  for (std::uint32_t i = 0; i < header->count; ++i) {
    const auto entry = ReadCounted(source);
    if (!entry) return false;
    if (*entry == wanted) return true;
  }
  return false;
}

FileHandle Open(std::string_view path) {
  return FileHandle(platform::OpenRegularFile(path));
}

}  // namespace

std::string ScriptPath(std::string_view folder, std::string_view name) {
  std::string path;
  path.reserve(folder.size() + name.size() + 4);
  path.append(folder).append(name).append(".pex");
  return path;
}

std::optional<ScriptHeader> ReadScriptHeader(std::span<const std::uint8_t> bytes) {
  SpanSource source(bytes);
  return HeaderFrom(source);
}

std::optional<std::string> ReadScriptString(std::span<const std::uint8_t> bytes,
                                            std::int32_t index) {
  SpanSource source(bytes);
  return StringFrom(source, index);
}

bool ScriptHasEntry(std::span<const std::uint8_t> bytes, std::string_view text) {
  SpanSource source(bytes);
  return HasStringFrom(source, text);
}

std::optional<ScriptHeader> ReadScriptHeaderFile(std::string_view path) {
  const FileHandle file = Open(path);
  if (!file) return std::nullopt;
  FileSource source(file.get());
  return HeaderFrom(source);
}

std::optional<std::string> ReadScriptStringFile(std::string_view path, std::int32_t index) {
  const FileHandle file = Open(path);
  if (!file) return std::nullopt;
  FileSource source(file.get());
  return StringFrom(source, index);
}

bool ScriptFileHasEntry(std::string_view path, std::string_view text) {
  const FileHandle file = Open(path);
  if (!file) return false;
  FileSource source(file.get());
  return HasStringFrom(source, text);
}

}  // namespace cw::script
