#include "tests/support/script_writer.h"

#include <stdexcept>

namespace cw::script {
namespace {

void PutU16(std::vector<std::uint8_t>& out, std::size_t value) {
  if (value > 0xFFFF) throw std::length_error("compiled script field over 65535");
  out.push_back(static_cast<std::uint8_t>(value >> 8));
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
}

void PutCounted(std::vector<std::uint8_t>& out, const std::string& text) {
  PutU16(out, text.size());
  out.insert(out.end(), text.begin(), text.end());
}

}  // namespace

std::vector<std::uint8_t> WriteScript(const ScriptImage& image) {
  std::vector<std::uint8_t> out(image.magic.begin(), image.magic.end());
  out.push_back(image.major);
  out.push_back(image.minor);
  PutU16(out, image.game);
  for (int shift = 56; shift >= 0; shift -= 8)
    out.push_back(static_cast<std::uint8_t>(image.compiled >> shift));
  PutCounted(out, image.source);
  PutCounted(out, image.user);
  PutCounted(out, image.machine);
  PutU16(out, image.strings.size());
  for (const std::string& text : image.strings) PutCounted(out, text);
  return out;
}

}  // namespace cw::script
