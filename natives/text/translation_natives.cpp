// Placeholder bodies: each answers its failure value until the native is built.
#include "natives/text/translation_natives.h"

namespace cw::natives {
void IOReadTranslation(StaticFunctionTag*, StringCache::Ref) { }
StringCache::Ref getLangText(StaticFunctionTag*, StringCache::Ref) { return {}; }
std::uint32_t getLangSize(StaticFunctionTag*) { return 0; }
StringCache::Ref getFilePath(StaticFunctionTag*) { return {}; }
std::uint32_t getErrorCode(StaticFunctionTag*) { return 0; }
}  // namespace cw::natives
