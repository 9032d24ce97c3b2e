#include "host/commands/load_order_command.h"

#include <ostream>

#include "gamedata/form_ids.h"
#include "host/game_plugins.h"

namespace cw::sim {
namespace {

using gamedata::LoadOrderEntry;
using gamedata::PluginState;

std::string Remark(const LoadOrderEntry& e) {
  std::string words;
  auto add = [&words](const std::string& word) { words += (words.empty() ? "" : ", ") + word; };
  switch (e.state) {
    case PluginState::kLoaded:
      if (e.master) add("master");
      if (e.light) add("light");
      break;
    case PluginState::kInactive:
      add("inactive");
      break;
    case PluginState::kMissingMaster:
      for (const std::string& m : e.missingMasters) add(m);
      words = "missing master: " + words;
      break;
    case PluginState::kDamaged:
      words = "damaged: " + e.file->damage;
      break;
    case PluginState::kNotInData:
      add("not in Data");
      break;
  }
  return words.empty() ? "" : "  [" + words + "]";
}

}  // namespace

int PrintLoadOrder(const std::string& gameDir, const std::string& pluginsTxt, std::ostream& out,
                   std::ostream& err) {
  GamePlugins plugins;
  std::string error;
  if (!ReadGamePlugins(gameDir.empty() ? "." : gameDir, pluginsTxt, &plugins, &error)) {
    err << "cradlewright-host: " << error << "\n";
    return 1;
  }
  int status = 0;
  for (const LoadOrderEntry& e : plugins.order.entries) {
    std::string index = IndexText(e);
    if (index.empty()) index = "--";
    index.resize(8, ' ');
    out << index << e.name << Remark(e) << "\n";
    if (e.state == PluginState::kDamaged) status = 1;
    if (!e.Loaded() || !e.light) continue;
    gamedata::PluginContents contents =
        gamedata::ReadPluginFile(plugins.dataFolder / std::u8string(e.name.begin(), e.name.end()),
                                 gamedata::Depth::kRecords);
    if (!contents.ok) {
      contents.error.file = "Data/" + e.name;
      err << "cradlewright-host: " << contents.error.Text() << "\n";
      status = 1;
      continue;
    }
    const std::string warning =
        gamedata::LightNumberWarning(e.name, contents.header, contents.records);
    if (!warning.empty()) err << "cradlewright-host: warning: " << warning << "\n";
  }
  if (!plugins.order.error.empty()) {
    err << "cradlewright-host: " << plugins.order.error << "\n";
    status = 1;
  }
  return status;
}

}  // namespace cw::sim
