// Placeholder bodies: each answers its failure value until the native is built.
#include "natives/utility/quest_natives.h"

namespace cw::natives {
TESQuest* GetQuestObject(StaticFunctionTag*, StringCache::Ref, std::int32_t) { return nullptr; }
std::int32_t GetQuestObjectCount(StaticFunctionTag*, StringCache::Ref) { return 0; }
}  // namespace cw::natives
