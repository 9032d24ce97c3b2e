#include "platform/files.h"

namespace cw::platform {

std::string NativePath(std::string_view path) {
  return std::string(path);
}

std::FILE* OpenFile(std::string_view path, const char* mode) {
  return std::fopen(NativePath(path).c_str(), mode);
}

}  // namespace cw::platform
