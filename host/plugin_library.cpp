#include "host/plugin_library.h"

#include <cstring>
#include <filesystem>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

#if !defined(_WIN32)
// The running game's version as the plugin reads it from this program.
extern "C" {
__attribute__((visibility("default"))) char cradlewright_host_product_version[64] = "";
__attribute__((visibility("default"))) char cradlewright_host_file_version[64] = "";
}
#endif

namespace cw::sim {

std::string ProgramFolder() {
#if defined(_WIN32)
  char buffer[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
  return std::filesystem::path(std::string(buffer, n)).parent_path().string();
#else
  std::error_code ec;
  return std::filesystem::read_symlink("/proc/self/exe", ec).parent_path().string();
#endif
}

std::string DefaultPluginPath() {
#if defined(_WIN32)
  return (std::filesystem::path(ProgramFolder()) / "Cradlewright.dll").string();
#else
  return (std::filesystem::path(ProgramFolder()) / "Cradlewright.so").string();
#endif
}

void SetRuntimeVersionTexts(const std::string& productVersion, const std::string& fileVersion) {
#if defined(_WIN32)
  (void)productVersion;
  (void)fileVersion;
#else
  std::strncpy(cradlewright_host_product_version, productVersion.c_str(), 63);
  std::strncpy(cradlewright_host_file_version, fileVersion.c_str(), 63);
#endif
}

bool LoadPlugin(const std::string& path, PluginLibrary* plugin, std::string* error) {
#if defined(_WIN32)
  HMODULE module = LoadLibraryA(path.c_str());
  if (!module) {
    *error = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  plugin->query = reinterpret_cast<skse::QueryFn>(
      reinterpret_cast<void*>(GetProcAddress(module, "SKSEPlugin_Query")));
  plugin->load = reinterpret_cast<skse::LoadFn>(
      reinterpret_cast<void*>(GetProcAddress(module, "SKSEPlugin_Load")));
  plugin->versionRecord = reinterpret_cast<const skse::VersionRecord*>(
      reinterpret_cast<void*>(GetProcAddress(module, "SKSEPlugin_Version")));
#else
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module) {
    const char* reason = dlerror();
    *error = "cannot load " + path + ": " + (reason ? reason : "unknown error");
    return false;
  }
  plugin->query = reinterpret_cast<skse::QueryFn>(dlsym(module, "SKSEPlugin_Query"));
  plugin->load = reinterpret_cast<skse::LoadFn>(dlsym(module, "SKSEPlugin_Load"));
  plugin->versionRecord =
      static_cast<const skse::VersionRecord*>(dlsym(module, "SKSEPlugin_Version"));
#endif
  if (!plugin->load) {
    *error = path + " does not export SKSEPlugin_Load";
    return false;
  }
  return true;
}

}  // namespace cw::sim
