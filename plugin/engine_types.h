#pragma once
// Engine types that natives take and give. Layouts follow the engine's; only the
// fields this plugin reads are named, the rest is the engine's.
#include <cstddef>
#include <cstdint>

namespace cw {

// Tag type of the first parameter of every static native; always null.
struct StaticFunctionTag;

namespace StringCache {
// Reference to an entry of the engine's shared string cache: one pointer to its text.
struct Ref {
  const char* data = nullptr;
  const char* c_str() const { return data ? data : ""; }
};
static_assert(sizeof(Ref) == 8);
}  // namespace StringCache

// A form of the engine's loaded data.
struct TESForm {
  void* vtbl;                // 0x00
  std::uint8_t unk08[0x0C];  // 0x08
  std::uint32_t formID;      // 0x14
  std::uint8_t unk18[2];     // 0x18
  std::uint8_t formType;     // 0x1A
  std::uint8_t unk1B[5];     // 0x1B
};
static_assert(offsetof(TESForm, formID) == 0x14);
static_assert(offsetof(TESForm, formType) == 0x1A);
static_assert(sizeof(TESForm) == 0x20);

// A quest is a form of type 77.
struct TESQuest : TESForm {};
inline constexpr std::uint8_t kFormTypeQuest = 77;

// A mod file (plugin file) the engine found.
struct TESFile {
  std::uint8_t unk000[0x58];   // 0x000
  char fileName[0x104];        // 0x058, NUL-terminated
  std::uint8_t unk15C[0x31C];  // 0x15C
  std::uint8_t compileIndex;   // 0x478: load-order index; 0xFE light, 0xFF not loaded
  std::uint8_t unk479;         // 0x479
  std::uint16_t lightIndex;    // 0x47A: index among the loaded light plugins
};
static_assert(offsetof(TESFile, fileName) == 0x58);
static_assert(offsetof(TESFile, compileIndex) == 0x478);
static_assert(offsetof(TESFile, lightIndex) == 0x47A);
static_assert(sizeof(TESFile) == 0x47C);

inline constexpr std::uint8_t kLightCompileIndex = 0xFE;
inline constexpr std::uint8_t kNotLoadedCompileIndex = 0xFF;

// Node of the engine's list of mod files.
struct TESFileNode {
  TESFile* entry;     // 0x00
  TESFileNode* next;  // 0x08
};
static_assert(sizeof(TESFileNode) == 0x10);

// Array of pointers with a 32-bit count, as the engine keeps its lists.
template <class T>
struct EngineArray {
  T** data;                // 0x00
  std::uint32_t capacity;  // 0x08
  std::uint32_t pad0C;     // 0x0C
  std::uint32_t count;     // 0x10
  std::uint32_t pad14;     // 0x14
};
static_assert(sizeof(EngineArray<TESFile>) == 0x18);

// The engine's singleton of loaded data.
struct DataHandler {
  std::uint8_t unk000[0x748];            // 0x000
  EngineArray<TESQuest> quests;          // 0x748, count at 0x758
  std::uint8_t unk760[0xD60 - 0x760];    // 0x760
  TESFileNode files;                     // 0xD60: every file found, loaded or not (head node)
  EngineArray<TESFile> loadedMods;       // 0xD70, count at 0xD80: entry i has index i
  EngineArray<TESFile> loadedLightMods;  // 0xD88, count at 0xD98: entry j has light index j
};
static_assert(offsetof(DataHandler, quests) == 0x748);
static_assert(offsetof(DataHandler, quests) + offsetof(EngineArray<TESQuest>, count) == 0x758);
static_assert(offsetof(DataHandler, files) == 0xD60);
static_assert(offsetof(DataHandler, loadedMods) == 0xD70);
static_assert(offsetof(DataHandler, loadedMods) + offsetof(EngineArray<TESFile>, count) == 0xD80);
static_assert(offsetof(DataHandler, loadedLightMods) == 0xD88);
static_assert(offsetof(DataHandler, loadedLightMods) + offsetof(EngineArray<TESFile>, count) ==
              0xD98);
static_assert(sizeof(DataHandler) == 0xDA0);

}  // namespace cw
