#pragma once
// Typed settings in INI files below the mod folder, read and written through the
// platform's private-profile functions. Nothing is cached: every call reads or
// writes the file anew.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace cw::utility {

// "Data\Cradlewright\" + category, a "\" unless the text already ends in "/" or
// "\", then the file name as given.
std::string IniFilePath(std::string_view category, std::string_view file);

// The stored text (at most 499 bytes), or def when file, section or key is missing.
std::string ReadIniText(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& def);

// True exactly for the stored texts 1, y, Y, true, True, TRUE, yes, Yes, YES.
bool IsTrueText(std::string_view text);
bool ReadIniBool(const std::string& path, const std::string& section, const std::string& key,
                 bool def);

// The value of a stored "0x" text of at most 10 characters, read as a stream reads
// a hexadecimal int (blanks, a sign, digits up to the first other character; no
// digit gives 0, above 0x7FFFFFFF gives 2147483647); none for any other text.
std::optional<std::int32_t> HexSettingValue(std::string_view text);
// A "0x" text as above, any other text as the platform's integer reader gives it
// (def when the key is missing).
std::int32_t ReadIniInt(const std::string& path, const std::string& section, const std::string& key,
                        std::int32_t def);

// The number at the start of the first 19 bytes of the stored text; a missing key
// gives def rounded to 6 significant digits.
float ReadIniFloat(const std::string& path, const std::string& section, const std::string& key,
                   float def);

// Writers answer false when the value was not stored. Texts with line breaks,
// keys with "=" and keys starting with "[" are refused: stored, they would change
// other settings of the file. A path that is not inside the game's Data folder
// (PlaceOfPath), and a section, key, value or path longer than the profile limit
// (platform/profile_limits.h), are refused with a warning in the log naming the
// reason, and nothing is written. Readers answer their default for a section,
// key or path over that limit.
bool WriteIniText(const std::string& path, const std::string& section, const std::string& key,
                  const std::string& value);
bool WriteIniBool(const std::string& path, const std::string& section, const std::string& key,
                  bool value);
// Stored as signed decimal text, which the Int reader reads back unchanged.
bool WriteIniInt(const std::string& path, const std::string& section, const std::string& key,
                 std::int32_t value);
bool WriteIniFloat(const std::string& path, const std::string& section, const std::string& key,
                   float value);

}  // namespace cw::utility
