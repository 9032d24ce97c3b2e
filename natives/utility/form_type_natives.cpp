// Form type name native.
#include "natives/utility/form_type_natives.h"

#include "natives/utility/form_type_names.h"
#include "plugin/host_services.h"

namespace cw::natives {

StringCache::Ref getTypeString(StaticFunctionTag*, std::uint32_t formType) {
  try {
    return host::MakeString(FormTypeName(formType));
  } catch (...) {
    return {};
  }
}

}  // namespace cw::natives
