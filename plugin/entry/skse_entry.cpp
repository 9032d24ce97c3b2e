// The plugin's exported entry points and its library initialisation.
#include "plugin/lifecycle.h"

#if defined(_WIN32)
#define CW_EXPORT extern "C" __declspec(dllexport)
#else
#define CW_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {
// Runs while the library is being loaded, before the host can call it.
const cw::lifecycle::StartupFlags g_startup = cw::lifecycle::InitializeLibrary();
}  // namespace

CW_EXPORT bool SKSEPlugin_Query(const cw::skse::Interface* skse, cw::skse::PluginInfo* info) {
  try {
    return skse && info && cw::lifecycle::Query(skse, info, g_startup);
  } catch (...) {
    return false;
  }
}

CW_EXPORT bool SKSEPlugin_Load(const cw::skse::Interface* skse) {
  try {
    return cw::lifecycle::Load(skse);
  } catch (...) {
    return true;
  }
}
