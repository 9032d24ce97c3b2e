// Exported entry points (placeholder until the lifecycle lands).
#include "plugin/skse_abi.h"

#if defined(_WIN32)
#define CW_EXPORT extern "C" __declspec(dllexport)
#else
#define CW_EXPORT extern "C" __attribute__((visibility("default")))
#endif

CW_EXPORT bool SKSEPlugin_Query(const cw::skse::Interface*, cw::skse::PluginInfo*) { return false; }
CW_EXPORT bool SKSEPlugin_Load(const cw::skse::Interface*) { return false; }
