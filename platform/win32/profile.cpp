#include "platform/profile.h"

#include <windows.h>

#include <limits>
#include <vector>

#include "platform/profile_text.h"

namespace cw::platform {
namespace {

// The profile functions look for a bare file name in the Windows folder; a path
// that starts with the current folder is taken as it stands.
std::string ProfilePath(const std::string& path) {
  const bool rooted = !path.empty() && (path[0] == '\\' || path[0] == '/');
  const bool drive = path.size() >= 2 && path[1] == ':';
  if (rooted || drive) return path;
  return ".\\" + path;
}

}  // namespace

std::string ReadProfileText(const std::string& section, const std::string& key,
                            const std::string& def, std::size_t bufferSize,
                            const std::string& path) {
  if (bufferSize == 0) return std::string();
  if (bufferSize > std::numeric_limits<DWORD>::max())
    bufferSize = std::numeric_limits<DWORD>::max();
  std::vector<char> buffer(bufferSize, '\0');
  GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(), buffer.data(),
                           static_cast<DWORD>(bufferSize), ProfilePath(path).c_str());
  buffer.back() = '\0';
  return std::string(buffer.data());
}

int ReadProfileInt(const std::string& section, const std::string& key, int def,
                   const std::string& path) {
  return static_cast<int>(
      GetPrivateProfileIntA(section.c_str(), key.c_str(), def, ProfilePath(path).c_str()));
}

bool WriteProfileText(const std::string& section, const std::string& key, const std::string& value,
                      const std::string& path) {
  if (!IsStorableProfileEntry(section, key, value)) return false;
  return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                    ProfilePath(path).c_str()) != FALSE;
}

}  // namespace cw::platform
