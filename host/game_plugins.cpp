#include "host/game_plugins.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "gamedata/form_ids.h"
#include "gamedata/form_types.h"
#include "platform/ascii.h"

namespace cw::sim {
namespace {

namespace fs = std::filesystem;

std::string Utf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

fs::path PathOf(const std::string& utf8) {
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

bool IsPluginName(const std::string& name) {
  if (name.size() < 4) return false;
  const std::string_view ext = std::string_view(name).substr(name.size() - 4);
  return EqualsIgnoringAsciiCase(ext, ".esp") || EqualsIgnoringAsciiCase(ext, ".esm") ||
         EqualsIgnoringAsciiCase(ext, ".esl");
}

bool ReadText(const fs::path& path, std::string* text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  text->assign(std::istreambuf_iterator<char>(in), {});
  return !in.bad();
}

}  // namespace

fs::path DefaultPluginsTxt(const fs::path& gameDir) {
  std::error_code ec;
#if defined(_WIN32)
  if (const wchar_t* local = _wgetenv(L"LOCALAPPDATA")) {
    const fs::path base(local);
    if (fs::exists(gameDir / "steam_api64.dll", ec))
      return base / "Skyrim Special Edition" / "Plugins.txt";
    for (const char* edition : {"Skyrim Special Edition GOG", "Skyrim Special Edition EPIC",
                                "Skyrim Special Edition MS", "Skyrim Special Edition"}) {
      const fs::path candidate = base / edition / "Plugins.txt";
      if (fs::exists(candidate, ec)) return candidate;
    }
  }
#endif
  return gameDir / "Plugins.txt";
}

bool ReadGamePlugins(const fs::path& gameDir, const std::string& pluginsTxt, GamePlugins* plugins,
                     std::string* error) {
  std::error_code ec;
  plugins->dataFolder = gameDir / "Data";
  std::vector<std::string> names;
  for (fs::directory_iterator it(plugins->dataFolder, ec), end; !ec && it != end; it.increment(ec))
    if (it->is_regular_file(ec) && IsPluginName(Utf8(it->path().filename())))
      names.push_back(Utf8(it->path().filename()));
  for (const std::string& name : names) {
    gamedata::FoundPlugin& found = plugins->found.emplace_back();
    found.name = name;
    gamedata::PluginContents contents =
        gamedata::ReadPluginFile(plugins->dataFolder / PathOf(name), gamedata::Depth::kHeader);
    contents.error.file = "Data/" + name;
    if (contents.ok)
      found.header = std::move(contents.header);
    else
      found.damage = contents.error.Text();
  }

  std::string listText, cccText;
  const fs::path listPath = pluginsTxt.empty() ? DefaultPluginsTxt(gameDir) : fs::path(pluginsTxt);
  if (!ReadText(listPath, &listText) && !pluginsTxt.empty()) {
    *error = "cannot read " + pluginsTxt;
    return false;
  }
  ReadText(gameDir / "Skyrim.ccc", &cccText);
  plugins->order = gamedata::BuildLoadOrder(listText, cccText, plugins->found);
  return true;
}

bool AddToEngine(const GamePlugins& plugins, EngineData* data, std::string* error,
                 std::vector<std::string>* warnings) {
  using gamedata::PluginState;
  if (!plugins.order.error.empty()) {
    *error = plugins.order.error;
    return false;
  }
  for (const gamedata::LoadOrderEntry& e : plugins.order.entries) {
    if (e.state == PluginState::kDamaged) {
      *error = e.file->damage;
      return false;
    }
    if (e.file == nullptr) continue;  // not in Data: the game never finds it
    data->AddPlugin(e.name, !e.Loaded() ? PluginKind::kInactive
                            : e.light   ? PluginKind::kLight
                                        : PluginKind::kRegular);
  }
  for (const gamedata::LoadOrderEntry& e : plugins.order.entries) {
    if (!e.Loaded()) continue;
    gamedata::PluginContents contents =
        gamedata::ReadPluginFile(plugins.dataFolder / PathOf(e.name), gamedata::Depth::kRecords);
    if (!contents.ok) {
      contents.error.file = "Data/" + e.name;
      *error = contents.error.Text();
      return false;
    }
    if (e.light && warnings != nullptr) {
      std::string warning = gamedata::LightNumberWarning(e.name, contents.header, contents.records);
      if (!warning.empty()) warnings->push_back(std::move(warning));
    }
    const gamedata::FormSlot slot{e.light, e.index, e.lightIndex};
    const std::size_t masters = contents.header.masters.size();
    for (const gamedata::Record& r : contents.records) {
      if (!gamedata::IsOwnForm(r.formID, masters)) continue;  // overrides a master's form
      const std::uint32_t id = slot.RuntimeID(r.formID);
      const std::uint8_t type = gamedata::FormTypeOfSignature(r.signature);
      if (type == gamedata::kQuestType)
        data->AddQuest(id);
      else
        data->AddForm(id, type);
    }
  }
  return true;
}

}  // namespace cw::sim
