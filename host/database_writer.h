#pragma once
// Writes the version database through which the plugin finds the simulator's
// engine functions, exactly as it finds the game's.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace cw::sim {

// The name stored in the header of databases this program writes.
inline constexpr const char* kDatabaseMark = "cradlewright-host";

struct DatabaseVersion {
  int major = 1, minor = 5, build = 97, sub = 0;
};

// Game versions 1.6 and later (the Anniversary Edition line) have their own
// identifier numbering, database format 2 and file names "versionlib-...".
bool IsAnniversaryLine(const DatabaseVersion& version);

// Encodes identifier/offset pairs with the compact codings of the database format;
// the format number is 2 for the 1.6 line, 1 before it.
std::vector<std::uint8_t> EncodeDatabase(const DatabaseVersion& version, const std::string& name,
                                         const std::map<std::uint64_t, std::uint64_t>& entries);

// "Data/SKSE/Plugins/version-A-B-C-D.bin" below the game folder
// ("versionlib-A-B-C-D.bin" for the 1.6 line).
std::string DatabasePath(const std::string& gameDir, const DatabaseVersion& version);

// True when the file at `path` is a database that this program wrote.
bool IsOurDatabase(const std::string& path);

// Writes the database (creating Data/SKSE/Plugins); refuses to replace a file that
// this program did not write. False with `error` set on failure.
bool WriteDatabase(const std::string& path, const std::vector<std::uint8_t>& bytes,
                   std::string* error);

}  // namespace cw::sim
