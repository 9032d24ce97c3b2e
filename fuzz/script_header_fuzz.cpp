// The compiled script reader against a reference that parses the whole header
// and string table first, and the file readers against the byte readers.
//
// Input: four bytes of an entry index (little-endian, signed), then the file.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "natives/utility/script_header.h"

namespace cw::fuzz {
namespace {

// What a file holds: the header when it is complete, and as many whole entries
// of the string table as the bytes hold (up to the count).
struct ReferenceScript {
  bool hasHeader = false;
  std::string source, user, machine;
  std::uint32_t count = 0;
  std::vector<std::string> entries;
};

class BigEndianReader {
 public:
  explicit BigEndianReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  bool Skip(std::size_t n) {
    if (bytes_.size() - pos_ < n) return false;
    pos_ += n;
    return true;
  }
  std::optional<std::uint32_t> U16() {
    if (bytes_.size() - pos_ < 2) return std::nullopt;
    const std::uint32_t value = (std::uint32_t{bytes_[pos_]} << 8) | bytes_[pos_ + 1];
    pos_ += 2;
    return value;
  }
  // A counted string up to its first NUL.
  std::optional<std::string> Counted() {
    const std::optional<std::uint32_t> length = U16();
    if (!length || bytes_.size() - pos_ < *length) return std::nullopt;
    std::string text;
    for (std::size_t i = 0; i < *length && bytes_[pos_ + i] != 0; ++i)
      text += static_cast<char>(bytes_[pos_ + i]);
    pos_ += *length;
    return text;
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t pos_ = 0;
};

ReferenceScript ReferenceParse(std::span<const std::uint8_t> bytes) {
  ReferenceScript script;
  BigEndianReader in(bytes);
  if (!in.Skip(16)) return script;
  auto source = in.Counted();
  auto user = source ? in.Counted() : std::nullopt;
  auto machine = user ? in.Counted() : std::nullopt;
  auto count = machine ? in.U16() : std::nullopt;
  if (!count) return script;
  script.hasHeader = true;
  script.source = *source;
  script.user = *user;
  script.machine = *machine;
  script.count = *count;
  while (script.entries.size() < script.count) {
    auto entry = in.Counted();
    if (!entry) break;
    script.entries.push_back(*entry);
  }
  return script;
}

std::optional<std::string> ExpectedString(const ReferenceScript& script, std::int32_t index) {
  if (!script.hasHeader) return std::nullopt;
  const std::uint32_t k = index < 0 ? 0 : static_cast<std::uint32_t>(index);
  if (k >= script.count) return std::string();
  if (k >= script.entries.size()) return std::nullopt;
  return script.entries[k];
}

bool ExpectedHas(const ReferenceScript& script, std::string_view text) {
  const std::string wanted(text.substr(0, text.find('\0')));
  for (const std::string& entry : script.entries)
    if (entry == wanted) return true;
  return false;
}

bool SameHeader(const std::optional<script::ScriptHeader>& header, const ReferenceScript& script) {
  if (!header) return !script.hasHeader;
  return script.hasHeader && header->source == script.source && header->user == script.user &&
         header->machine == script.machine && header->count == script.count;
}

// A file of this process that holds the current input.
class ScratchFile {
 public:
  ScratchFile() : path_("/tmp/cw-script-fuzz-" + std::to_string(::getpid()) + ".pex") {}
  ~ScratchFile() { std::remove(path_.c_str()); }

  bool Write(std::span<const std::uint8_t> bytes) {
    std::FILE* file = std::fopen(path_.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
  }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace
}  // namespace cw::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace cw;
  std::int32_t index = 0;
  std::span<const std::uint8_t> file(data, size);
  if (size >= 4) {
    index =
        static_cast<std::int32_t>(data[0] | (std::uint32_t{data[1]} << 8) |
                                  (std::uint32_t{data[2]} << 16) | (std::uint32_t{data[3]} << 24));
    file = file.subspan(4);
  }
  const fuzz::ReferenceScript script = fuzz::ReferenceParse(file);
  const std::optional<script::ScriptHeader> header = script::ReadScriptHeader(file);
  CW_FUZZ_CHECK(fuzz::SameHeader(header, script));

  const std::int32_t entries = static_cast<std::int32_t>(script.entries.size());
  const std::int32_t count = static_cast<std::int32_t>(script.count);
  for (const std::int32_t i : {index, -1, 0, count - 1, count, entries, entries - 1})
    CW_FUZZ_CHECK(script::ReadScriptString(file, i) == fuzz::ExpectedString(script, i));

  std::vector<std::string> texts{std::string(), script.source, script.user,
                                 std::string("\0tail", 5)};
  for (std::size_t i = 0; i < script.entries.size() && i < 8; ++i) {
    texts.push_back(script.entries[script.entries.size() - 1 - i]);
    texts.push_back(script.entries[i] + std::string("\0x", 2));
    texts.push_back(script.entries[i] + "x");
  }
  for (const std::string& text : texts)
    CW_FUZZ_CHECK(script::ScriptHasEntry(file, text) == fuzz::ExpectedHas(script, text));

  // The same bytes read from a file, through the file reader's own buffering.
  static fuzz::ScratchFile scratch;
  CW_FUZZ_CHECK(scratch.Write(file));
  CW_FUZZ_CHECK(fuzz::SameHeader(script::ReadScriptHeaderFile(scratch.Path()), script));
  CW_FUZZ_CHECK(script::ReadScriptStringFile(scratch.Path(), index) ==
                fuzz::ExpectedString(script, index));
  CW_FUZZ_CHECK(script::ReadScriptStringFile(scratch.Path(), entries - 1) ==
                fuzz::ExpectedString(script, entries - 1));
  for (std::size_t i = 0; i < texts.size() && i < 6; ++i)
    CW_FUZZ_CHECK(script::ScriptFileHasEntry(scratch.Path(), texts[i]) ==
                  fuzz::ExpectedHas(script, texts[i]));
  return 0;
}
