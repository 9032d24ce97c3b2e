// Load orders built from Plugins.txt, Skyrim.ccc and the headers of real plugin
// files (and a few written here where the real ones have no such file).
#include "gamedata/load_order.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/fixtures.h"

namespace cw::gamedata {
namespace {

namespace fs = std::filesystem;

const fs::path kReal = fs::path(CW_SOURCE_DIR) / ".." / "shared" / "fixtures" / "real";

// Names starting "Blank" or "MCMHelper" are the real files; others are made here:
// a name "X.esp>M.esm" is X.esp with master M.esm, "X.esp!" a damaged one.
std::vector<FoundPlugin> Data(const std::vector<std::string>& names) {
  std::vector<FoundPlugin> found;
  for (const std::string& entry : names) {
    FoundPlugin& f = found.emplace_back();
    const std::size_t arrow = entry.find('>');
    f.name = entry.substr(0, arrow);
    if (arrow != std::string::npos) f.header.masters.push_back(entry.substr(arrow + 1));
    if (f.name.back() == '!') {
      f.name.pop_back();
      f.damage = "Data/" + f.name + ": offset 0x0: not a plugin file";
    }
    if (f.name.rfind("Blank", 0) != 0 && f.name.rfind("MCMHelper", 0) != 0) continue;
    const fs::path path = kReal / (f.name[0] == 'M' ? "" : "plugins") / f.name;
    const PluginContents c = ReadPluginFile(path, Depth::kHeader);
    if (!c.ok) return {};
    f.header = c.header;
  }
  return found;
}

// "00 Name", "FE:001 Name", "-- Name inactive" ...
std::vector<std::string> Listing(const LoadOrder& order) {
  static const char* const kStates[] = {"", " inactive", " missing master", " damaged",
                                        " not in Data"};
  std::vector<std::string> lines;
  for (const LoadOrderEntry& e : order.entries) {
    const std::string index = IndexText(e);
    lines.push_back((index.empty() ? "--" : index) + " " + e.name +
                    kStates[static_cast<int>(e.state)]);
  }
  return lines;
}

struct Case {
  const char* name;
  std::vector<std::string> data;
  std::string pluginsTxt, ccc;
  std::vector<std::string> expected;
};

const Case kCases[] = {
    {"masters first, letter case, comments, CRLF",
     {"Blank.esp", "Blank.esm", "Blank.esl", "Blank - Master Dependent.esp"},
     "# written by a tool\r\n*blank.esp\r\n\r\n*BLANK.ESM\r\n*Blank - Master Dependent.esp\r\n"
     "*Blank.esl\r\n",
     "",
     {"00 Blank.esm", "FE:000 Blank.esl", "01 Blank.esp", "02 Blank - Master Dependent.esp"}},
    {"missing masters, through a chain",
     {"Blank.esm", "Blank - Master Dependent.esm", "Blank - Master Dependent.esp", "Blank.esp",
      "Blank - Plugin Dependent.esp", "Top.esp>Blank - Plugin Dependent.esp"},
     "Blank.esm\n*Blank - Master Dependent.esm\n*Blank - Master Dependent.esp\nBlank.esp\n"
     "*Blank - Plugin Dependent.esp\n*Top.esp\n",
     "",
     {"-- Blank.esm inactive", "-- Blank - Master Dependent.esm missing master",
      "-- Blank - Master Dependent.esp missing master", "-- Blank.esp inactive",
      "-- Blank - Plugin Dependent.esp missing master", "-- Top.esp missing master"}},
    {"light-flagged .esp among the plugins, its master later",
     {"Blank.esp", "MCMHelper.esp", "SkyUI_SE.esp", "Blank.esm"},
     "*MCMHelper.esp\n*SkyUI_SE.esp\n*Blank.esp\n*Blank.esm\n",
     "",
     {"00 Blank.esm", "FE:000 MCMHelper.esp", "01 SkyUI_SE.esp", "02 Blank.esp"}},
    {"light-flagged .esp without its master",
     {"MCMHelper.esp"},
     "*MCMHelper.esp\n",
     "",
     {"-- MCMHelper.esp missing master"}},
    {"base masters and Creation Club first, whatever Plugins.txt says",
     {"Blank.esm", "Update.esm", "Skyrim.esm", "ccFish.esl", "ccCurios.esm", "Unlisted.esp"},
     "*Blank.esm\nUpdate.esm\n*Skyrim.esm\n*Missing.esp\nGone.esp\n",
     "ccCurios.esm\r\nccFish.esl\r\nccNotOwned.esl\r\n",
     {"00 Skyrim.esm", "01 Update.esm", "02 ccCurios.esm", "FE:000 ccFish.esl", "03 Blank.esm",
      "-- Missing.esp not in Data", "-- Unlisted.esp inactive"}},
    {"a damaged file and the files that need it",
     {"Blank.esm!", "Blank - Master Dependent.esp>Blank.esm", "Other.esp"},
     "*Blank.esm\n*Blank - Master Dependent.esp\n*Other.esp\n",
     "",
     {"-- Blank.esm damaged", "-- Blank - Master Dependent.esp missing master", "00 Other.esp"}},
};

class BuildsLoadOrder : public testing::TestWithParam<Case> {};

TEST_P(BuildsLoadOrder, AsTheGame) {
  const Case& c = GetParam();
  CW_NEED_FIXTURE("real/plugins/Blank.esm");
  const std::vector<FoundPlugin> found = Data(c.data);
  const LoadOrder order = BuildLoadOrder(c.pluginsTxt, c.ccc, found);
  EXPECT_EQ(order.error, "");
  EXPECT_EQ(Listing(order), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Table, BuildsLoadOrder, testing::ValuesIn(kCases),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(LoadOrder, TooManyFilesForTheIndices) {
  for (const auto& [extension, limit] :
       {std::pair<std::string, std::size_t>{".esp", 254}, {".esl", 4096}}) {
    std::vector<FoundPlugin> found;
    std::string list;
    auto add = [&](const std::string& name) {
      found.push_back({name, {}, {}});
      list += "*" + name + "\n";
    };
    for (std::size_t i = 0; i < limit; ++i) add("P" + std::to_string(i) + extension);
    EXPECT_EQ(BuildLoadOrder(list, "", found).error, "") << extension;
    add("Extra" + extension);
    EXPECT_NE(BuildLoadOrder(list, "", found).error.find("too many"), std::string::npos)
        << extension;
  }
}

}  // namespace
}  // namespace cw::gamedata
