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

// The record that the script extender of the 1.6 line reads from a plugin's export
// SKSEPlugin_Version before it loads the plugin (it never calls query there).
struct VersionRecord {
  std::uint32_t dataVersion;             // 0x000: must be 1
  std::uint32_t pluginVersion;           // 0x004
  char name[256];                        // 0x008
  char author[256];                      // 0x108
  char supportEmail[252];                // 0x208
  std::uint32_t structureFlags;          // 0x304: bit 0 no structures changed in 1.6.629
  std::uint32_t independenceFlags;       // 0x308: bit 0 address library, 1 signatures,
                                         //        2 built for the 1.6.629 structures
  std::uint32_t compatibleVersions[16];  // 0x30C: 0-terminated
  std::uint32_t minimumExtenderVersion;  // 0x34C: 0 any
};
static_assert(offsetof(VersionRecord, name) == 0x008);
static_assert(offsetof(VersionRecord, author) == 0x108);
static_assert(offsetof(VersionRecord, supportEmail) == 0x208);
static_assert(offsetof(VersionRecord, structureFlags) == 0x304);
static_assert(offsetof(VersionRecord, independenceFlags) == 0x308);
static_assert(offsetof(VersionRecord, compatibleVersions) == 0x30C);
static_assert(offsetof(VersionRecord, minimumExtenderVersion) == 0x34C);
static_assert(sizeof(VersionRecord) == 0x350);

inline constexpr std::uint32_t kNoChangedStructures = 1u << 0;    // structureFlags
inline constexpr std::uint32_t kUsesAddressLibrary = 1u << 0;     // independenceFlags
inline constexpr std::uint32_t kUsesSignatureScanning = 1u << 1;  // independenceFlags
inline constexpr std::uint32_t kBuiltForNewStructures = 1u << 2;  // independenceFlags

using QueryFn = bool (*)(const Interface*, PluginInfo*);
using LoadFn = bool (*)(const Interface*);

}  // namespace cw::sim::skse
