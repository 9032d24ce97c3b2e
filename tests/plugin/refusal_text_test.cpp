#include "plugin/refusal_text.h"

#include <gtest/gtest.h>

namespace cw::refusal_text {
namespace {

struct Row {
  Reason reason;
  const char* gameVersion;
  const char* databaseFile;
  std::string text;
};

TEST(RefusalText, SaysWhatHappenedAndWhatToDo) {
  const char* se = "Data\\SKSE\\Plugins\\version-1-5-97-0.bin";
  const char* ae = "Data\\SKSE\\Plugins\\versionlib-1-6-1170-0.bin";
  const Row rows[] = {
      {Reason::kNone, "1.5.97.0", se, ""},
      {Reason::kDatabaseMissing, "1.5.97.0", se,
       "Cradlewright is not running: the Address Library file version-1-5-97-0.bin for game "
       "1.5.97.0 is missing: install \"Address Library for SKSE Plugins\" for game 1.5.97.0 "
       "(into Data\\SKSE\\Plugins)"},
      {Reason::kDatabaseUnreadable, "1.6.1170.0", ae,
       "Cradlewright is not running: the Address Library file versionlib-1-6-1170-0.bin for game "
       "1.6.1170.0 is damaged or of another game version: reinstall \"Address Library for SKSE "
       "Plugins\" for game 1.6.1170.0"},
      {Reason::kIdentifiersMissing, "1.5.97.0", se,
       "Cradlewright is not running: the Address Library file version-1-5-97-0.bin for game "
       "1.5.97.0 lacks addresses this plugin needs: update Cradlewright to a version made for "
       "game 1.5.97.0"},
      {Reason::kSkyrimVR, "1.4.15.0", "",
       "Cradlewright is not running: game 1.4.15.0 is Skyrim VR, which this plugin does not "
       "support; it runs only in Skyrim Special Edition and the Anniversary Edition"},
      {Reason::kNoGameVersion, "", "",
       "Cradlewright is not running: the game states no version this plugin can read; start "
       "Skyrim Special Edition through SKSE64 (skse64_loader.exe)"},
      {Reason::kStartupFailed, "1.5.97.0", se,
       "Cradlewright is not running: its start-up failed; please report this log to the mod's "
       "authors"},
  };
  for (const Row& row : rows)
    EXPECT_EQ(PlainText({row.reason, row.gameVersion, row.databaseFile}), row.text)
        << static_cast<int>(row.reason);
}

TEST(RefusalText, NamesTheFileWhateverItsSeparators) {
  EXPECT_NE(PlainText({Reason::kDatabaseMissing, "1.5.97.0", "a/b/version-1-5-97-0.bin"})
                .find(" version-1-5-97-0.bin for game 1.5.97.0 "),
            std::string::npos);
  EXPECT_NE(PlainText({Reason::kDatabaseMissing, "1.5.97.0", "version-1-5-97-0.bin"})
                .find(" version-1-5-97-0.bin for game 1.5.97.0 "),
            std::string::npos);
}

}  // namespace
}  // namespace cw::refusal_text
