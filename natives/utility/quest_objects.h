#pragma once
// The quests that one mod file defines: those of the engine's quest array whose
// form IDs name the file (top byte its load-order index, or FE and its light index
// for a light plugin), in array order.
#include <cstdint>
#include <string_view>

#include "natives/utility/mod_list.h"
#include "plugin/engine_types.h"

namespace cw {

// Where the forms live of the first of `modName`, `modName` + ".esp" and
// `modName` + ".esm" that the engine loaded; missing when it loaded none of them.
ModSlot QuestModSlot(const DataHandler* handler, std::string_view modName);

// How many quests the mod owns; 0 when the mod is not found.
std::int32_t QuestCountOfMod(const DataHandler* handler, std::string_view modName);

// The mod's quest at `position` among its own quests (0 or a negative position
// give the first); null when the mod is not found or has fewer quests.
TESQuest* QuestOfMod(const DataHandler* handler, std::string_view modName, std::int32_t position);

}  // namespace cw
