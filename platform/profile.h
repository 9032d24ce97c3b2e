#pragma once
// Private-profile (INI) settings files, read and written key by key.
#include <cstddef>
#include <string>

namespace cw::platform {

// The value of key in section, or def (without its trailing blanks) when the
// file, the section or the key is missing; cut to bufferSize - 1 bytes.
std::string GetProfileString(const std::string& section, const std::string& key,
                             const std::string& def, std::size_t bufferSize,
                             const std::string& path);

// The value of key in section read as an integer, or def when the key is missing
// or its value is empty.
int GetProfileInt(const std::string& section, const std::string& key, int def,
                  const std::string& path);

// Stores value under key in section, creating the file (in an existing folder),
// the section and the key when missing. False when the write is refused; the
// file is then left as it was.
bool WriteProfileString(const std::string& section, const std::string& key,
                        const std::string& value, const std::string& path);

}  // namespace cw::platform
