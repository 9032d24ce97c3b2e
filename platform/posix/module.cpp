#include "platform/module.h"

#include <dlfcn.h>
#include <link.h>

#include <cstring>
#include <utility>

namespace cw::platform {
namespace {

constexpr std::size_t kVersionTextSize = 64;

// The lowest address of the main program's loaded segments: its ELF header,
// which is where a Windows image base points too.
int FirstObjectBase(dl_phdr_info* info, std::size_t, void* data) {
  ElfW(Addr) lowest = 0;
  bool found = false;
  for (ElfW(Half) i = 0; i < info->dlpi_phnum; ++i) {
    const ElfW(Phdr)& header = info->dlpi_phdr[i];
    if (header.p_type != PT_LOAD) continue;
    if (!found || header.p_vaddr < lowest) lowest = header.p_vaddr;
    found = true;
  }
  *static_cast<std::uintptr_t*>(data) =
      found ? static_cast<std::uintptr_t>(info->dlpi_addr + lowest) : 0;
  return 1;  // the first object is the main program: stop here
}

std::string ReadText(void* program, const char* symbol, bool* present) {
  const char* text = static_cast<const char*>(dlsym(program, symbol));
  if (text == nullptr) return {};
  *present = true;
  return std::string(text, strnlen(text, kVersionTextSize));
}

}  // namespace

std::uintptr_t ExecutableBase() {
  std::uintptr_t base = 0;
  dl_iterate_phdr(FirstObjectBase, &base);
  return base;
}

// The host simulator defines two texts of 64 bytes in its own program and fills
// them before it loads the plugin; they stand in for the version resource that a
// Windows program carries. A program without them states no version.
bool ExecutableVersionTexts(std::string* product, std::string* file) {
  if (product) product->clear();
  if (file) file->clear();
  void* program = dlopen(nullptr, RTLD_LAZY);
  if (program == nullptr) return false;
  bool present = false;
  std::string productText = ReadText(program, "cradlewright_host_product_version", &present);
  std::string fileText = ReadText(program, "cradlewright_host_file_version", &present);
  dlclose(program);
  if (!present) return false;
  if (product) *product = std::move(productText);
  if (file) *file = std::move(fileText);
  return true;
}

}  // namespace cw::platform
