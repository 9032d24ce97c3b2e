#include "natives/utility/mod_files.h"

#include "platform/dir_search.h"
#include "platform/files.h"

namespace cw::utility {

std::string ModDirectory(std::string_view folder) {
  std::string dir(kModFolder);
  dir += folder;
  if (dir.back() != '/' && dir.back() != '\\') dir += '/';
  return dir;
}

std::uint32_t CountModFiles(std::string_view folder, std::string_view extension) {
  std::string pattern = ModDirectory(folder) + "*.";
  pattern += extension;
  std::uint32_t count = 0;
  platform::ForEachDirectoryEntry(pattern, [&count](const char*) {
    ++count;
    return true;
  });
  return count;
}

std::string ModFileName(std::string_view folder, std::string_view extension, std::uint32_t index) {
  std::string pattern = ModDirectory(folder) + "*.";
  pattern += extension;
  std::string found;
  std::uint32_t number = 0;
  platform::ForEachDirectoryEntry(pattern, [&](const char* name) {
    if (number++ != index) return true;
    found = name;
    return false;
  });
  return found;
}

bool ModFileExists(std::string_view file) {
  std::string path(kModFolder);
  path += file;
  return platform::IsReadableWritable(path);
}

std::string NextAutoFileName(std::string_view folder, std::string_view baseName,
                             std::string_view extension) {
  for (int n = 0; n < 128; ++n) {
    std::string name(baseName);
    name += static_cast<char>('0' + n / 100);
    name += static_cast<char>('0' + n / 10 % 10);
    name += static_cast<char>('0' + n % 10);
    name += '.';
    name += extension;
    std::string path(kModFolder);
    path += folder;
    path += '/';
    path += name;
    // Any entry of that name takes the number, whether it can be written or not.
    if (!platform::PathExists(path)) return name;
  }
  return std::string();
}

}  // namespace cw::utility
