#pragma once
// Builds version database files byte by byte for the tests.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace cw::test {

class DatabaseBytes {
 public:
  // A whole header: format, version, name, pointer size, entry count.
  static DatabaseBytes Header(std::int32_t count, std::int32_t pointerSize = 8,
                              const std::string& name = "SkyrimSE.exe", std::int32_t format = 1,
                              std::int32_t major = 1, std::int32_t minor = 5,
                              std::int32_t build = 97, std::int32_t sub = 0) {
    DatabaseBytes b;
    b.Int32(format).Int32(major).Int32(minor).Int32(build).Int32(sub);
    b.Int32(static_cast<std::int32_t>(name.size()));
    for (char c : name) b.Byte(static_cast<std::uint8_t>(c));
    b.Int32(pointerSize).Int32(count);
    return b;
  }

  DatabaseBytes& Byte(std::uint8_t v) {
    bytes_.push_back(v);
    return *this;
  }
  DatabaseBytes& Bytes(std::initializer_list<std::uint8_t> v) {
    bytes_.insert(bytes_.end(), v);
    return *this;
  }
  DatabaseBytes& Le(std::uint64_t v, int width) {
    for (int i = 0; i < width; ++i) bytes_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    return *this;
  }
  DatabaseBytes& Int32(std::int32_t v) { return Le(static_cast<std::uint32_t>(v), 4); }
  // One entry of type 0x00 or 0x80: both fields as full 8-byte values.
  DatabaseBytes& Absolute(std::uint64_t id, std::uint64_t offset, bool scaled = false) {
    return Byte(scaled ? 0x80 : 0x00).Le(id, 8).Le(offset, 8);
  }

  const std::vector<std::uint8_t>& bytes() const { return bytes_; }
  const std::uint8_t* data() const { return bytes_.data(); }
  std::size_t size() const { return bytes_.size(); }

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace cw::test
