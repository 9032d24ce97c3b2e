#include "plugin/lifecycle.h"

#include "address/startup_database.h"
#include "platform/module.h"
#include "plugin/debug_log.h"
#include "plugin/engine_api.h"
#include "plugin/registration.h"
#include "plugin/startup_report.h"
#include "plugin/version.h"

namespace cw::lifecycle {
namespace {

// "address identifiers missing from FILE (SE numbering): ID, ID": those that did
// not resolve.
std::string MissingText(const address::StartupDatabase& db) {
  std::string text = "address identifiers missing from " + db.file.path + " (" +
                     (db.file.numbering == address::Numbering::kSE ? "SE" : "AE") + " numbering):";
  const char* separator = " ";
  for (std::uint64_t id : address::Table().Missing()) {
    text += separator + std::to_string(id);
    separator = ", ";
  }
  return text;
}

// What kept the plugin out, from start-up's findings.
refusal_text::Reason ReasonOf(const address::StartupDatabase& db, bool hasBadQuery) {
  using refusal_text::Reason;
  switch (db.resolved.error) {
    case address::LoadError::kNone:
      return hasBadQuery ? Reason::kIdentifiersMissing : Reason::kNone;
    case address::LoadError::kNoVersion:
      return Reason::kNoGameVersion;
    case address::LoadError::kSkyrimVR:
      return Reason::kSkyrimVR;
    case address::LoadError::kCannotOpen:
      return Reason::kDatabaseMissing;
    default:
      return Reason::kDatabaseUnreadable;
  }
}

// Query's decisions, also made by Load when the host skipped Query.
bool Decide(const skse::Interface* skse, const StartupState& state) {
  HostInterfaces& kept = Interfaces();
  kept.pluginHandle = skse->GetPluginHandle();
  if (skse->isEditor) return false;

  if (state.isLoaded && !state.hasBadQuery) {
    kept.serialization = static_cast<const skse::SerializationInterface*>(
        skse->QueryInterface(skse::kInterfaceSerialization));
    kept.papyrus =
        static_cast<const skse::PapyrusInterface*>(skse->QueryInterface(skse::kInterfacePapyrus));
    // Load needs both: the identifier claim and the registration callbacks.
    return kept.papyrus != nullptr && kept.serialization != nullptr;
  }

  IDebugLog& log = Log();
  if (log.Level() >= 3) {
    const std::string plain =
        refusal_text::PlainText({state.reason, state.gameVersion, state.databaseFile});
    if (!plain.empty()) log.Message("%s", plain.c_str());
    log.Message(
        "unsupported runtime version %08X\nAddr Library not loaded\n IsLoaded: %d HasBadQuery:%d",
        skse->runtimeVersion, state.isLoaded ? 1 : 0, state.hasBadQuery ? 1 : 0);
    if (!state.problem.empty()) log.Message("%s", state.problem.c_str());
  }
  return false;
}

}  // namespace

StartupState InitializeLibrary() {
  StartupState state;
  try {
    Log();  // finds its destination and opens its file
    const address::StartupDatabase db =
        address::ReadStartupDatabaseForRunningGame(engine::kDeclarations);
    state.isLoaded = db.Loaded();
    if (db.running) {
      state.gameVersion = address::VersionText(*db.running);
      state.databaseFile = db.file.path;
    }
    state.entryCount = db.resolved.entryCount;
    const std::uintptr_t executableBase = platform::ExecutableBase();
    address::Table().ResolveAll(
        engine::kDeclarations, db.file.numbering, [&db](std::uint64_t id) { return db.Find(id); },
        state.isLoaded ? executableBase : 0, executableBase);
    state.hasBadQuery = address::Table().HasBadQuery();
    if (!state.isLoaded)
      state.problem = db.Problem();
    else if (state.hasBadQuery)
      state.problem = MissingText(db);
    state.reason = ReasonOf(db, state.hasBadQuery);
  } catch (...) {
    state.hasBadQuery = true;
    state.reason = refusal_text::Reason::kStartupFailed;
    state.problem = "start-up failed before every address was resolved";
  }
  return state;
}

HostInterfaces& Interfaces() {
  static HostInterfaces interfaces;
  return interfaces;
}

bool Query(const skse::Interface* skse, skse::PluginInfo* info, const StartupState& state) {
  info->infoVersion = 1;
  info->name = kPluginName;
  info->version = CW_VERSION_MAJOR;
  Interfaces().queried = true;
  return Decide(skse, state);
}

bool Load(const skse::Interface* skse, const StartupState& state) {
  const HostInterfaces& kept = Interfaces();
  if (!kept.queried && (skse == nullptr || !Decide(skse, state))) return false;
  if (kept.serialization) kept.serialization->SetUniqueID(kept.pluginHandle, kSerializationId);
  if (kept.papyrus) {
    startup_report::Begin({state.gameVersion, state.databaseFile, state.entryCount});
    kept.papyrus->Register(&RegisterFWUtility);
    kept.papyrus->Register(&RegisterNothing);
    kept.papyrus->Register(&RegisterFWChildEnchant);
    kept.papyrus->Register(&RegisterFWTextContents);
  }
  return true;
}

}  // namespace cw::lifecycle
