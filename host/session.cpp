#include "host/session.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

#include "address/version_database.h"
#include "host/engine_addresses.h"
#include "host/game_plugins.h"
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
  std::error_code ec;
  if (!writtenDatabase_.empty()) std::filesystem::remove(writtenDatabase_, ec);
  for (auto folder = madeFolders_.rbegin(); folder != madeFolders_.rend(); ++folder)
    std::filesystem::remove(*folder, ec);  // fails, and so keeps it, when not empty
  if (!temporaryFolder_.empty()) std::filesystem::remove_all(temporaryFolder_, ec);
}

bool Session::ChooseStartupFolder(const std::string& gameDir, std::string* startupDir,
                                  std::string* error) {
  namespace fs = std::filesystem;
  std::error_code ec;
  *startupDir = gameDir;
  if (!options_.writeDatabase || IsSkyrimVRLine(options_.runtime)) return true;
  const fs::path inGame = DatabasePath(gameDir, options_.runtime);
  if (!options_.gameDir.empty() && !fs::exists(inGame, ec) && !fs::is_symlink(inGame, ec)) {
    // Into the game folder, as the player installs it; every folder made is noted.
    for (fs::path folder = inGame.parent_path(); !fs::exists(folder, ec);
         folder = folder.parent_path())
      madeFolders_.insert(madeFolders_.begin(), folder.string());
    return true;
  }
  // A database already there stays untouched, and without a game folder the
  // current one gets none: start-up reads the host's own from a temporary folder.
  std::random_device random;
  const fs::path temp = fs::temp_directory_path(ec);
  for (int attempt = 0; attempt < 100 && temporaryFolder_.empty(); ++attempt) {
    const fs::path folder = temp / ("cradlewright-host-" + std::to_string(random()));
    if (fs::create_directory(folder, ec)) temporaryFolder_ = folder.string();
  }
  if (temporaryFolder_.empty()) {
    *error = "cannot make a temporary game folder: " + ec.message();
    return false;
  }
  *startupDir = temporaryFolder_;
  // The plugin tells the Steam edition from the GOG one by this file in the game folder.
  if (fs::exists(fs::path(gameDir) / "steam_api64.dll", ec))
    std::ofstream(fs::path(temporaryFolder_) / "steam_api64.dll");
  return true;
}

StartResult Session::Start(std::string* error, std::string* log) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const std::string plugin =
      fs::absolute(options_.pluginPath.empty() ? DefaultPluginPath() : options_.pluginPath, ec)
          .string();
  const std::string gameDir =
      fs::absolute(options_.gameDir.empty() ? std::string(".") : options_.gameDir, ec)
          .lexically_normal()
          .string();
  // Read after start-up has moved into its folder.
  const std::string pluginsTxt =
      options_.pluginsTxt.empty() ? std::string() : fs::absolute(options_.pluginsTxt, ec).string();
  if (!fs::is_directory(gameDir, ec)) {
    *error = "cannot work in game folder " + options_.gameDir + ": not a folder";
    return StartResult::kFailed;
  }
  std::string startupDir;
  if (!ChooseStartupFolder(gameDir, &startupDir, error)) return StartResult::kFailed;
  if (!options_.writeDatabase && !IsSkyrimVRLine(options_.runtime)) {
    const std::string found = DatabasePath(startupDir, options_.runtime);
    if (IsForeignDatabase(found)) {
      *error = found +
               " is a version database that cradlewright-host did not write (a real Address "
               "Library file?): its addresses point into the real game, not into this "
               "simulator, so the plugin would crash on them. Leave out --no-database: the "
               "host then reads its own database and leaves this file alone";
      return StartResult::kFailed;
    }
  }
  fs::current_path(startupDir, ec);
  if (ec) {
    *error = "cannot work in game folder " + startupDir + ": " + ec.message();
    return StartResult::kFailed;
  }
  // Natives run in the game folder, whatever start-up did.
  struct BackToGameFolder {
    const std::string& dir;
    ~BackToGameFolder() {
      std::error_code ignored;
      std::filesystem::current_path(dir, ignored);
    }
  } back{gameDir};

  // The engine's loaded data lives as long as the process, like the game's.
  static EngineData* data = new EngineData;
  data->MakeCurrent();
  if (!options_.gameDir.empty() || !options_.pluginsTxt.empty()) {
    GamePlugins plugins;
    if (!ReadGamePlugins(gameDir, pluginsTxt, &plugins, error) ||
        !AddToEngine(plugins, data, error, &warnings_))
      return StartResult::kFailed;
  }
  std::size_t regular = data->Handler()->loadedRegular.count;
  for (const auto& [name, kind] : options_.plugins) regular += kind == PluginKind::kRegular;
  if (regular > gamedata::kMaxRegularPlugins) {
    *error = "too many plugins to load: " + std::to_string(regular) +
             ", the game loads at most 254 (00 to FD)";
    return StartResult::kFailed;
  }
  for (const auto& [name, kind] : options_.plugins) data->AddPlugin(name, kind);
  for (std::uint32_t id : options_.forms) data->AddForm(id);
  for (std::uint32_t id : options_.quests) data->AddQuest(id);

  // The library is loaded before the database is in place: the plugin reads it only
  // when first called, never while the system loads it.
  LogCapture capture(log != nullptr);
  PluginLibrary library;
  if (!LoadPlugin(plugin, &library, error)) return StartResult::kFailed;

  const bool anniversary = IsAnniversaryLine(options_.runtime);
  if (options_.writeDatabase && !IsSkyrimVRLine(options_.runtime)) {
    std::map<std::uint64_t, std::uint64_t> entries;
    const std::uintptr_t base = platform::ExecutableBase();
    for (const EngineIdentifier& identifier : kEngineIdentifiers) {
      const std::uint64_t id = anniversary ? identifier.ae : identifier.se;
      if (options_.omitIds.count(id)) continue;
      entries[id] = EngineAddress(identifier.item) - base;
    }
    const std::string path = DatabasePath(startupDir, options_.runtime);
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

bool IsForeignDatabase(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec) || IsOurDatabase(path)) return false;
  // A file that is no database is refused by the plugin itself, which is what a test
  // of a damaged file wants to see.
  address::VersionDatabase database;
  return database.LoadPath(path, address::AcceptedFormat::kEither);
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
