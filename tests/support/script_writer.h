#pragma once
// Writer of compiled script files (.pex) with our own identification: the
// header, the three header strings and the string table. The sections after
// the string table are left empty. Used by the tests and by
// examples/generators/make_example_script.cpp.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace cw::script {

struct ScriptImage {
  std::array<std::uint8_t, 4> magic = {0xFA, 0x57, 0xC0, 0xDE};
  std::uint8_t major = 3;
  std::uint8_t minor = 2;
  std::uint16_t game = 1;
  std::uint64_t compiled = 0;  // compilation time, written as 8 bytes
  std::string source;
  std::string user;
  std::string machine;
  std::vector<std::string> strings;  // the string table, in order
};

// The file's bytes, big-endian. Throws std::length_error for a text longer
// than 65535 bytes or more than 65535 strings.
std::vector<std::uint8_t> WriteScript(const ScriptImage& image);

}  // namespace cw::script
