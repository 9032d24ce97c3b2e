// The plugin's exported entry points and its version record. These three symbols
// are all that the plugin exports.
#include "plugin/lifecycle.h"
#include "plugin/skse_abi.h"
#include "plugin/version.h"

#if defined(_WIN32)
#define CW_EXPORT extern "C" __declspec(dllexport)
#else
#define CW_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {
// Start-up runs on the first call of Query or Load (the AE script extender calls
// Load alone), outside the system's loader lock: loading the library does nothing
// but constant set-up. Concurrent first calls wait for the one that runs it, as
// for every function-local static.
const cw::lifecycle::StartupState& Startup() {
  static const cw::lifecycle::StartupState state = cw::lifecycle::InitializeLibrary();
  return state;
}
}  // namespace

// Read by the AE script extender before it calls SKSEPlugin_Load.
CW_EXPORT constinit const cw::skse::PluginVersionData SKSEPlugin_Version = {
    .dataVersion = cw::skse::kPluginVersionDataVersion,
    .pluginVersion = cw::skse::PackPluginVersion(CW_VERSION_MAJOR, CW_VERSION_MINOR,
                                                 CW_VERSION_PATCH, CW_VERSION_TWEAK),
    .name = "Cradlewright",
    .author = "",
    .supportEmail = "",
    // Layout bit, not the 1.6.629 layout bit of the address word: every engine
    // structure the plugin reads or writes (script objects, native function
    // objects, VM values and frames, the data handler's lists, forms) kept its
    // layout across 1.6.629, so one build serves the builds before and after
    // it. The address word's bit 2 would claim the newer layouts only.
    .layoutIndependence = cw::skse::kNoLayoutChanged1_6_629,
    // Every address comes from the version database of the running game.
    .addressIndependence = cw::skse::kUsesAddressLibrary,
    .compatibleVersions = {},
    .minimumExtenderVersion = 0,
};

CW_EXPORT bool SKSEPlugin_Query(const cw::skse::Interface* skse, cw::skse::PluginInfo* info) {
  try {
    return skse && info && cw::lifecycle::Query(skse, info, Startup());
  } catch (...) {
    return false;
  }
}

CW_EXPORT bool SKSEPlugin_Load(const cw::skse::Interface* skse) {
  try {
    return cw::lifecycle::Load(skse, Startup());
  } catch (...) {
    // After an accepted query (SE) load reports no failure, as always; without
    // one (AE) a failure keeps the plugin out.
    return cw::lifecycle::Interfaces().queried;
  }
}
