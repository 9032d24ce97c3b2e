#pragma once
// The engine's plugin files: the list of every file it found, walked by name, and
// the loaded regular and light plugins, indexed by load-order and light index.
#include <cstdint>
#include <string_view>

#include "plugin/engine_types.h"

namespace cw {

// Where a plugin's forms live. A regular plugin's form IDs are II xxxxxx (II its
// load-order index), a light plugin's FE LLL xxx (LLL its light index). A name
// that the engine did not find, or a file it found but did not load, is missing.
struct ModSlot {
  enum class Kind : std::uint8_t { kMissing, kRegular, kLight };
  Kind kind = Kind::kMissing;
  std::uint8_t index = 0;        // load-order index of a regular plugin
  std::uint16_t lightIndex = 0;  // light index of a light plugin (12 bits)

  bool found() const { return kind != Kind::kMissing; }
  // The form-ID bits that name the plugin: II000000, FELLL000, or FF000000 when missing.
  std::uint32_t FormIDBase() const;
  // Whether a form ID belongs to this plugin.
  bool Owns(std::uint32_t formID) const;
};

// The entry's file name up to its NUL; never reads past the name field.
std::string_view ModFileName(const TESFile& file);

// The first file of the engine's list whose name equals `name` without regard to
// ASCII case; null at the end of the list, at a null entry, or for a null handler.
const TESFile* FindModFile(const DataHandler* handler, std::string_view name);

// Where the forms of the file named `name` live; missing when the list has no such
// file or the engine did not load it.
ModSlot ModSlotOf(const DataHandler* handler, std::string_view name);

// The loaded regular plugin at a load-order index, or the loaded light plugin at a
// light index; null when the index is negative or not below the count, or the slot
// is empty.
const TESFile* LoadedModAt(const DataHandler* handler, std::int64_t index);
const TESFile* LoadedLightModAt(const DataHandler* handler, std::int64_t lightIndex);

// Parts of a light plugin's form ID FE LLL xxx.
inline constexpr std::uint8_t kLightFormTopByte = 0xFE;
inline bool IsLightFormID(std::uint32_t formID) {
  return (formID >> 24) == kLightFormTopByte;
}
inline std::uint16_t LightIndexOf(std::uint32_t formID) {
  return static_cast<std::uint16_t>((formID >> 12) & 0xFFF);
}

}  // namespace cw
