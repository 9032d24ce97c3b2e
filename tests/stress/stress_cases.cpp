#include "tests/stress/stress_cases.h"

#include <fstream>

namespace cw::stress {
namespace fs = std::filesystem;
namespace {

const std::vector<std::string> kGreetings = {"Hello, little one.", "Hallo, Kleines."};
// Decoded sizes of the example translation files (byte-order mark included).
const std::vector<std::string> kTextSizes = {"109", "142"};
const std::vector<std::string> kPaths = {
    "Data/Interface/Translations/Cradlewright_ENGLISH.txt",
    "Data/Interface/Translations/Cradlewright_GERMAN.txt",
    "Data/Interface/Translations/Cradlewright_MISSING.txt",
};
// Every status a load passes through or ends with (4 needs a failing open).
const std::vector<std::string> kStatuses = {"1",  "2",  "3",  "5",  "6",  "8", "9",
                                            "10", "11", "12", "14", "15", "16"};

void WriteFile(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string Num(int n) {
  return std::to_string(n);
}

// A prefix and a number, joined by appending (a literal + std::string sets off a
// false restrict warning of the cross compiler).
std::string Named(const char* prefix, int n) {
  std::string text(prefix);
  return text.append(std::to_string(n));
}

}  // namespace

void AddEngineData(sim::SessionOptions* options) {
  options->plugins = {{"Skyrim.esm", sim::PluginKind::kRegular},
                      {"ccFish.esm", sim::PluginKind::kLight},
                      {"Cradlewright.esp", sim::PluginKind::kRegular}};
  options->forms = {0x00012E46, 0x01000D62, 0xFE000801};
  options->quests = {0x01000D63, 0x01000F00};
}

std::vector<BoundForm> BoundForms() {
  return {{77, 0x01000D63}, {77, 0x01000F00}, {0, 0x00012E46}, {0, 0x01000D62}, {0, 0xFE000801}};
}

void WriteStressFiles(const fs::path& gameDir) {
  const fs::path mod = gameDir / "Data" / "Cradlewright" / "Stress";
  WriteFile(mod / "List" / "a.txt", "0123456789");
  WriteFile(mod / "List" / "b.txt", "abc");
  WriteFile(mod / "List" / "c.log", "log\n");
  for (const char* name : {"save000.txt", "save001.txt", "save002.txt"})
    WriteFile(mod / "Auto" / name, "saved");
  WriteFile(mod / "Read.ini",
            "[Stress]\r\nName=Lydia\r\nFlag=yes\r\nCount=0x1F\r\nRatio=2.5\r\n"
            "[Values]\r\nName=Serana\r\nFlag=0\r\nCount=-7\r\nRatio=0.125\r\n");
}

std::vector<StressCase> StressCases(int thread) {
  const std::string own = Named("Write", thread).append(".ini");
  const std::string section = Named("T", thread);
  return {
      // Text functions.
      {"FWUtility.toLower", {"MiXeD Case 123"}, {"mixed case 123"}},
      {"FWUtility.toLower", {"none"}, {""}},
      {"FWUtility.toUpper", {"hello, Tamriel"}, {"HELLO, TAMRIEL"}},
      {"FWUtility.StringReplace", {"the cat sat", "cat", "dog"}, {"the dog sat"}},
      {"FWUtility.MultiStringReplace",
       {"{0} has {1} children", "Lydia", "2", "", "", "", ""},
       {"Lydia has 2 children"}},
      {"FWUtility.Hex", {"255", "4"}, {"00ff"}},
      {"FWUtility.Hex", {"float:255.9", "int:4"}, {"00ff"}},
      // Quests, form types and forms.
      {"FWUtility.GetQuestObject", {"Cradlewright.esp", "0"}, {"0x01000D63"}},
      {"FWUtility.GetQuestObject", {"Cradlewright.esp", "1"}, {"0x01000F00"}},
      {"FWUtility.GetQuestObject", {"Cradlewright.esp", "2"}, {"None"}},
      {"FWUtility.GetQuestObjectCount", {"Cradlewright.esp"}, {"2"}},
      {"FWUtility.getTypeString", {"77"}, {"kQuest"}},
      {"FWUtility.getTypeString", {"999"}, {"UNKNOWN"}},
      {"FWUtility.GetFormFromString", {"Cradlewright_d62"}, {"0x01000D62"}},
      {"FWUtility.GetFormFromString", {"Skyrim_12e46"}, {"0x00012E46"}},
      {"FWUtility.GetFormFromString", {"Nothing_1"}, {"None"}},
      {"FWUtility.GetFormFromString", {"ccFish_801"}, {"0xFE000801"}},
      {"FWUtility.GetStringFromForm", {"FE000801"}, {"ccFish_801"}},
      {"FWUtility.GetModFromString", {"Cradlewright_D62", "true"}, {"Cradlewright.esp"}},
      {"FWUtility.GetModFromString", {"Cradlewright_D62", "false"}, {"Cradlewright"}},
      {"FWUtility.GetFormIDFromString", {"Cradlewright_D62"}, {"16780642"}},
      {"FWUtility.GetStringFromForm", {"01000D62"}, {"Cradlewright_d62"}},
      {"FWUtility.GetStringFromForm", {"none"}, {""}},
      {"FWUtility.GetModFromForm", {"01000D62", "true"}, {"Cradlewright.esp"}},
      {"FWUtility.GetModFromForm", {"00012E46", "false"}, {"Skyrim"}},
      // Compiled scripts.
      {"FWUtility.ScriptHasString", {"CradlewrightExample", "OnInit"}, {"true"}},
      {"FWUtility.ScriptStringCount", {"CradlewrightExample"}, {"5"}},
      {"FWUtility.ScriptUser", {"CradlewrightExample"}, {"modder"}},
      {"FWUtility.ScriptSource", {"CradlewrightExample"}, {"CradlewrightExample.psc"}},
      {"FWUtility.ScriptMashine", {"CradlewrightExample"}, {"WORKSHOP"}},
      {"FWUtility.ScriptStringGet", {"CradlewrightExample", "1"}, {"OnInit"}},
      // Files and folders.
      {"FWUtility.GetFileCount", {"Stress/List", "txt"}, {"2"}},
      {"FWUtility.GetFileName", {"Stress/List", "txt", "0"}, {"a.txt", "b.txt"}},
      {"FWUtility.GetFileName", {"Stress/List", "txt", "2"}, {""}},
      {"FWUtility.FileExists", {"Stress/List/a.txt"}, {"true"}},
      {"FWUtility.FileExists", {"Stress/List/none.txt"}, {"false"}},
      {"FWUtility.getNextAutoFile", {"Stress/Auto", "save", "txt"}, {"save003.txt"}},
      {"FWUtility.GetDirectoryHash", {"Stress/List"}, {"0035-419-00f-bd1c-000011"}},
      // INI settings: read from Read.ini, which nobody writes.
      {"FWUtility.getIniPath", {"Stress", "Read.ini"}, {"Data\\Cradlewright\\Stress\\Read.ini"}},
      {"FWUtility.getIniString", {"Stress", "Read.ini", "Name", "x"}, {"Lydia"}},
      {"FWUtility.getIniString", {"Stress", "Read.ini", "Missing", "x"}, {"x"}},
      {"FWUtility.getIniBool", {"Stress", "Read.ini", "Flag", "false"}, {"true"}},
      {"FWUtility.getIniInt", {"Stress", "Read.ini", "Count", "0"}, {"31"}},
      {"FWUtility.getIniFloat", {"Stress", "Read.ini", "Ratio", "0"}, {"2.5"}},
      {"FWUtility.getIniCString", {"Stress", "Read.ini", "Values", "Name", "x"}, {"Serana"}},
      {"FWUtility.getIniCBool", {"Stress", "Read.ini", "Values", "Flag", "true"}, {"false"}},
      {"FWUtility.getIniCInt", {"Stress", "Read.ini", "Values", "Count", "0"}, {"-7"}},
      {"FWUtility.getIniCFloat", {"Stress", "Read.ini", "Values", "Ratio", "1.5"}, {"0.125"}},
      // INI settings: written to this thread's own file and section.
      {"FWUtility.setIniString", {"Stress", own, "Name", Named("T", thread)}, {"None"}},
      {"FWUtility.setIniBool", {"Stress", own, "Flag", "true"}, {"None"}},
      {"FWUtility.setIniInt", {"Stress", own, "Count", Num(thread)}, {"None"}},
      {"FWUtility.setIniFloat", {"Stress", own, "Ratio", "1.5"}, {"None"}},
      {"FWUtility.setIniCString", {"Stress", own, "Values", "Name", Named("V", thread)}, {"None"}},
      {"FWUtility.setIniCBool", {"Stress", own, "Values", "Flag", "false"}, {"None"}},
      {"FWUtility.setIniCInt", {"Stress", own, "Values", "Count", Num(100 + thread)}, {"None"}},
      {"FWUtility.setIniCFloat", {"Stress", own, "Values", "Ratio", "-0.25"}, {"None"}},
      {"FWUtility.setIniCString",
       {"Stress", "Shared.ini", section, "Name", Named("S", thread)},
       {"None"}},
      {"FWUtility.setIniInt", {"Stress", "Shared.ini", "Count", "7"}, {"None"}},
      // Child enchantments.
      {"FWChildEnchant.GetModFile", {"FireChild.txt"}, {"Cradlewright.esp"}},
      {"FWChildEnchant.GetFormID", {"FireChild.txt"}, {"41456"}},
      {"FWChildEnchant.GetPowerMin", {"FireChild.txt"}, {"5"}},
      {"FWChildEnchant.GetPowerMax", {"FrostChild.txt"}, {"25"}},
      // Translations: every thread switches languages while the others read.
      {"FWTextContents.IOReadTranslation", {"ENGLISH"}, {"None"}},
      {"FWTextContents.getLangText", {"Greeting"}, kGreetings},
      {"FWTextContents.getLangText", {"Nothing"}, {""}},
      {"FWTextContents.getLangSize", {}, kTextSizes},
      {"FWTextContents.IOReadTranslation", {"GERMAN"}, {"None"}},
      {"FWTextContents.getFilePath", {}, kPaths},
      {"FWTextContents.getErrorCode", {}, kStatuses},
      {"FWTextContents.IOReadTranslation", {"MISSING"}, {"None"}},
      {"FWTextContents.getLangText", {"Farewell"}, {"Sleep well.", "Schlaf gut."}},
  };
}

std::vector<StressCase> WrittenValues(int thread) {
  const std::string own = Named("Write", thread).append(".ini");
  return {
      {"FWUtility.getIniString", {"Stress", own, "Name", ""}, {Named("T", thread)}},
      {"FWUtility.getIniBool", {"Stress", own, "Flag", "false"}, {"true"}},
      {"FWUtility.getIniInt", {"Stress", own, "Count", "-1"}, {Num(thread)}},
      {"FWUtility.getIniFloat", {"Stress", own, "Ratio", "0"}, {"1.5"}},
      {"FWUtility.getIniCString", {"Stress", own, "Values", "Name", ""}, {Named("V", thread)}},
      {"FWUtility.getIniCBool", {"Stress", own, "Values", "Flag", "true"}, {"false"}},
      {"FWUtility.getIniCInt", {"Stress", own, "Values", "Count", "-1"}, {Num(100 + thread)}},
      {"FWUtility.getIniCFloat", {"Stress", own, "Values", "Ratio", "0"}, {"-0.25"}},
      {"FWUtility.getIniCString",
       {"Stress", "Shared.ini", Named("T", thread), "Name", ""},
       {Named("S", thread)}},
      {"FWUtility.getIniInt", {"Stress", "Shared.ini", "Count", "-1"}, {"7"}},
  };
}

}  // namespace cw::stress
