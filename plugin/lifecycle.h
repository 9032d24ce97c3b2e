#pragma once
// Start-up of the plugin: library initialisation, the host's query and load.
#include <cstdint>

#include "plugin/skse_abi.h"

namespace cw::lifecycle {

inline constexpr const char* kPluginName = "Cradlewright";
inline constexpr std::uint32_t kSerializationId = 0x43573130;  // 'CW10'

// Outcome of library initialisation; fixed before the host first calls the plugin.
struct StartupFlags {
  bool isLoaded = false;     // the version database of the running game was loaded
  bool hasBadQuery = false;  // at least one address identifier did not resolve
};

// Runs once while the library is loaded: loads the version database, takes the
// executable base, resolves every declared address. Never throws.
StartupFlags InitializeLibrary();
const StartupFlags& Flags();

// What query keeps for load.
struct HostInterfaces {
  std::uint32_t pluginHandle = 0xFFFFFFFF;
  const skse::SerializationInterface* serialization = nullptr;
  const skse::PapyrusInterface* papyrus = nullptr;
};
HostInterfaces& Interfaces();

bool Query(const skse::Interface* skse, skse::PluginInfo* info, const StartupFlags& flags);
bool Load(const skse::Interface* skse);

}  // namespace cw::lifecycle
