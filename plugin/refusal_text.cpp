#include "plugin/refusal_text.h"

namespace cw::refusal_text {
namespace {

// "version-1-5-97-0.bin" of "Data\SKSE\Plugins\version-1-5-97-0.bin".
std::string FileName(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string PlainText(const Facts& facts) {
  const std::string start = "Cradlewright is not running: ";
  const std::string game = "game " + facts.gameVersion;
  const std::string file =
      "the Address Library file " + FileName(facts.databaseFile) + " for " + game;
  const std::string install = "\"Address Library for SKSE Plugins\" for " + game;
  switch (facts.reason) {
    case Reason::kNone:
      return {};
    case Reason::kNoGameVersion:
      return start +
             "the game states no version this plugin can read; start Skyrim Special Edition "
             "through SKSE64 (skse64_loader.exe)";
    case Reason::kSkyrimVR:
      return start + game +
             " is Skyrim VR, which this plugin does not support; it runs only in Skyrim "
             "Special Edition and the Anniversary Edition";
    case Reason::kDatabaseMissing:
      return start + file + " is missing: install " + install + " (into Data\\SKSE\\Plugins)";
    case Reason::kDatabaseUnreadable:
      return start + file + " is damaged or of another game version: reinstall " + install;
    case Reason::kIdentifiersMissing:
      return start + file +
             " lacks addresses this plugin needs: update Cradlewright to a version made for " +
             game;
    case Reason::kStartupFailed:
      return start + "its start-up failed; please report this log to the mod's authors";
  }
  return {};
}

}  // namespace cw::refusal_text
