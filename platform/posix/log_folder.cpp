#include "platform/log_folder.h"

#include <sys/stat.h>

namespace cw::platform {

bool HasLogFolder() {
  return false;
}
std::string DocumentsFolder() {
  return {};
}

bool GameFolderHas(const char* fileName) {
  struct stat st;
  return ::stat(fileName, &st) == 0 && S_ISREG(st.st_mode);
}

bool IsDirectory(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace cw::platform
