#include "plugin/lifecycle.h"

#include "address/version_database.h"
#include "platform/module.h"
#include "plugin/debug_log.h"
#include "plugin/engine_api.h"
#include "plugin/registration.h"
#include "plugin/version.h"

namespace cw::lifecycle {
namespace {

StartupFlags g_flags;

address::VersionDatabase& Database() {
  static address::VersionDatabase database;
  return database;
}

}  // namespace

StartupFlags InitializeLibrary() {
  StartupFlags flags;
  try {
    address::VersionDatabase& database = Database();
    flags.isLoaded = database.LoadForRunningGame();
    const std::uintptr_t executableBase = platform::ExecutableBase();
    address::Table().ResolveAll(
        engine::kDeclarations, [&database](std::uint64_t id) { return database.Find(id); },
        database.ModuleBase(), executableBase);
    flags.hasBadQuery = address::Table().HasBadQuery();
  } catch (...) {
    flags.hasBadQuery = true;
  }
  g_flags = flags;
  return flags;
}

const StartupFlags& Flags() {
  return g_flags;
}

HostInterfaces& Interfaces() {
  static HostInterfaces interfaces;
  return interfaces;
}

bool Query(const skse::Interface* skse, skse::PluginInfo* info, const StartupFlags& flags) {
  info->infoVersion = 1;
  info->name = kPluginName;
  info->version = CW_VERSION_MAJOR;

  HostInterfaces& kept = Interfaces();
  kept.pluginHandle = skse->GetPluginHandle();
  if (skse->isEditor) return false;

  if (flags.isLoaded && !flags.hasBadQuery) {
    kept.serialization = static_cast<const skse::SerializationInterface*>(
        skse->QueryInterface(skse::kInterfaceSerialization));
    kept.papyrus =
        static_cast<const skse::PapyrusInterface*>(skse->QueryInterface(skse::kInterfacePapyrus));
    // Load needs both: the identifier claim and the registration callbacks.
    return kept.papyrus != nullptr && kept.serialization != nullptr;
  }

  IDebugLog& log = Log();
  if (log.Level() >= 3)
    log.Message(
        "unsupported runtime version %08X\nAddr Library not loaded\n IsLoaded: %d HasBadQuery:%d",
        skse->runtimeVersion, flags.isLoaded ? 1 : 0, flags.hasBadQuery ? 1 : 0);
  return false;
}

bool Load(const skse::Interface*) {
  const HostInterfaces& kept = Interfaces();
  if (kept.serialization) kept.serialization->SetUniqueID(kept.pluginHandle, kSerializationId);
  if (kept.papyrus) {
    kept.papyrus->Register(&RegisterFWUtility);
    kept.papyrus->Register(&RegisterNothing);
    kept.papyrus->Register(&RegisterFWChildEnchant);
    kept.papyrus->Register(&RegisterFWTextContents);
  }
  return true;
}

}  // namespace cw::lifecycle
