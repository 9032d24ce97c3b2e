// Quest natives: the quests one mod file defines, read from the engine's quest
// array as it is at the call.
#include "natives/utility/quest_natives.h"

#include "natives/utility/quest_objects.h"
#include "plugin/host_services.h"

namespace cw::natives {

TESQuest* GetQuestObject(StaticFunctionTag*, StringCache::Ref modName, std::int32_t index) {
  try {
    return QuestOfMod(host::GetDataHandler(), modName.c_str(), index);
  } catch (...) {
    return nullptr;
  }
}

std::int32_t GetQuestObjectCount(StaticFunctionTag*, StringCache::Ref modName) {
  try {
    return QuestCountOfMod(host::GetDataHandler(), modName.c_str());
  } catch (...) {
    return 0;
  }
}

}  // namespace cw::natives
