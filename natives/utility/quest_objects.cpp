#include "natives/utility/quest_objects.h"

#include <climits>
#include <string>

#include "natives/utility/mod_list.h"

namespace cw {
namespace {

bool OwnedBy(const TESQuest* quest, std::uint8_t index) {
  return quest != nullptr && (quest->formID >> 24) == index;
}

}  // namespace

std::optional<std::uint8_t> QuestModIndex(const DataHandler* handler, std::string_view modName) {
  const std::string name(modName);
  for (const std::string& candidate : {name, name + ".esp", name + ".esm"}) {
    const int position = ModFilePosition(handler, candidate);
    if (position >= 0) return static_cast<std::uint8_t>(position & 0xFF);
  }
  return std::nullopt;
}

std::int32_t QuestCountOfMod(const DataHandler* handler, std::string_view modName) {
  const std::optional<std::uint8_t> index = QuestModIndex(handler, modName);
  if (!index) return 0;
  const EngineArray<TESQuest>& quests = handler->quests;
  if (quests.data == nullptr) return 0;
  std::int32_t count = 0;
  for (std::uint32_t i = 0; i < quests.count && count < INT32_MAX; ++i) {
    if (OwnedBy(quests.data[i], *index)) ++count;
  }
  return count;
}

TESQuest* QuestOfMod(const DataHandler* handler, std::string_view modName, std::int32_t position) {
  const std::optional<std::uint8_t> index = QuestModIndex(handler, modName);
  if (!index) return nullptr;
  const EngineArray<TESQuest>& quests = handler->quests;
  if (quests.data == nullptr) return nullptr;
  std::int32_t remaining = position;
  for (std::uint32_t i = 0; i < quests.count; ++i) {
    TESQuest* quest = quests.data[i];
    if (!OwnedBy(quest, *index)) continue;
    if (remaining <= 0) return quest;
    --remaining;
  }
  return nullptr;
}

}  // namespace cw
