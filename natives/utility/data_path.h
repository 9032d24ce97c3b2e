#pragma once
// Where a path that a script put together leads, read as Windows reads it, without
// asking the file system.
#include <string_view>

namespace cw::utility {

// True when `path` (relative to the game folder; "\" and "/" both separate)
// names something inside the game's Data folder once its "." and ".." segments
// are taken away. False for a path that leaves Data or never enters it, an
// absolute one (a leading separator, "\\" network and device paths, a drive
// letter), one that holds ":" (a drive or an alternate data stream), one with a
// segment that names a Windows device (CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9,
// CONIN$, CONOUT$; in any case, with or without an extension) and one with a
// segment of dots and blanks alone other than "." and "..".
bool IsInsideDataFolder(std::string_view path);

}  // namespace cw::utility
