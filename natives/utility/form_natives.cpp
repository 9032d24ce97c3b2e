// Form reference natives: thin wrappers over the reference logic, reading the
// engine's loaded data as it is at the call.
#include "natives/utility/form_natives.h"

#include "natives/utility/form_owner.h"
#include "natives/utility/form_reference.h"
#include "plugin/host_services.h"

namespace cw::natives {

TESForm* GetFormFromString(StaticFunctionTag*, StringCache::Ref reference) {
  try {
    return FormFromReference(reference.c_str(), host::GetDataHandler(), &host::LookupFormByID);
  } catch (...) {
    return nullptr;
  }
}

StringCache::Ref GetModFromString(StaticFunctionTag*, StringCache::Ref reference,
                                  bool withExtension) {
  try {
    return host::MakeString(ModFromReference(reference.c_str(), withExtension,
                                             host::GetDataHandler(), &host::LookupFormByID));
  } catch (...) {
    return {};
  }
}

std::uint32_t GetFormIDFromString(StaticFunctionTag*, StringCache::Ref reference) {
  try {
    return FormIDFromReference(reference.c_str(), host::GetDataHandler(), &host::LookupFormByID);
  } catch (...) {
    return 0;
  }
}

StringCache::Ref GetStringFromForm(StaticFunctionTag*, TESForm* form) {
  try {
    return host::MakeString(ReferenceForForm(form, host::GetDataHandler()));
  } catch (...) {
    return {};
  }
}

StringCache::Ref GetModFromForm(StaticFunctionTag*, TESForm* form, bool withExtension) {
  try {
    return host::MakeString(ModForForm(form, withExtension, host::GetDataHandler()));
  } catch (...) {
    return {};
  }
}

}  // namespace cw::natives
