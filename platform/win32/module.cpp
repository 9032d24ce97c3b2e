#include "platform/module.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace cw::platform {
namespace {

// The value of one entry of the US English / Unicode string block, or "" when
// the query fails or gives nothing.
std::string QueryText(const void* info, const char* name) {
  char* text = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(info, name, reinterpret_cast<void**>(&text), &length)) return {};
  if (length == 0 || text == nullptr || text[0] == '\0') return {};
  return std::string(text, strnlen(text, length));
}

}  // namespace

std::uintptr_t ExecutableBase() {
  return reinterpret_cast<std::uintptr_t>(GetModuleHandleA(nullptr));
}

bool ExecutableVersionTexts(std::string* product, std::string* file) {
  if (product) product->clear();
  if (file) file->clear();
  char path[MAX_PATH] = {};
  DWORD got = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (got == 0 || got >= MAX_PATH) return false;
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(path, &ignored);
  if (size == 0) return false;
  std::vector<char> info(size);
  if (!GetFileVersionInfoA(path, 0, size, info.data())) return false;
  if (product) *product = QueryText(info.data(), "\\StringFileInfo\\040904B0\\ProductVersion");
  if (file) *file = QueryText(info.data(), "\\StringFileInfo\\040904B0\\FileVersion");
  return true;
}

}  // namespace cw::platform
