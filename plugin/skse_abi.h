#pragma once
// Records exchanged with the script extender during query and load.
#include <cstddef>
#include <cstdint>

#include "plugin/vm_abi.h"

namespace cw::skse {

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

// The record that the AE script extender (game 1.6.317 and later) reads from a
// plugin's exported data symbol SKSEPlugin_Version instead of calling Query.
struct PluginVersionData {
  std::uint32_t dataVersion;             // 0x000: must be 1
  std::uint32_t pluginVersion;           // 0x004: PackPluginVersion
  char name[256];                        // 0x008
  char author[256];                      // 0x108
  char supportEmail[252];                // 0x208
  std::uint32_t layoutIndependence;      // 0x304: kNoLayoutChanged1_6_629
  std::uint32_t addressIndependence;     // 0x308: kUsesAddressLibrary, ...
  std::uint32_t compatibleVersions[16];  // 0x30C: packed runtimes, 0-terminated
  std::uint32_t minimumExtenderVersion;  // 0x34C: 0 = any
};
static_assert(offsetof(PluginVersionData, pluginVersion) == 0x004);
static_assert(offsetof(PluginVersionData, name) == 0x008);
static_assert(offsetof(PluginVersionData, author) == 0x108);
static_assert(offsetof(PluginVersionData, supportEmail) == 0x208);
static_assert(offsetof(PluginVersionData, layoutIndependence) == 0x304);
static_assert(offsetof(PluginVersionData, addressIndependence) == 0x308);
static_assert(offsetof(PluginVersionData, compatibleVersions) == 0x30C);
static_assert(offsetof(PluginVersionData, minimumExtenderVersion) == 0x34C);
static_assert(sizeof(PluginVersionData) == 0x350);

inline constexpr std::uint32_t kPluginVersionDataVersion = 1;
// layoutIndependence bit 0: uses no game structure whose layout changed in 1.6.629.
inline constexpr std::uint32_t kNoLayoutChanged1_6_629 = 1u << 0;
// addressIndependence bits.
inline constexpr std::uint32_t kUsesAddressLibrary = 1u << 0;
inline constexpr std::uint32_t kUsesSignatureScanning = 1u << 1;
inline constexpr std::uint32_t kBuiltForLayout1_6_629 = 1u << 2;

// major<<24, minor<<16, (patch & 0xFFF)<<4, build & 0xF.
constexpr std::uint32_t PackPluginVersion(std::uint32_t major, std::uint32_t minor,
                                          std::uint32_t patch, std::uint32_t build) {
  return ((major & 0xFF) << 24) | ((minor & 0xFF) << 16) | ((patch & 0xFFF) << 4) | (build & 0xF);
}

struct Interface {
  std::uint32_t skseVersion;                  // 0x00
  std::uint32_t runtimeVersion;               // 0x04
  std::uint32_t editorVersion;                // 0x08
  std::uint32_t isEditor;                     // 0x0C
  void* (*QueryInterface)(std::uint32_t id);  // 0x10
  std::uint32_t (*GetPluginHandle)();         // 0x18
  std::uint32_t (*GetReleaseIndex)();         // 0x20 (host's)
};
static_assert(offsetof(Interface, runtimeVersion) == 0x04);
static_assert(offsetof(Interface, isEditor) == 0x0C);
static_assert(offsetof(Interface, QueryInterface) == 0x10);
static_assert(offsetof(Interface, GetPluginHandle) == 0x18);
static_assert(sizeof(Interface) == 0x28);

inline constexpr std::uint32_t kInterfacePapyrus = 2;
inline constexpr std::uint32_t kInterfaceSerialization = 3;

using RegistrationCallback = bool (*)(vm::Registry* registry);

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

// The plugin's entry points, as the host resolves them by name.
using QueryFn = bool (*)(const Interface*, PluginInfo*);
using LoadFn = bool (*)(const Interface*);

}  // namespace cw::skse
