#pragma once
// The engine's loaded data as it lays it out: forms, plugin files and the data
// handler with its per-type form arrays, its list of every plugin file found and
// its arrays of loaded regular and light plugins.
#include <cstddef>
#include <cstdint>

namespace cw::sim {

inline constexpr std::uint8_t kQuestFormType = 77;

struct Form {
  const void* table;       // 0x00
  std::uint8_t unk08[12];  // 0x08
  std::uint32_t formID;    // 0x14
  std::uint8_t unk18[2];   // 0x18
  std::uint8_t formType;   // 0x1A
  std::uint8_t unk1B[5];   // 0x1B
};
static_assert(offsetof(Form, formID) == 0x14);
static_assert(offsetof(Form, formType) == 0x1A);
static_assert(sizeof(Form) == 0x20);

// Compile index of a plugin that is not loaded, and of every light plugin.
inline constexpr std::uint8_t kNotLoadedIndex = 0xFF;
inline constexpr std::uint8_t kLightCompileIndex = 0xFE;

struct PluginFile {
  std::uint8_t unk000[0x58];   // 0x000
  char name[260];              // 0x058, NUL-terminated
  std::uint8_t unk15C[0x31C];  // 0x15C
  std::uint8_t compileIndex;   // 0x478: load-order index, 0xFE light, 0xFF not loaded
  std::uint8_t unk479;         // 0x479
  std::uint16_t lightIndex;    // 0x47A
  std::uint8_t unk47C[4];      // 0x47C
};
static_assert(offsetof(PluginFile, name) == 0x58);
static_assert(offsetof(PluginFile, compileIndex) == 0x478);
static_assert(offsetof(PluginFile, lightIndex) == 0x47A);
static_assert(sizeof(PluginFile) == 0x480);

struct PluginNode {
  PluginFile* file;  // 0x00
  PluginNode* next;  // 0x08
};
static_assert(sizeof(PluginNode) == 0x10);

// The engine's array of pointers with a 32-bit count.
template <class T>
struct PointerArray {
  T** data;                // 0x00
  std::uint32_t capacity;  // 0x08
  std::uint32_t pad0C;     // 0x0C
  std::uint32_t count;     // 0x10
  std::uint32_t pad14;     // 0x14
};
static_assert(sizeof(PointerArray<Form>) == 0x18);

inline constexpr std::size_t kFormArrays = (0xD60 - 0x10) / 0x18;

struct DataHandler {
  std::uint8_t unk000[0x10];                    // 0x000
  PointerArray<Form> formsOfType[kFormArrays];  // 0x010 + type * 0x18
  PluginNode files;                             // 0xD60: every plugin found (head node)
  PointerArray<PluginFile> loadedRegular;       // 0xD70, count at 0xD80
  PointerArray<PluginFile> loadedLight;         // 0xD88, count at 0xD98
};
static_assert(offsetof(DataHandler, formsOfType) + kQuestFormType * 0x18 == 0x748);
static_assert(offsetof(DataHandler, files) == 0xD60);
static_assert(offsetof(DataHandler, loadedRegular) == 0xD70);
static_assert(offsetof(DataHandler, loadedRegular) + offsetof(PointerArray<PluginFile>, count) ==
              0xD80);
static_assert(offsetof(DataHandler, loadedLight) == 0xD88);
static_assert(offsetof(DataHandler, loadedLight) + offsetof(PointerArray<PluginFile>, count) ==
              0xD98);
static_assert(sizeof(DataHandler) == 0xDA0);

}  // namespace cw::sim
