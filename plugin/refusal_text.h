#pragma once
// The first line of the log when the plugin stays out of the game: what went
// wrong and what the player can do about it, in plain words. The technical
// lines that people search for follow it unchanged.
#include <string>

namespace cw::refusal_text {

enum class Reason {
  kNone,                // nothing kept the plugin out
  kNoGameVersion,       // the running game states no usable version
  kSkyrimVR,            // game 1.4.x: Skyrim VR
  kDatabaseMissing,     // the Address Library file for the game is not installed
  kDatabaseUnreadable,  // the file is damaged, or of another game version's format
  kIdentifiersMissing,  // the file lacks identifiers the plugin needs
  kStartupFailed,       // start-up stopped before every address was resolved
};

struct Facts {
  Reason reason = Reason::kNone;
  std::string gameVersion;   // "1.5.97.0"; "" when the game states none
  std::string databaseFile;  // as looked for, e.g. "Data\SKSE\Plugins\version-1-5-97-0.bin"
};

// One line; "" for kNone.
std::string PlainText(const Facts& facts);

}  // namespace cw::refusal_text
