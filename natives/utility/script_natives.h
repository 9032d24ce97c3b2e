#pragma once
#include <cstdint>

#include "plugin/engine_types.h"

namespace cw::natives {
bool ScriptHasString(StaticFunctionTag*, StringCache::Ref script, StringCache::Ref text);
std::int32_t ScriptStringCount(StaticFunctionTag*, StringCache::Ref script);
StringCache::Ref ScriptUser(StaticFunctionTag*, StringCache::Ref script);
StringCache::Ref ScriptSource(StaticFunctionTag*, StringCache::Ref script);
StringCache::Ref ScriptMashine(StaticFunctionTag*, StringCache::Ref script);
StringCache::Ref ScriptStringGet(StaticFunctionTag*, StringCache::Ref script, std::int32_t index);
}  // namespace cw::natives
