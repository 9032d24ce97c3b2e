#pragma once
// The script virtual machine's records as the engine lays them out (x64, Microsoft
// object model): values, script objects, class descriptions, native function
// objects and the slots of the registry's and policies' function tables. The
// simulator builds its engine from these; each offset is the engine's own.
#include <cstddef>
#include <cstdint>

namespace cw::sim {

// An entry of the engine's string cache: one pointer to its NUL-terminated text.
struct EngineString {
  const char* text = nullptr;
  const char* c_str() const { return text ? text : ""; }
};
static_assert(sizeof(EngineString) == 8);

// Type words of values and of parameter and result declarations. 16 or more is a
// class description pointer; bit 0 set marks an array of that class.
namespace type_word {
inline constexpr std::uint64_t kNone = 0, kObject = 1, kString = 2, kInt = 3, kFloat = 4, kBool = 5,
                               kObjectArray = 11, kStringArray = 12, kIntArray = 13,
                               kFloatArray = 14, kBoolArray = 15;
constexpr bool IsClass(std::uint64_t word) {
  return word >= 16 && (word & 1) == 0;
}
constexpr bool IsObject(std::uint64_t word) {
  return word == kObject || IsClass(word);
}
}  // namespace type_word

struct Value {
  std::uint64_t type;  // 0x00
  std::uint64_t data;  // 0x08
};
static_assert(sizeof(Value) == 0x10);

// Counted class description.
struct ClassDescription {
  std::int32_t referenceCount;  // 0x00
  std::uint32_t pad04;          // 0x04
  EngineString name;            // 0x08
};
static_assert(offsetof(ClassDescription, name) == 0x08);
static_assert(sizeof(ClassDescription) == 0x10);

// Flag bits at 0x00 of a script object.
namespace object_flag {
inline constexpr std::uint32_t kConstructed = 1u << 0, kInitialized = 1u << 1, kValid = 1u << 2;
}

// A script object: what an Object value's data word points to.
struct ScriptObject {
  std::uint32_t flags;                 // 0x00
  std::uint32_t pad04;                 // 0x04
  ClassDescription* classDescription;  // 0x08 (counted)
  EngineString stateName;              // 0x10
  void* lockStructure;                 // 0x18
  std::uint64_t handle;                // 0x20
  std::int32_t referenceCount;         // 0x28: count in the low 31 bits, top bit while held
  std::uint32_t pad2C;                 // 0x2C
  // 0x30: the object's variables, 16 bytes each
};
static_assert(offsetof(ScriptObject, classDescription) == 0x08);
static_assert(offsetof(ScriptObject, handle) == 0x20);
static_assert(offsetof(ScriptObject, referenceCount) == 0x28);
static_assert(sizeof(ScriptObject) == 0x30);

// The call frame handed to a native's dispatch: its stack first.
struct CallFrameHead {
  void* stack;  // 0x00
};
static_assert(sizeof(CallFrameHead) == 8);

// One parameter of a function: its name and type word.
struct ParameterEntry {
  EngineString name;   // 0x00
  std::uint64_t type;  // 0x08
};
static_assert(sizeof(ParameterEntry) == 0x10);

// The engine's part of a native function object; the plugin's own fields follow it.
struct NativeFunctionHead {
  void* const* table;            // 0x00: the 23 operations
  std::int32_t referenceCount;   // 0x08
  std::uint32_t pad0C;           // 0x0C
  EngineString name;             // 0x10
  EngineString className;        // 0x18
  EngineString stateName;        // 0x20
  std::uint64_t returnType;      // 0x28
  ParameterEntry* parameters;    // 0x30
  std::uint16_t parameterCount;  // 0x38: slot 6 checks its index against it
  std::uint16_t totalEntries;    // 0x3A: parameters and locals; slots 5 and 7 answer it
  std::uint32_t pad3C;           // 0x3C
  std::uint8_t isStatic;         // 0x40
  std::uint8_t noWait;           // 0x41
  std::uint8_t pad42[2];         // 0x42
  std::uint32_t userFlags;       // 0x44
  EngineString docString;        // 0x48
};
static_assert(offsetof(NativeFunctionHead, referenceCount) == 0x08);
static_assert(offsetof(NativeFunctionHead, parameters) == 0x30);
static_assert(offsetof(NativeFunctionHead, parameterCount) == 0x38);
static_assert(offsetof(NativeFunctionHead, totalEntries) == 0x3A);
static_assert(offsetof(NativeFunctionHead, isStatic) == 0x40);
static_assert(offsetof(NativeFunctionHead, noWait) == 0x41);
static_assert(offsetof(NativeFunctionHead, userFlags) == 0x44);
static_assert(offsetof(NativeFunctionHead, docString) == 0x48);
static_assert(sizeof(NativeFunctionHead) == 0x50);

// Operations of a function object's table, by slot.
namespace function_slot {
inline constexpr int kDeletingDestructor = 0, kName = 1, kClassName = 2, kStateName = 3,
                     kReturnType = 4, kParameterCount = 5, kParameterAt = 6, kStackFrameSize = 7,
                     kIsNative = 8, kIsStatic = 9, kIsEmpty = 10, kFunctionKind = 11,
                     kUserFlags = 12, kDocString = 13, kInsertLocals = 14, kInvoke = 15,
                     kSourceFile = 16, kLineOfInstruction = 17, kLocalNameAt = 18,
                     kCallableFromTasklets = 19, kSetCallableFromTasklets = 20, kHasStub = 21,
                     kMarshalAndDispatch = 22, kCount = 23;
}
using FnDeletingDestructor = void* (*)(NativeFunctionHead*, std::uint32_t flags);
using FnStringField = const EngineString* (*)(NativeFunctionHead*);
using FnReturnType = std::uint64_t* (*)(NativeFunctionHead*, std::uint64_t* out);
using FnCount = std::uint32_t (*)(NativeFunctionHead*);
// Returns nothing; an index out of range leaves the outputs as they were.
using FnParameterAt = void (*)(NativeFunctionHead*, std::uint32_t, EngineString*, std::uint64_t*);
using FnFlag = bool (*)(NativeFunctionHead*);
using FnMarshalAndDispatch = bool (*)(NativeFunctionHead*, Value* base, void* registry,
                                      std::uint32_t stackId, Value* result, CallFrameHead* frame);

// The type record that the engine's object model puts in the slot before a class's
// function table (table[-1]); crash loggers read it to name an object. Only its
// address matters here: the simulator's record holds a recognisable text.
struct TypeRecord {
  char text[40];
};

// Slots of the class registry's table.
namespace registry_slot {
inline constexpr int kClassForTypeId = 10, kTypeIdForName = 13, kCreateObject = 21,
                     kRegisterFunction = 24, kSetCallableFromTasklets = 26, kFindBoundObject = 28,
                     kHandlePolicy = 45, kBindPolicy = 47, kCount = 48;
}

// Slots of the object-handle policy's table.
namespace handle_slot {
inline constexpr int kHandleIsType = 1, kHandleAvailable = 2, kEmptyHandle = 3,
                     kHandleForObject = 4, kObjectForHandle = 8, kPersistHandle = 9,
                     kReleaseHandle = 10, kCount = 11;
}

// An engine object reached through its function table.
struct TableObject {
  void* const* table;  // 0x00
};

}  // namespace cw::sim
