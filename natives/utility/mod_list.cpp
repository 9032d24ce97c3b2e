#include "natives/utility/mod_list.h"

#include <algorithm>

#include "platform/ascii.h"

namespace cw {

std::uint32_t ModSlot::FormIDBase() const {
  switch (kind) {
    case Kind::kRegular:
      return static_cast<std::uint32_t>(index) << 24;
    case Kind::kLight:
      return (std::uint32_t{kLightFormTopByte} << 24) | ((lightIndex & 0xFFFu) << 12);
    case Kind::kMissing:
      break;
  }
  return 0xFF000000u;
}

bool ModSlot::Owns(std::uint32_t formID) const {
  switch (kind) {
    case Kind::kRegular:
      return (formID >> 24) == index;
    case Kind::kLight:
      return IsLightFormID(formID) && LightIndexOf(formID) == (lightIndex & 0xFFF);
    case Kind::kMissing:
      break;
  }
  return false;
}

std::string_view ModFileName(const TESFile& file) {
  const char* begin = file.fileName;
  const char* end = std::find(begin, begin + sizeof(file.fileName), '\0');
  return std::string_view(begin, static_cast<std::size_t>(end - begin));
}

const TESFile* FindModFile(const DataHandler* handler, std::string_view name) {
  if (handler == nullptr) return nullptr;
  for (const TESFileNode* node = &handler->files; node != nullptr; node = node->next) {
    if (node->entry == nullptr) return nullptr;
    if (EqualsIgnoringAsciiCase(ModFileName(*node->entry), name)) return node->entry;
  }
  return nullptr;
}

ModSlot ModSlotOf(const DataHandler* handler, std::string_view name) {
  ModSlot slot;
  const TESFile* file = FindModFile(handler, name);
  if (file == nullptr || file->compileIndex == kNotLoadedCompileIndex) return slot;
  if (file->compileIndex == kLightCompileIndex) {
    slot.kind = ModSlot::Kind::kLight;
    slot.lightIndex = static_cast<std::uint16_t>(file->lightIndex & 0xFFF);
  } else {
    slot.kind = ModSlot::Kind::kRegular;
    slot.index = file->compileIndex;
  }
  return slot;
}

namespace {
const TESFile* At(const EngineArray<TESFile>& files, std::int64_t index) {
  if (index < 0 || files.data == nullptr || index >= static_cast<std::int64_t>(files.count))
    return nullptr;
  return files.data[index];
}
}  // namespace

const TESFile* LoadedModAt(const DataHandler* handler, std::int64_t index) {
  return handler == nullptr ? nullptr : At(handler->loadedMods, index);
}

const TESFile* LoadedLightModAt(const DataHandler* handler, std::int64_t lightIndex) {
  return handler == nullptr ? nullptr : At(handler->loadedLightMods, lightIndex);
}

}  // namespace cw
