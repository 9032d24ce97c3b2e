#include "natives/utility/mod_list.h"

#include <algorithm>
#include <climits>

#include "platform/ascii.h"

namespace cw {
std::string_view ModFileName(const TESFile& file) {
  const char* begin = file.fileName;
  const char* end = std::find(begin, begin + sizeof(file.fileName), '\0');
  return std::string_view(begin, static_cast<std::size_t>(end - begin));
}

int ModFilePosition(const DataHandler* handler, std::string_view name) {
  if (handler == nullptr) return -1;
  int position = 0;
  for (const TESFileNode* node = &handler->files; node != nullptr; node = node->next) {
    if (node->entry == nullptr) return -1;
    if (EqualsIgnoringAsciiCase(ModFileName(*node->entry), name)) return position;
    if (position == INT_MAX) return -1;
    ++position;
  }
  return -1;
}

std::uint8_t LoadOrderIndex(const DataHandler* handler, std::string_view name) {
  const int position = ModFilePosition(handler, name);
  return position < 0 ? kMissingLoadOrderIndex : static_cast<std::uint8_t>(position & 0xFF);
}

const TESFile* LoadedModAt(const DataHandler* handler, std::int64_t index) {
  if (handler == nullptr || index < 0) return nullptr;
  const EngineArray<TESFile>& mods = handler->loadedMods;
  if (mods.data == nullptr || index >= static_cast<std::int64_t>(mods.count)) return nullptr;
  return mods.data[index];
}

}  // namespace cw
