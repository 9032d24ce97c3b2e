#include "address/startup_database.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/address/database_bytes.h"
#include "tests/address/printers.h"
#include "tests/support/temp_game_folder.h"

namespace cw::address {
namespace {

using test::DatabaseBytes;

constexpr Declaration kDecls[] = {{100, 1100, Form::kRelative}, {101, 1101, Form::kAbsolute}};

std::string Bytes(const DatabaseBytes& b) {
  return std::string(reinterpret_cast<const char*>(b.data()), b.size());
}

DatabaseBytes File(std::int32_t format, std::uint64_t firstId) {
  DatabaseBytes b = DatabaseBytes::Header(2, 8, "", format);
  b.Absolute(firstId, 4096).Byte(0x91);
  return b;
}

TEST(StartupDatabase, ResolvesTheNumberingOfTheFileRead) {
  test::TempGameFolder game;
  game.Write("Data/SKSE/Plugins/version-1-5-97-0.bin", Bytes(File(1, 100)));
  game.Write("Data/SKSE/Plugins/versionlib-1-6-1170-0.bin", Bytes(File(2, 1100)));

  const StartupDatabase se = ReadStartupDatabase({1, 5, 97, 0}, kDecls);
  ASSERT_TRUE(se.Loaded()) << se.Problem();
  EXPECT_EQ(se.Find(100), 4096u);
  EXPECT_EQ(se.Find(101), 4104u);
  EXPECT_EQ(se.resolved.entryCount, 2u);
  EXPECT_EQ(se.Problem(), "");

  const StartupDatabase ae = ReadStartupDatabase({1, 6, 1170, 0}, kDecls);
  ASSERT_TRUE(ae.Loaded()) << ae.Problem();
  EXPECT_EQ(ae.file.numbering, Numbering::kAE);
  EXPECT_EQ(ae.Find(1100), 4096u);
  EXPECT_EQ(ae.Find(1101), 4104u);
}

TEST(StartupDatabase, ProblemsNameTheFileAndTheReason) {
  test::TempGameFolder game;
  game.Write("Data/SKSE/Plugins/versionlib-1-6-640-0.bin", Bytes(File(1, 1100)));
  game.Write("Data/SKSE/Plugins/version-1-5-97-0.bin", Bytes(File(1, 100)).substr(0, 40));
  game.Write("Data/SKSE/Plugins/version-1-4-15-0.bin", Bytes(File(1, 100)));

  struct Case {
    GameVersion version;
    std::string problem;
  };
  const Case cases[] = {
      {{1, 6, 640, 0},
       "Data\\SKSE\\Plugins\\versionlib-1-6-640-0.bin: format 1, game 1.6.640.0 needs format 2"},
      {{1, 6, 1170, 0}, "Data\\SKSE\\Plugins\\versionlib-1-6-1170-0.bin: file cannot be opened"},
      {{1, 5, 97, 0}, "Data\\SKSE\\Plugins\\version-1-5-97-0.bin: file ends early"},
      // Skyrim VR: no file is looked for, even one that is there.
      {{1, 4, 15, 0}, "game 1.4.15.0 is Skyrim VR: no database is read"},
  };
  for (const Case& c : cases) {
    const StartupDatabase db = ReadStartupDatabase(c.version, kDecls);
    EXPECT_FALSE(db.Loaded());
    EXPECT_EQ(db.Problem(), c.problem);
    EXPECT_EQ(db.Find(100), std::nullopt);
    EXPECT_EQ(db.Find(1100), std::nullopt);
  }
}

TEST(StartupDatabase, TestProgramStatesNoRunningVersion) {
  const StartupDatabase db = ReadStartupDatabaseForRunningGame(kDecls);
  EXPECT_FALSE(db.Loaded());
  EXPECT_EQ(db.Problem(), "the running game states no usable version");
}

}  // namespace
}  // namespace cw::address
