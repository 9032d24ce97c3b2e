#pragma once
// The script extender's records as it lays them out: the plugin information that
// query fills in, the interface record handed to query and load, and the two
// interfaces the plugin asks for.
#include <cstddef>
#include <cstdint>

#include "host/engine/vm_records.h"

namespace cw::sim::skse {

struct PluginInfo {
  std::uint32_t infoVersion;  // 0x00
  std::uint32_t pad04;        // 0x04
  const char* name;           // 0x08
  std::uint32_t version;      // 0x10
  std::uint32_t pad14;        // 0x14
};
static_assert(offsetof(PluginInfo, name) == 0x08);
static_assert(offsetof(PluginInfo, version) == 0x10);
static_assert(sizeof(PluginInfo) == 0x18);

struct Interface {
  std::uint32_t skseVersion;                       // 0x00
  std::uint32_t runtimeVersion;                    // 0x04
  std::uint32_t editorVersion;                     // 0x08
  std::uint32_t isEditor;                          // 0x0C
  void* (*QueryInterface)(std::uint32_t id);       // 0x10
  std::uint32_t (*GetPluginHandle)();              // 0x18
  std::uint32_t (*GetReleaseIndex)();              // 0x20
  const void* (*GetPluginInfo)(const char* name);  // 0x28
};
static_assert(offsetof(Interface, runtimeVersion) == 0x04);
static_assert(offsetof(Interface, isEditor) == 0x0C);
static_assert(offsetof(Interface, QueryInterface) == 0x10);
static_assert(offsetof(Interface, GetPluginHandle) == 0x18);
static_assert(offsetof(Interface, GetReleaseIndex) == 0x20);
static_assert(offsetof(Interface, GetPluginInfo) == 0x28);
static_assert(sizeof(Interface) == 0x30);

inline constexpr std::uint32_t kInterfaceScaleform = 1, kInterfacePapyrus = 2,
                               kInterfaceSerialization = 3, kInterfaceTask = 4,
                               kInterfaceMessaging = 5, kInterfaceObject = 6,
                               kInterfaceTrampoline = 7;

// What the Papyrus interface calls once the virtual machine is ready.
using RegistrationCallback = bool (*)(TableObject* registry);

struct SerializationInterface {
  std::uint32_t version;                                               // 0x00
  std::uint32_t pad04;                                                 // 0x04
  void (*SetUniqueID)(std::uint32_t pluginHandle, std::uint32_t uid);  // 0x08
};
static_assert(offsetof(SerializationInterface, SetUniqueID) == 0x08);

struct PapyrusInterface {
  std::uint32_t version;                            // 0x00
  std::uint32_t pad04;                              // 0x04
  bool (*Register)(RegistrationCallback callback);  // 0x08
};
static_assert(offsetof(PapyrusInterface, Register) == 0x08);

using QueryFn = bool (*)(const Interface*, PluginInfo*);
using LoadFn = bool (*)(const Interface*);

}  // namespace cw::sim::skse
