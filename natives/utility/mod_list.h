#pragma once
// The engine's lists of mod files: the load-order list walked by name, and the
// loaded regular mods indexed by load-order index.
#include <cstdint>
#include <string_view>

#include "plugin/engine_types.h"

namespace cw {

// Load-order index that stands for "no mod file of that name".
inline constexpr std::uint8_t kMissingLoadOrderIndex = 0xFF;

// The entry's file name up to its NUL; never reads past the name field.
std::string_view ModFileName(const TESFile& file);

// 0-based position of the first mod file whose name equals `name` without regard
// to ASCII case, walking the list from the handler's head node; -1 at the end of
// the list, at a null entry, or for a null handler.
int ModFilePosition(const DataHandler* handler, std::string_view name);

// The low 8 bits of the position of `name`, or kMissingLoadOrderIndex when the
// list has no such file.
std::uint8_t LoadOrderIndex(const DataHandler* handler, std::string_view name);

// The loaded regular mod at a load-order index; null when the index is negative or
// not below the count, or the slot is empty.
const TESFile* LoadedModAt(const DataHandler* handler, std::int64_t index);

}  // namespace cw
