// Placeholder bodies: each answers its failure value until the native is built.
#include "natives/utility/form_natives.h"

namespace cw::natives {
TESForm* GetFormFromString(StaticFunctionTag*, StringCache::Ref) { return nullptr; }
StringCache::Ref GetModFromString(StaticFunctionTag*, StringCache::Ref, bool) { return {}; }
std::uint32_t GetFormIDFromString(StaticFunctionTag*, StringCache::Ref) { return 0; }
StringCache::Ref GetStringFromForm(StaticFunctionTag*, TESForm*) { return {}; }
StringCache::Ref GetModFromForm(StaticFunctionTag*, TESForm*, bool) { return {}; }
}  // namespace cw::natives
