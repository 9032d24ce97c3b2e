// The engine's form look-up, over the simulated loaded data.
#include "host/engine_data.h"
#include "plugin/engine_api.h"

namespace cw::engine::decl {
TESForm* LookupFormByID(std::uint32_t formID) {
  return sim::LookupFormByID(formID);
}
}  // namespace cw::engine::decl
