#include "host/session.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "host/engine_addresses.h"
#include "host/log_capture.h"
#include "host/plugin_library.h"
#include "platform/module.h"

namespace cw::sim {

bool ParseRuntimeVersion(const std::string& text, DatabaseVersion* v) {
  char tail = 0;
  return std::sscanf(text.c_str(), "%d.%d.%d.%d%c", &v->major, &v->minor, &v->build, &v->sub,
                     &tail) == 4;
}

std::string RuntimeVersionText(const DatabaseVersion& v) {
  char text[64];
  std::snprintf(text, sizeof text, "%d.%d.%d.%d", v.major, v.minor, v.build, v.sub);
  return text;
}

Session::Session(SessionOptions options) : options_(std::move(options)) {
  SkseOptions skse;
  skse.isEditor = options_.editor;
  // The script extender of the 1.6 line is 2.1 and later.
  if (IsAnniversaryLine(options_.runtime)) skse.extenderVersion = PackRuntimeVersion(2, 2, 6, 0);
  skse.runtimeVersion = PackRuntimeVersion(options_.runtime.major, options_.runtime.minor,
                                           options_.runtime.build, options_.runtime.sub);
  skse_ = std::make_unique<SkseHost>(skse);
}

Session::~Session() {
  if (!writtenDatabase_.empty()) {
    std::error_code ec;
    std::filesystem::remove(writtenDatabase_, ec);
  }
}

StartResult Session::Start(std::string* error, std::string* log) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const std::string plugin =
      fs::absolute(options_.pluginPath.empty() ? DefaultPluginPath() : options_.pluginPath, ec)
          .string();
  fs::current_path(options_.gameDir, ec);
  if (ec) {
    *error = "cannot work in game folder " + options_.gameDir + ": " + ec.message();
    return StartResult::kFailed;
  }

  // The engine's loaded data lives as long as the process, like the game's.
  static EngineData* data = new EngineData;
  data->MakeCurrent();
  for (const auto& [name, kind] : options_.plugins) data->AddPlugin(name, kind);
  for (std::uint32_t id : options_.forms) data->AddForm(id);
  for (std::uint32_t id : options_.quests) data->AddQuest(id);

  // The library is loaded before the database is in place: the plugin reads it only
  // when first called, never while the system loads it.
  LogCapture capture(log != nullptr);
  PluginLibrary library;
  if (!LoadPlugin(plugin, &library, error)) return StartResult::kFailed;

  const bool anniversary = IsAnniversaryLine(options_.runtime);
  if (options_.writeDatabase) {
    std::map<std::uint64_t, std::uint64_t> entries;
    const std::uintptr_t base = platform::ExecutableBase();
    for (const EngineIdentifier& identifier : kEngineIdentifiers) {
      const std::uint64_t id = anniversary ? identifier.ae : identifier.se;
      if (options_.omitIds.count(id)) continue;
      entries[id] = EngineAddress(identifier.item) - base;
    }
    const std::string path = DatabasePath(".", options_.runtime);
    if (!WriteDatabase(path, EncodeDatabase(options_.runtime, kDatabaseMark, entries), error))
      return StartResult::kFailed;
    writtenDatabase_ = path;
  }

  const std::string version = RuntimeVersionText(options_.runtime);
  SetRuntimeVersionTexts(version, version);

  bool accepted = false;
  if (anniversary) {
    // The 1.6 line's script extender reads the version record, never calls query,
    // and leaves every decision after that to load.
    if (!AcceptsVersionRecord(library.versionRecord, skse_->interface()->runtimeVersion,
                              skse_->interface()->skseVersion, error)) {
      if (log) *log = capture.Finish();
      return StartResult::kRefused;
    }
    accepted = library.load(skse_->interface());
  } else {
    if (!library.query) {
      *error = plugin + " does not export SKSEPlugin_Query";
      return StartResult::kFailed;
    }
    skse::PluginInfo info{};
    accepted = library.query(skse_->interface(), &info) && library.load(skse_->interface());
  }
  // The plugin's start-up line follows its registration.
  if (accepted) skse_->RunCallbacks(machine().registry());
  if (log) *log = capture.Finish();
  if (!accepted) {
    *error = "the plugin refused to run";
    return StartResult::kRefused;
  }
  return StartResult::kAccepted;
}

bool AcceptsVersionRecord(const skse::VersionRecord* record, std::uint32_t runtime,
                          std::uint32_t extenderVersion, std::string* why) {
  if (record == nullptr) {
    *why =
        "the plugin exports no SKSEPlugin_Version record, so the script extender of the "
        "1.6 line does not load it";
    return false;
  }
  if (record->dataVersion != 1) {
    *why = "the plugin is disabled, bad version data";
    return false;
  }
  const bool structuresFit = (record->structureFlags & skse::kNoChangedStructures) ||
                             (record->independenceFlags & skse::kBuiltForNewStructures);
  if (!structuresFit && runtime >= PackRuntimeVersion(1, 6, 629, 0)) {
    *why = "the plugin is disabled: only compatible with versions earlier than 1.6.629";
    return false;
  }
  const bool independent =
      record->independenceFlags & (skse::kUsesAddressLibrary | skse::kUsesSignatureScanning);
  if (!independent) {
    bool listed = false;
    for (std::uint32_t version : record->compatibleVersions) {
      if (version == 0) break;
      listed = listed || version == runtime;
    }
    if (!listed) {
      *why = "the plugin is disabled: not compatible with this runtime version";
      return false;
    }
  }
  if (record->minimumExtenderVersion > extenderVersion) {
    *why = "the plugin is disabled: it needs a newer script extender";
    return false;
  }
  return true;
}

}  // namespace cw::sim
