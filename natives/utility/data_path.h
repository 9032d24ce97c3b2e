#pragma once
// Where a path that a script put together leads, read as Windows reads it, without
// asking the file system.
#include <string_view>

namespace cw::utility {

// Where a path leads, or the first thing found that rules it out.
enum class PathPlace {
  kInsideData,   // inside the game's Data folder
  kOutsideData,  // leaves Data or never enters it, or cannot be told for certain
  kDevice,       // a segment names a Windows device
  kColon,        // holds ":" (a drive or an alternate data stream)
};

// kInsideData when `path` (relative to the game folder; "\" and "/" both separate)
// names something inside the game's Data folder once its "." and ".." segments
// are taken away. kColon for a path that holds ":" anywhere; kDevice for one
// with a segment that names a Windows device (CON, PRN, AUX, NUL, COM1-COM9,
// LPT1-LPT9, CONIN$, CONOUT$; in any case, with or without an extension);
// kOutsideData for one that leaves Data or never enters it, an absolute one (a
// leading separator, "\\" network and device paths) and one with a segment of
// dots and blanks alone other than "." and "..". Segments are read from the left
// and the first that rules the path out decides.
PathPlace PlaceOfPath(std::string_view path);

inline bool IsInsideDataFolder(std::string_view path) {
  return PlaceOfPath(path) == PathPlace::kInsideData;
}

}  // namespace cw::utility
