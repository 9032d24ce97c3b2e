#include "host/skse_host.h"

#include <cstdio>
#include <mutex>

namespace cw::sim {
namespace {

constexpr std::uint32_t kPluginHandle = 7;

std::vector<std::string>& Events() {
  static std::vector<std::string> events;
  return events;
}
std::vector<skse::RegistrationCallback>& Callbacks() {
  static std::vector<skse::RegistrationCallback> callbacks;
  return callbacks;
}

void Note(const char* format, unsigned value) {
  char line[64];
  std::snprintf(line, sizeof line, format, value);
  Events().push_back(line);
}

void SetUniqueID(std::uint32_t handle, std::uint32_t uid) {
  char line[64];
  std::snprintf(line, sizeof line, "claim 0x%08X for handle %u", uid, handle);
  Events().push_back(line);
}

bool Register(skse::RegistrationCallback callback) {
  Callbacks().push_back(callback);
  Note("register callback %u", static_cast<unsigned>(Callbacks().size()));
  return true;
}

const skse::SerializationInterface g_serialization{1, 0, &SetUniqueID};
const skse::PapyrusInterface g_papyrus{1, 0, &Register};

void* QueryInterface(std::uint32_t id) {
  Note("query interface %u", id);
  if (id == skse::kInterfaceSerialization)
    return const_cast<skse::SerializationInterface*>(&g_serialization);
  if (id == skse::kInterfacePapyrus) return const_cast<skse::PapyrusInterface*>(&g_papyrus);
  return nullptr;
}

std::uint32_t GetPluginHandle() {
  Events().push_back("get plugin handle");
  return kPluginHandle;
}

std::uint32_t GetReleaseIndex() {
  return 0;
}

const void* GetPluginInfo(const char*) {
  return nullptr;
}

}  // namespace

SkseHost::SkseHost(const SkseOptions& options) {
  interface_.skseVersion = options.extenderVersion;
  interface_.runtimeVersion = options.runtimeVersion;
  interface_.editorVersion = 0;
  interface_.isEditor = options.isEditor ? 1 : 0;
  interface_.QueryInterface = &QueryInterface;
  interface_.GetPluginHandle = &GetPluginHandle;
  interface_.GetReleaseIndex = &GetReleaseIndex;
  interface_.GetPluginInfo = &GetPluginInfo;
}

void SkseHost::RunCallbacks(TableObject* registry) {
  std::size_t index = 0;
  for (skse::RegistrationCallback callback : Callbacks()) {
    ++index;
    const bool ok = callback(registry);
    char line[64];
    std::snprintf(line, sizeof line, "callback %zu returned %s", index, ok ? "true" : "false");
    Events().push_back(line);
  }
}

const std::vector<std::string>& SkseHost::events() const {
  return Events();
}

std::uint32_t PackRuntimeVersion(int a, int b, int c, int d) {
  return (static_cast<std::uint32_t>(a & 0xFF) << 24) |
         (static_cast<std::uint32_t>(b & 0xFF) << 16) |
         (static_cast<std::uint32_t>(c & 0xFFF) << 4) | static_cast<std::uint32_t>(d & 0xF);
}

}  // namespace cw::sim
