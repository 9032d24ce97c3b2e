// Placeholder bodies: each answers its failure value until the native is built.
#include "natives/utility/script_natives.h"

namespace cw::natives {
bool ScriptHasString(StaticFunctionTag*, StringCache::Ref, StringCache::Ref) { return false; }
std::int32_t ScriptStringCount(StaticFunctionTag*, StringCache::Ref) { return 0; }
StringCache::Ref ScriptUser(StaticFunctionTag*, StringCache::Ref) { return {}; }
StringCache::Ref ScriptSource(StaticFunctionTag*, StringCache::Ref) { return {}; }
StringCache::Ref ScriptMashine(StaticFunctionTag*, StringCache::Ref) { return {}; }
StringCache::Ref ScriptStringGet(StaticFunctionTag*, StringCache::Ref, std::int32_t) { return {}; }
}  // namespace cw::natives
