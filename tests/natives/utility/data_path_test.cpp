#include "natives/utility/data_path.h"

#include <gtest/gtest.h>

namespace cw::utility {
namespace {

TEST(IsInsideDataFolder, ReadsThePathAsWindowsWould) {
  const struct {
    const char* path;
    bool inside;
  } cases[] = {
      // Inside Data, however it is spelled.
      {"Data\\Cradlewright\\Settings\\Main.ini", true},
      {"Data/Cradlewright/A/B\\a.ini", true},
      {"data\\x.ini", true},
      {"DATA\\x.ini", true},
      {".\\Data\\.\\Cradlewright\\x.ini", true},
      {"Data\\Cradlewright\\\\Sub\\x.ini", true},
      {"Data\\Cradlewright\\..\\Other\\x.ini", true},
      {"Data\\..\\Data\\x.ini", true},
      {"Data\\Cradlewright\\Settings\\", true},
      {"Data\\Cradlewright\\...x.ini", true},
      {"Data\\Cradlewright\\console.ini", true},
      {"Data\\Cradlewright\\COM10.ini", true},
      {"Data\\Cradlewright\\COM0.ini", true},
      {"Data\\Cradlewright\\nul_settings.ini", true},
      // Leaving Data, or never in it.
      {"Data", false},
      {"Data\\", false},
      {"Data\\Cradlewright\\..\\..\\evil.ini", false},
      {"Data\\Cradlewright\\../../..\\evil.ini", false},
      {"Data\\Cradlewright\\..\\..\\..\\..\\evil.ini", false},
      {"Data\\..\\..\\Data\\x.ini", false},
      {"..\\Data\\x.ini", false},
      {"Database\\x.ini", false},
      {"Skyrim.ini", false},
      {"", false},
      // Absolute.
      {"\\Data\\x.ini", false},
      {"/Data/x.ini", false},
      {"\\\\server\\share\\Data\\x.ini", false},
      {"\\\\.\\PhysicalDrive0", false},
      {"\\\\?\\C:\\Data\\x.ini", false},
      {"C:\\Games\\Data\\x.ini", false},
      {"C:Data\\x.ini", false},
      // Alternate data streams.
      {"Data\\Cradlewright\\x.ini:hidden", false},
      {"Data\\Cradlewright\\x.ini::$DATA", false},
      // Devices, in any case, with or without an extension, in any segment.
      {"Data\\CON", false},
      {"Data\\con.ini", false},
      {"Data\\Cradlewright\\Prn.txt", false},
      {"Data\\Cradlewright\\aux", false},
      {"Data\\Cradlewright\\NUL.tar.gz", false},
      {"Data\\Cradlewright\\nul .ini", false},
      {"Data\\Cradlewright\\COM1", false},
      {"Data\\Cradlewright\\com9.ini", false},
      {"Data\\Cradlewright\\LPT1.ini", false},
      {"Data\\Cradlewright\\lpt9", false},
      {"Data\\Cradlewright\\COM\xC2\xB9.ini", false},
      {"Data\\Cradlewright\\LPT\xB3", false},
      {"Data\\Cradlewright\\CONIN$", false},
      {"Data\\Cradlewright\\conout$.ini", false},
      {"Data\\CON\\x.ini", false},
      // Trailing dots and blanks, which Windows drops.
      {"Data\\Cradlewright\\x.ini.", true},
      {"Data\\Cradlewright\\x.ini ", true},
      {"Data\\Cradlewright\\CON.", false},
      {"Data\\Cradlewright\\...\\x.ini", false},
      {"Data\\Cradlewright\\.. \\..\\..\\x.ini", false},
      {"Data\\Cradlewright\\ .\\x.ini", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsInsideDataFolder(c.path), c.inside) << c.path;
}

}  // namespace
}  // namespace cw::utility
