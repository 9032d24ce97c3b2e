#include "gamedata/plugin_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace cw::gamedata {
namespace {

constexpr std::uint64_t kHeaderSize = 24;
// Real files nest groups at most six deep (world, block, sub-block, cell,
// cell children, temporary children); anything far deeper is damage.
constexpr std::size_t kMaxGroupDepth = 32;
// Above this a file source stops reading ahead and seeks.
constexpr std::size_t kWindowSize = 64 * 1024;

std::uint32_t U32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::uint16_t U16(const unsigned char* p) {
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

std::string Hex(std::uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
  return text;
}

// Bytes of a file or of memory, read at any offset.
class Source {
 public:
  virtual ~Source() = default;
  std::uint64_t Size() const { return size_; }
  // Exactly `count` bytes at `offset`; false when they are not all there.
  virtual bool ReadAt(std::uint64_t offset, void* into, std::size_t count) = 0;

 protected:
  std::uint64_t size_ = 0;
};

class MemorySource : public Source {
 public:
  explicit MemorySource(std::string_view bytes) : bytes_(bytes) { size_ = bytes.size(); }
  bool ReadAt(std::uint64_t offset, void* into, std::size_t count) override {
    if (offset > size_ || size_ - offset < count) return false;
    if (count > 0) std::memcpy(into, bytes_.data() + offset, count);
    return true;
  }

 private:
  std::string_view bytes_;
};

// A file read through a window of the bytes around the last place read: a walk
// over small records reads the file in large pieces, one over large records
// seeks past their data.
class FileSource : public Source {
 public:
  explicit FileSource(const std::filesystem::path& path)
      : in_(path, std::ios::binary), window_(kWindowSize) {
    if (in_) {
      in_.seekg(0, std::ios::end);
      const std::streamoff end = in_.tellg();
      size_ = end > 0 ? static_cast<std::uint64_t>(end) : 0;
    }
  }
  bool IsOpen() const { return static_cast<bool>(in_); }

  bool ReadAt(std::uint64_t offset, void* into, std::size_t count) override {
    if (offset > size_ || size_ - offset < count) return false;
    if (count == 0) return true;
    auto* out = static_cast<unsigned char*>(into);
    if (count > kWindowSize) return Direct(offset, out, count);
    if (offset < start_ || offset + count > start_ + filled_) {
      start_ = offset;
      filled_ = 0;
      const std::size_t want =
          static_cast<std::size_t>(std::min<std::uint64_t>(kWindowSize, size_ - offset));
      if (!Direct(offset, window_.data(), want)) return false;
      filled_ = want;
    }
    std::memcpy(out, window_.data() + (offset - start_), count);
    return true;
  }

 private:
  bool Direct(std::uint64_t offset, unsigned char* out, std::size_t count) {
    in_.clear();
    in_.seekg(static_cast<std::streamoff>(offset));
    in_.read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(count));
    return in_.gcount() == static_cast<std::streamsize>(count);
  }

  std::ifstream in_;
  std::vector<unsigned char> window_;
  std::uint64_t start_ = 0;
  std::size_t filled_ = 0;
};

class Walker {
 public:
  Walker(Source& source, std::string_view name, PluginContents* out) : source_(source), out_(*out) {
    out_.error.file = std::string(name);
  }

  bool Fail(std::uint64_t offset, std::string what) {
    out_.error.offset = offset;
    out_.error.what = std::move(what);
    out_.ok = false;
    return false;
  }

  // The TES4 record; `end` receives the offset after it.
  bool Header(std::uint64_t* end) {
    unsigned char head[kHeaderSize];
    if (!source_.ReadAt(0, head, sizeof head))
      return Fail(0, "not a plugin file: shorter than a record header");
    if (U32(head) != Signature("TES4"))
      return Fail(0, "not a plugin file: starts with " + SignatureText(U32(head)) + ", not TES4");
    const std::uint32_t size = U32(head + 4);
    out_.header.flags = U32(head + 8);
    if (size > source_.Size() - kHeaderSize)
      return Fail(
          0, "the TES4 record's size " + std::to_string(size) + " runs past the end of the file");
    if (out_.header.flags & kCompressedFlag) return Fail(0, "the TES4 record is compressed");
    std::vector<unsigned char> data(size);
    if (!source_.ReadAt(kHeaderSize, data.data(), size))
      return Fail(kHeaderSize, "the file cannot be read");
    *end = kHeaderSize + size;
    return Subrecords(data);
  }

  bool Subrecords(const std::vector<unsigned char>& data) {
    bool sawHEDR = false;
    bool longNext = false;  // an XXXX subrecord gave the next one's size
    std::uint32_t longSize = 0;
    std::size_t pos = 0;
    while (pos < data.size()) {
      const std::uint64_t at = kHeaderSize + pos;
      if (data.size() - pos < 6) return Fail(at, "a subrecord header runs past the TES4 record");
      const std::uint32_t signature = U32(&data[pos]);
      std::uint32_t size = U16(&data[pos + 4]);
      if (longNext) size = longSize;
      longNext = false;
      pos += 6;
      if (size > data.size() - pos)
        return Fail(at, "the " + SignatureText(signature) + " subrecord's size " +
                            std::to_string(size) + " runs past the TES4 record");
      const unsigned char* p = &data[pos];
      if (signature == Signature("XXXX")) {
        if (size != 4) return Fail(at, "an XXXX subrecord of " + std::to_string(size) + " bytes");
        longSize = U32(p);
        longNext = true;
      } else if (signature == Signature("HEDR")) {
        if (size < 12) return Fail(at, "the HEDR subrecord is shorter than 12 bytes");
        std::uint32_t bits = U32(p);
        std::memcpy(&out_.header.version, &bits, sizeof bits);
        out_.header.recordCount = U32(p + 4);
        out_.header.nextObjectID = U32(p + 8);
        sawHEDR = true;
      } else if (signature == Signature("MAST")) {
        const auto* end = std::find(p, p + size, '\0');
        out_.header.masters.emplace_back(reinterpret_cast<const char*>(p),
                                         static_cast<std::size_t>(end - p));
      }
      pos += size;
    }
    if (!sawHEDR) return Fail(kHeaderSize, "the TES4 record has no HEDR subrecord");
    return true;
  }

  // Every record after the header; group ends are kept on a stack of their own.
  bool Records(std::uint64_t pos) {
    const std::uint64_t fileEnd = source_.Size();
    std::vector<std::uint64_t> groupEnds;
    unsigned char head[kHeaderSize];
    while (true) {
      const std::uint64_t limit = groupEnds.empty() ? fileEnd : groupEnds.back();
      if (pos == limit) {
        if (groupEnds.empty()) return true;
        groupEnds.pop_back();
        continue;
      }
      const char* inside = groupEnds.empty() ? "the file" : "its group";
      if (limit - pos < kHeaderSize)
        return Fail(pos, std::string("a record header runs past the end of ") + inside);
      if (!source_.ReadAt(pos, head, sizeof head)) return Fail(pos, "the file cannot be read");
      const std::uint32_t signature = U32(head);
      const std::uint32_t size = U32(head + 4);
      if (signature == Signature("GRUP")) {
        if (size < kHeaderSize)
          return Fail(pos,
                      "a group's size " + std::to_string(size) + " is smaller than its header");
        if (size > limit - pos)
          return Fail(pos,
                      "a group's size " + std::to_string(size) + " runs past the end of " + inside);
        if (groupEnds.size() >= kMaxGroupDepth)
          return Fail(pos, "groups nested more than " + std::to_string(kMaxGroupDepth) + " deep");
        groupEnds.push_back(pos + size);
        pos += kHeaderSize;
      } else {
        if (size > limit - pos - kHeaderSize)
          return Fail(pos, "the " + SignatureText(signature) + " record's size " +
                               std::to_string(size) + " runs past the end of " + inside);
        out_.records.push_back({signature, U32(head + 8), U32(head + 12)});
        pos += kHeaderSize + size;
      }
    }
  }

 private:
  Source& source_;
  PluginContents& out_;
};

PluginContents Read(Source& source, std::string_view name, Depth depth) {
  PluginContents contents;
  Walker walker(source, name, &contents);
  std::uint64_t end = 0;
  if (!walker.Header(&end)) return contents;
  if (depth == Depth::kRecords) {
    contents.records.reserve(
        std::min<std::uint64_t>(contents.header.recordCount, (source.Size() - end) / kHeaderSize));
    if (!walker.Records(end)) return contents;
  }
  contents.ok = true;
  return contents;
}

}  // namespace

std::string SignatureText(std::uint32_t signature) {
  std::string text;
  for (int i = 0; i < 4; ++i) {
    const auto c = static_cast<unsigned char>(signature >> (8 * i));
    if (c >= 0x20 && c < 0x7F) {
      text += static_cast<char>(c);
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
      text += escaped;
    }
  }
  return text;
}

std::string ReadError::Text() const {
  return file + ": offset " + Hex(offset) + ": " + what;
}

PluginContents ReadPluginBytes(std::string_view bytes, std::string_view name, Depth depth) {
  MemorySource source(bytes);
  return Read(source, name, depth);
}

PluginContents ReadPluginFile(const std::filesystem::path& path, Depth depth) {
  FileSource source(path);
  const std::u8string utf8 = path.u8string();
  const std::string name(utf8.begin(), utf8.end());
  if (!source.IsOpen()) {
    PluginContents contents;
    contents.error = {name, 0, "cannot open the file"};
    return contents;
  }
  return Read(source, name, depth);
}

}  // namespace cw::gamedata
