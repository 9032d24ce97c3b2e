#pragma once
// The quests that one mod file defines: those of the engine's quest array whose
// form ID top byte is the file's load-order index, in array order.
#include <cstdint>
#include <optional>
#include <string_view>

#include "plugin/engine_types.h"

namespace cw {

// Load-order index (low 8 bits of the position) of the first of the names
// `modName`, `modName` + ".esp", `modName` + ".esm" that the mod list has;
// nothing when it has none of them.
std::optional<std::uint8_t> QuestModIndex(const DataHandler* handler, std::string_view modName);

// How many quests the mod owns; 0 when the mod is not found.
std::int32_t QuestCountOfMod(const DataHandler* handler, std::string_view modName);

// The mod's quest at `position` among its own quests (0 or a negative position
// give the first); null when the mod is not found or has fewer quests.
TESQuest* QuestOfMod(const DataHandler* handler, std::string_view modName, std::int32_t position);

}  // namespace cw
