#pragma once
// Files and folders below the mod folder Data/Cradlewright/: counted, listed,
// tested and numbered. Nothing here creates, changes or deletes a file.
#include <cstdint>
#include <string>
#include <string_view>

namespace cw::utility {

inline constexpr std::string_view kModFolder = "Data/Cradlewright/";

// The mod folder followed by folder and, unless the text already ends in "/" or
// "\", a "/"; an empty folder gives the mod folder itself.
std::string ModDirectory(std::string_view folder);

// Number of entries (files and folders) of folder whose names end in "." +
// extension; 0 for a missing folder.
std::uint32_t CountModFiles(std::string_view folder, std::string_view extension);

// Name of entry number index (from 0, in the search's order) of the same search;
// "" when there are not that many.
std::string ModFileName(std::string_view folder, std::string_view extension, std::uint32_t index);

// True when Data/Cradlewright/ + file can be opened for reading and writing.
bool ModFileExists(std::string_view file);

// The first of baseName + "000" + "." + extension up to baseName + "127" + ...
// for which nothing exists in folder; "" when all 128 exist.
std::string NextAutoFileName(std::string_view folder, std::string_view baseName,
                             std::string_view extension);

}  // namespace cw::utility
