#pragma once
// Private-profile (INI) settings files, read and written key by key. A section,
// key, value or path longer than kMaxProfileTextBytes (platform/profile_limits.h)
// never reaches the system: a read answers its default, a write is refused.
#include <cstddef>
#include <string>

namespace cw::platform {

// The value of key in section, or def (without its trailing blanks) when the
// file, the section or the key is missing; cut to bufferSize - 1 bytes
// (bufferSize is held to kMaxProfileTextBytes).
std::string ReadProfileText(const std::string& section, const std::string& key,
                            const std::string& def, std::size_t bufferSize,
                            const std::string& path);

// The value of key in section read as an integer, or def when the key is missing
// or its value is empty.
int ReadProfileInt(const std::string& section, const std::string& key, int def,
                   const std::string& path);

// Stores value under key in section, creating the file (in an existing folder),
// the section and the key when missing. The new file is written beside the old
// one and replaces it whole once complete. False when the write is refused or
// fails (a missing folder, a read-only file, a full disk, texts that
// IsStorableProfileEntry refuses because stored they would change other lines);
// the file is then left byte for byte as it was.
bool WriteProfileText(const std::string& section, const std::string& key, const std::string& value,
                      const std::string& path);

}  // namespace cw::platform
