#pragma once
#include <cstdint>

#include "plugin/engine_types.h"

namespace cw::natives {
TESForm* GetFormFromString(StaticFunctionTag*, StringCache::Ref reference);
StringCache::Ref GetModFromString(StaticFunctionTag*, StringCache::Ref reference,
                                  bool withExtension);
std::uint32_t GetFormIDFromString(StaticFunctionTag*, StringCache::Ref reference);
StringCache::Ref GetStringFromForm(StaticFunctionTag*, TESForm* form);
StringCache::Ref GetModFromForm(StaticFunctionTag*, TESForm* form, bool withExtension);
}  // namespace cw::natives
