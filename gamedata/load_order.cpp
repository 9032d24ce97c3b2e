#include "gamedata/load_order.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>
#include <unordered_set>

#include "gamedata/windows_1252.h"
#include "platform/ascii.h"

namespace cw::gamedata {
namespace {

// Loaded first, in this order, whenever Data has them.
constexpr std::string_view kBaseMasters[] = {"Skyrim.esm", "Update.esm", "Dawnguard.esm",
                                             "HearthFires.esm", "Dragonborn.esm"};

std::string Key(std::string_view name) {
  std::string key(name);
  for (char& c : key) c = LowerAscii(c);
  return key;
}

bool HasExtension(std::string_view name, std::string_view extension) {
  return name.size() >= extension.size() &&
         EqualsIgnoringAsciiCase(name.substr(name.size() - extension.size()), extension);
}

std::string_view Trim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// The names of a Plugins.txt or Skyrim.ccc text, each with its active mark
// (a leading "*"); blank lines and "#" comment lines left out.
std::vector<std::pair<std::string, bool>> Lines(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  std::vector<std::pair<std::string, bool>> lines;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = Trim(text.substr(0, end));
    text.remove_prefix(std::min(end + 1, text.size()));
    if (line.empty() || line[0] == '#') continue;
    const bool active = line[0] == '*';
    if (active) line = Trim(line.substr(1));
    if (!line.empty()) lines.emplace_back(Utf8FromWindows1252(line), active);
  }
  return lines;
}

// Marks files whose masters do not all load, until every loaded file's masters load.
void LeaveOutMissingMasters(std::vector<LoadOrderEntry>& entries) {
  std::unordered_set<std::string> loaded;
  for (const LoadOrderEntry& e : entries)
    if (e.Loaded()) loaded.insert(Key(e.name));
  for (bool changed = true; changed;) {
    changed = false;
    for (LoadOrderEntry& e : entries) {
      if (!e.Loaded()) continue;
      for (const std::string& master : e.file->header.masters) {
        const std::string name = Utf8FromWindows1252(master);
        if (!loaded.count(Key(name))) e.missingMasters.push_back(name);
      }
      if (!e.missingMasters.empty()) {
        e.state = PluginState::kMissingMaster;
        loaded.erase(Key(e.name));
        changed = true;
      }
    }
  }
}

std::string TooMany(std::size_t count, const char* kind, std::size_t limit, const char* range) {
  return "too many " + std::string(kind) + "plugins to load: " + std::to_string(count) +
         ", the game loads at most " + std::to_string(limit) + " (" + range + ")";
}

}  // namespace

LoadOrder BuildLoadOrder(std::string_view pluginsTxt, std::string_view skyrimCcc,
                         const std::vector<FoundPlugin>& found) {
  std::unordered_map<std::string, const FoundPlugin*> inData;
  for (const FoundPlugin& f : found) inData.emplace(Key(f.name), &f);

  LoadOrder order;
  std::unordered_set<std::string> placed;
  auto place = [&](const std::string& name, bool active) {
    const std::string key = Key(name);
    const auto it = inData.find(key);
    if (it == inData.end() && !active) return;
    if (!placed.insert(key).second) return;
    LoadOrderEntry e;
    e.name = name;
    e.state = active ? PluginState::kLoaded : PluginState::kInactive;
    if (it == inData.end()) {
      e.state = PluginState::kNotInData;
    } else {
      e.file = it->second;
      e.name = e.file->name;
      if (!e.file->damage.empty() && active) e.state = PluginState::kDamaged;
    }
    const std::uint32_t flags = e.file && e.file->damage.empty() ? e.file->header.flags : 0;
    e.light = (flags & kLightFlag) || HasExtension(e.name, ".esl");
    e.master =
        (flags & kMasterFlag) || HasExtension(e.name, ".esm") || HasExtension(e.name, ".esl");
    order.entries.push_back(std::move(e));
  };

  for (std::string_view base : kBaseMasters)
    if (inData.count(Key(base))) place(std::string(base), true);
  for (const auto& [name, mark] : Lines(skyrimCcc))
    if (inData.count(Key(name))) place(name, true);
  for (const auto& [name, active] : Lines(pluginsTxt)) place(name, active);
  // Files no list names: found, not loaded, in the order of their names.
  std::vector<const FoundPlugin*> rest;
  for (const FoundPlugin& f : found) rest.push_back(&f);
  std::sort(rest.begin(), rest.end(),
            [](const FoundPlugin* a, const FoundPlugin* b) { return Key(a->name) < Key(b->name); });
  for (const FoundPlugin* f : rest) place(f->name, false);

  std::stable_partition(order.entries.begin(), order.entries.end(),
                        [](const LoadOrderEntry& e) { return e.master; });
  LeaveOutMissingMasters(order.entries);

  std::size_t regular = 0, light = 0;
  for (LoadOrderEntry& e : order.entries) {
    if (!e.Loaded()) continue;
    if (e.light)
      e.lightIndex = static_cast<std::uint16_t>(light++ & 0xFFF);
    else
      e.index = static_cast<std::uint8_t>(regular++ & 0xFF);
  }
  if (regular > kMaxRegularPlugins)
    order.error = TooMany(regular, "", kMaxRegularPlugins, "00 to FD");
  else if (light > kMaxLightPlugins)
    order.error = TooMany(light, "light ", kMaxLightPlugins, "FE:000 to FE:FFF");
  return order;
}

std::string IndexText(const LoadOrderEntry& entry) {
  if (!entry.Loaded()) return {};
  char text[16];
  if (entry.light)
    std::snprintf(text, sizeof text, "FE:%03X", entry.lightIndex);
  else
    std::snprintf(text, sizeof text, "%02X", entry.index);
  return text;
}

}  // namespace cw::gamedata
