#include "platform/log_folder.h"

#include <windows.h>
// after windows.h
#include <knownfolders.h>
#include <shlobj.h>

namespace cw::platform {

bool HasLogFolder() {
  return true;
}

std::string DocumentsFolder() {
  PWSTR wide = nullptr;
  std::string result;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, &wide)) && wide) {
    const int size = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (size > 1) {
      result.resize(static_cast<std::size_t>(size));
      WideCharToMultiByte(CP_ACP, 0, wide, -1, result.data(), size, nullptr, nullptr);
      result.resize(static_cast<std::size_t>(size - 1));
    }
  }
  if (wide) CoTaskMemFree(wide);
  return result;
}

bool GameFolderHas(const char* fileName) {
  const DWORD attributes = GetFileAttributesA(fileName);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsDirectory(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace cw::platform
