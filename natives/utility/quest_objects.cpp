#include "natives/utility/quest_objects.h"

#include <climits>
#include <string>

#include "natives/utility/mod_list.h"

namespace cw {
namespace {

bool OwnedBy(const TESQuest* quest, const ModSlot& slot) {
  return quest != nullptr && slot.Owns(quest->formID);
}

}  // namespace

ModSlot QuestModSlot(const DataHandler* handler, std::string_view modName) {
  const std::string name(modName);
  for (const std::string& candidate : {name, name + ".esp", name + ".esm"}) {
    const ModSlot slot = ModSlotOf(handler, candidate);
    if (slot.found()) return slot;
  }
  return ModSlot{};
}

std::int32_t QuestCountOfMod(const DataHandler* handler, std::string_view modName) {
  const ModSlot slot = QuestModSlot(handler, modName);
  if (!slot.found()) return 0;
  const EngineArray<TESQuest>& quests = handler->quests;
  if (quests.data == nullptr) return 0;
  std::int32_t count = 0;
  for (std::uint32_t i = 0; i < quests.count && count < INT32_MAX; ++i) {
    if (OwnedBy(quests.data[i], slot)) ++count;
  }
  return count;
}

TESQuest* QuestOfMod(const DataHandler* handler, std::string_view modName, std::int32_t position) {
  const ModSlot slot = QuestModSlot(handler, modName);
  if (!slot.found()) return nullptr;
  const EngineArray<TESQuest>& quests = handler->quests;
  if (quests.data == nullptr) return nullptr;
  std::int32_t remaining = position;
  for (std::uint32_t i = 0; i < quests.count; ++i) {
    TESQuest* quest = quests.data[i];
    if (!OwnedBy(quest, slot)) continue;
    if (remaining <= 0) return quest;
    --remaining;
  }
  return nullptr;
}

}  // namespace cw
