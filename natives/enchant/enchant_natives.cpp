// Placeholder bodies: each answers its failure value until the native is built.
#include "natives/enchant/enchant_natives.h"

namespace cw::natives {
StringCache::Ref GetModFile(StaticFunctionTag*, StringCache::Ref) { return {}; }
std::uint32_t GetFormID(StaticFunctionTag*, StringCache::Ref) { return 0; }
std::uint32_t GetPowerMin(StaticFunctionTag*, StringCache::Ref) { return 0; }
std::uint32_t GetPowerMax(StaticFunctionTag*, StringCache::Ref) { return 0; }
}  // namespace cw::natives
