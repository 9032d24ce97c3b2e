#pragma once
// Which version of the game is running, as its executable states it.
#include <cstdint>
#include <optional>

namespace cw::address {

struct GameVersion {
  std::int32_t major = 0, minor = 0, build = 0, sub = 0;
  friend bool operator==(const GameVersion&, const GameVersion&) = default;
};

// Reads "%d.%d.%d.%d" the way the C scanner does (blanks before each number, an
// optional sign, nothing between the numbers but the dots, anything after the
// fourth) and accepts the text when it gives exactly four numbers and is not a
// placeholder: the first number taken as unsigned at most 1 with the other three
// all 0 (0.0.0.0 and 1.0.0.0 are refused, 1.0.0.1 and 2.0.0.0 accepted). A number
// outside the 32-bit range makes the text unreadable. Null reads as "".
std::optional<GameVersion> ParseAcceptedVersion(const char* text);

// The product version when it is accepted, else the file version when that one
// is; nullopt when neither is. Null or empty texts are not accepted.
std::optional<GameVersion> ChooseVersion(const char* product, const char* file);

// Skyrim VR states game versions 1.4.x; it reads no database of this plugin's kinds.
inline bool IsSkyrimVR(const GameVersion& v) {
  return v.major == 1 && v.minor == 4;
}

// ChooseVersion of the running executable's version texts; nullopt when the
// executable carries no version information.
std::optional<GameVersion> RunningGameVersion();

}  // namespace cw::address
