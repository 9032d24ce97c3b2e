#pragma once
// Start-up of the plugin: library initialisation, the host's query and load.
#include <cstddef>
#include <cstdint>
#include <string>

#include "plugin/refusal_text.h"
#include "plugin/skse_abi.h"

namespace cw::lifecycle {

inline constexpr const char* kPluginName = "Cradlewright";
inline constexpr std::uint32_t kSerializationId = 0x43573130;  // 'CW10'

// Outcome of start-up; fixed on the host's first call of the plugin.
struct StartupState {
  bool isLoaded = false;     // the version database of the running game was loaded
  bool hasBadQuery = false;  // at least one address identifier did not resolve
  std::string gameVersion;   // the running game's version, "" when it states none
  std::string databaseFile;  // the database read (or looked for)
  std::size_t entryCount = 0;
  std::string problem;  // why the plugin cannot run, for the log; "" when it can
  refusal_text::Reason reason = refusal_text::Reason::kNone;  // the same, for players
};

// Start-up, run once on the host's first call of Query or Load (never while the
// library is being loaded: the system's loader lock is held then): opens the log,
// reads the running game's version database, takes the executable base, resolves
// every declared address in the database's numbering. Never throws.
StartupState InitializeLibrary();

// What query keeps for load.
struct HostInterfaces {
  bool queried = false;
  std::uint32_t pluginHandle = 0xFFFFFFFF;
  const skse::SerializationInterface* serialization = nullptr;
  const skse::PapyrusInterface* papyrus = nullptr;
};
HostInterfaces& Interfaces();

// The SE script extender calls Query, then Load when Query accepted. The AE one
// calls Load alone; Load then decides as Query would have.
bool Query(const skse::Interface* skse, skse::PluginInfo* info, const StartupState& state);
bool Load(const skse::Interface* skse, const StartupState& state);

}  // namespace cw::lifecycle
