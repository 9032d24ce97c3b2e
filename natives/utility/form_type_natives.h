#pragma once
#include <cstdint>

#include "plugin/engine_types.h"

namespace cw::natives {
StringCache::Ref getTypeString(StaticFunctionTag*, std::uint32_t formType);
}  // namespace cw::natives
