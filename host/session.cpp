#include "host/session.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "host/engine_addresses.h"
#include "host/engine_data.h"
#include "host/log_capture.h"
#include "host/plugin_library.h"
#include "platform/module.h"
#include "plugin/engine_api.h"

namespace cw::sim {

bool ParseRuntimeVersion(const std::string& text, DatabaseVersion* v) {
  char tail = 0;
  return std::sscanf(text.c_str(), "%d.%d.%d.%d%c", &v->major, &v->minor, &v->build, &v->sub,
                     &tail) == 4;
}

Session::Session(SessionOptions options) : options_(std::move(options)) {
  SkseOptions skse;
  skse.isEditor = options_.editor;
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
  for (const std::string& mod : options_.mods) data->AddMod(mod);
  for (std::uint32_t id : options_.forms) data->AddForm(id);
  for (std::uint32_t id : options_.quests) data->AddQuest(id);

  if (options_.writeDatabase) {
    std::map<std::uint64_t, std::uint64_t> entries;
    const std::uintptr_t base = platform::ExecutableBase();
    for (std::size_t i = 0; i < engine::kIdCount; ++i) {
      const std::uint64_t id = engine::kDeclarations[i].se;
      if (options_.omitIds.count(id)) continue;
      entries[id] = EngineAddress(static_cast<engine::Id>(i)) - base;
    }
    const std::string path = DatabasePath(".", options_.runtime);
    if (!WriteDatabase(path, EncodeDatabase(options_.runtime, kDatabaseMark, entries), error))
      return StartResult::kFailed;
    writtenDatabase_ = path;
  }

  char version[64];
  std::snprintf(version, sizeof version, "%d.%d.%d.%d", options_.runtime.major,
                options_.runtime.minor, options_.runtime.build, options_.runtime.sub);
  SetRuntimeVersionTexts(version, version);

  LogCapture capture(log != nullptr);
  PluginLibrary library;
  if (!LoadPlugin(plugin, &library, error)) return StartResult::kFailed;
  skse::PluginInfo info{};
  const bool accepted = library.query(skse_->interface(), &info);
  if (log) *log = capture.Finish();
  if (!accepted) {
    *error = "the plugin refused to run";
    return StartResult::kRefused;
  }
  library.load(skse_->interface());
  skse_->RunCallbacks(machine().registry());
  return StartResult::kAccepted;
}

}  // namespace cw::sim
