#pragma once
#include <cstdint>

#include "plugin/engine_types.h"

namespace cw::natives {
TESQuest* GetQuestObject(StaticFunctionTag*, StringCache::Ref modName, std::int32_t index);
std::int32_t GetQuestObjectCount(StaticFunctionTag*, StringCache::Ref modName);
}  // namespace cw::natives
