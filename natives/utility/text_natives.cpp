// Placeholder bodies: each answers its failure value until the native is built.
#include "natives/utility/text_natives.h"

namespace cw::natives {
StringCache::Ref toLower(StaticFunctionTag*, StringCache::Ref) { return {}; }
StringCache::Ref toUpper(StaticFunctionTag*, StringCache::Ref) { return {}; }
StringCache::Ref StringReplace(StaticFunctionTag*, StringCache::Ref, StringCache::Ref, StringCache::Ref) { return {}; }
StringCache::Ref MultiStringReplace(StaticFunctionTag*, StringCache::Ref, StringCache::Ref, StringCache::Ref, StringCache::Ref, StringCache::Ref, StringCache::Ref, StringCache::Ref) { return {}; }
StringCache::Ref Hex(StaticFunctionTag*, std::int32_t, std::int32_t) { return {}; }
}  // namespace cw::natives
