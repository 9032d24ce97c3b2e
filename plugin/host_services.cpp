#include "plugin/host_services.h"

#include "plugin/engine_api.h"

namespace cw::host {

StringCache::Ref MakeString(const char* text) {
  StringCache::Ref ref;
  engine::CreateString(&ref, text ? text : "");
  return ref;
}

TESForm* LookupFormByID(std::uint32_t formID) {
  return engine::LookupFormByID(formID);
}

const DataHandler* GetDataHandler() {
  return *engine::DataHandlerGlobal.get();
}

}  // namespace cw::host
