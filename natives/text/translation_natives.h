#pragma once
#include <cstdint>

#include "plugin/engine_types.h"

namespace cw::natives {
void IOReadTranslation(StaticFunctionTag*, StringCache::Ref language);
StringCache::Ref getLangText(StaticFunctionTag*, StringCache::Ref key);
std::uint32_t getLangSize(StaticFunctionTag*);
StringCache::Ref getFilePath(StaticFunctionTag*);
std::uint32_t getErrorCode(StaticFunctionTag*);
}  // namespace cw::natives
