#pragma once
#include <cstdint>

#include "plugin/engine_types.h"

namespace cw::natives {
StringCache::Ref GetModFile(StaticFunctionTag*, StringCache::Ref fileName);
std::uint32_t GetFormID(StaticFunctionTag*, StringCache::Ref fileName);
std::uint32_t GetPowerMin(StaticFunctionTag*, StringCache::Ref fileName);
std::uint32_t GetPowerMax(StaticFunctionTag*, StringCache::Ref fileName);
}  // namespace cw::natives
