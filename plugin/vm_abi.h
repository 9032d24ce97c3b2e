#pragma once
// The script virtual machine's objects as the engine lays them out (MSVC x64 object
// model). Everything the engine reads, calls or destroys is spelled out here: plain
// structs with fixed offsets and explicit tables of function pointers, never a
// compiler-generated vtable.
#include <cstddef>
#include <cstdint>

#include "plugin/engine_types.h"

namespace cw::vm {

// Type words of VM values and of parameter/result declarations.
enum TypeWord : std::uint64_t {
  kNone = 0,
  kObject = 1,
  kString = 2,
  kInt = 3,
  kFloat = 4,
  kBool = 5,
  kObjectArray = 11,
  kStringArray = 12,
  kIntArray = 13,
  kFloatArray = 14,
  kBoolArray = 15,
};

// Kind of a type word: values of 16 or more are class descriptions (objects), with
// the lowest bit marking an array of such objects.
constexpr std::uint64_t KindOf(std::uint64_t type) {
  if (type >= 16) return (type & 1) ? kObjectArray : kObject;
  return type;
}

struct VMValue {
  std::uint64_t type;  // 0x00
  std::uint64_t data;  // 0x08
};
static_assert(sizeof(VMValue) == 16);

// A script object (the record an Object value's data word points to; engine-owned).
// The plugin touches only the handle and the reference-count word.
struct BoundObject {
  std::uint32_t flags;    // 0x00: constructed, initialized, valid, properties left
  std::uint32_t pad04;    // 0x04
  void* classInfo;        // 0x08: the object's class description (counted)
  void* stateName;        // 0x10: current state name (engine string)
  void* lockStructure;    // 0x18
  std::uint64_t handle;   // 0x20
  std::int32_t lockWord;  // 0x28: reference count in the low 31 bits, top bit = held
  std::uint32_t pad2C;    // 0x2C
  // 0x30: the object's variables
};
static_assert(offsetof(BoundObject, classInfo) == 0x08);
static_assert(offsetof(BoundObject, handle) == 0x20);
static_assert(offsetof(BoundObject, lockWord) == 0x28);
static_assert(sizeof(BoundObject) == 0x30);

// Counted class description (engine-owned).
struct ClassInfo {
  std::int32_t refCount;  // 0x00
  std::uint32_t pad04;    // 0x04
  StringCache::Ref name;  // 0x08
};
static_assert(offsetof(ClassInfo, refCount) == 0x00);
static_assert(offsetof(ClassInfo, name) == 0x08);
static_assert(sizeof(ClassInfo) == 0x10);

// What Dispatch receives for the running call (engine-owned).
struct CallFrame {
  void* stack;  // 0x00: the stack that the frame belongs to
};
static_assert(sizeof(CallFrame) == 8);

struct NativeFunctionObject;
struct Registry {
  void** vtbl;  // 0x00
};
struct HandlePolicy {
  void** vtbl;  // 0x00
};
struct BindPolicy {
  void** vtbl;  // 0x00
};

// Slots of the class registry's table.
namespace registry_slot {
inline constexpr int kClassForFormType = 10;  // bool (Registry*, uint32 formType, ClassInfo** out)
inline constexpr int kTypeIdOf = 13;          // bool (Registry*, const Ref* className, uint32* out)
inline constexpr int kCreateObject =
    21;  // bool (Registry*, const Ref* className, BoundObject** out)
inline constexpr int kRegisterNative = 24;  // bool (Registry*, NativeFunctionObject*)
inline constexpr int kSetFunctionFlags =
    26;  // void (Registry*, const char* cls, const char* fn, bool callableFromTasklets)
inline constexpr int kBoundObject =
    28;  // bool (Registry*, uint64 handle, const char* cls, BoundObject**): one reference out
inline constexpr int kHandlePolicy = 45;  // HandlePolicy* (Registry*)
inline constexpr int kBindPolicy = 47;    // BindPolicy* (Registry*)
inline constexpr int kCount = 48;
}  // namespace registry_slot

// Slots of the object-handle policy's table.
namespace policy_slot {
inline constexpr int kIsType = 1;    // bool (HandlePolicy*, uint32 formType, uint64 handle)
inline constexpr int kIsValid = 2;   // bool (HandlePolicy*, uint64 handle)
inline constexpr int kInvalid = 3;   // uint64 (HandlePolicy*)
inline constexpr int kMake = 4;      // uint64 (HandlePolicy*, uint32 formType, const void* form)
inline constexpr int kResolve = 8;   // void* (HandlePolicy*, uint32 formType, uint64 handle)
inline constexpr int kKeep = 9;      // void (HandlePolicy*, uint64 handle)
inline constexpr int kRelease = 10;  // void (HandlePolicy*, uint64 handle)
inline constexpr int kCount = 11;
}  // namespace policy_slot

using RegistryClassForFormType = bool (*)(Registry*, std::uint32_t, ClassInfo**);
using RegistryTypeIdOf = bool (*)(Registry*, const StringCache::Ref*, std::uint32_t*);
using RegistryCreateObject = bool (*)(Registry*, const StringCache::Ref*, BoundObject**);
using RegistryBoundObject = bool (*)(Registry*, std::uint64_t, const char*, BoundObject**);
using RegistryRegisterNative = bool (*)(Registry*, NativeFunctionObject*);
using RegistrySetFunctionFlags = void (*)(Registry*, const char*, const char*, bool);
using RegistryHandlePolicy = HandlePolicy* (*)(Registry*);
using RegistryBindPolicy = BindPolicy* (*)(Registry*);
using PolicyIsType = bool (*)(HandlePolicy*, std::uint32_t, std::uint64_t);
using PolicyIsValid = bool (*)(HandlePolicy*, std::uint64_t);
using PolicyInvalid = std::uint64_t (*)(HandlePolicy*);
using PolicyMake = std::uint64_t (*)(HandlePolicy*, std::uint32_t, const void*);
using PolicyResolve = void* (*)(HandlePolicy*, std::uint32_t, std::uint64_t);
using PolicyKeep = void (*)(HandlePolicy*, std::uint64_t);
using PolicyRelease = void (*)(HandlePolicy*, std::uint64_t);

// Calls slot N of an engine object's table.
template <class Fn, class Obj>
Fn Slot(Obj* object, int slot) {
  return reinterpret_cast<Fn>(object->vtbl[slot]);
}

// ---------------------------------------------------------------------------
// Native function object: 96 bytes, read and destroyed by the engine.

// One entry of the parameter table that the engine's base constructor creates.
struct ParamEntry {
  StringCache::Ref name;  // 0x00
  std::uint64_t type;     // 0x08
};
static_assert(sizeof(ParamEntry) == 16);

struct NativeFunctionObject {
  void* const* ops;              // 0x00: the 23 operations
  std::uint64_t hostWord08;      // 0x08: the engine's reference count
  StringCache::Ref name;         // 0x10
  StringCache::Ref className;    // 0x18
  StringCache::Ref stateName;    // 0x20
  std::uint64_t returnType;      // 0x28
  ParamEntry* params;            // 0x30
  std::uint16_t paramCount;      // 0x38: parameters (slot 6 checks its index against it)
  std::uint16_t totalEntries;    // 0x3A: parameters and locals (natives have no locals)
  std::uint32_t hostWord3C;      // 0x3C
  std::uint8_t isStatic;         // 0x40
  std::uint8_t noWait;           // 0x41
  std::uint8_t hostBytes42[2];   // 0x42
  std::uint32_t userFlags;       // 0x44
  StringCache::Ref docString;    // 0x48
  void* callback;                // 0x50: the plain native function
  std::uint8_t passesVMContext;  // 0x58
  std::uint8_t pad59[7];         // 0x59
};
static_assert(offsetof(NativeFunctionObject, ops) == 0x00);
static_assert(offsetof(NativeFunctionObject, hostWord08) == 0x08);
static_assert(offsetof(NativeFunctionObject, name) == 0x10);
static_assert(offsetof(NativeFunctionObject, className) == 0x18);
static_assert(offsetof(NativeFunctionObject, stateName) == 0x20);
static_assert(offsetof(NativeFunctionObject, returnType) == 0x28);
static_assert(offsetof(NativeFunctionObject, params) == 0x30);
static_assert(offsetof(NativeFunctionObject, paramCount) == 0x38);
static_assert(offsetof(NativeFunctionObject, totalEntries) == 0x3A);
static_assert(offsetof(NativeFunctionObject, hostWord3C) == 0x3C);
static_assert(offsetof(NativeFunctionObject, isStatic) == 0x40);
static_assert(offsetof(NativeFunctionObject, noWait) == 0x41);
static_assert(offsetof(NativeFunctionObject, userFlags) == 0x44);
static_assert(offsetof(NativeFunctionObject, docString) == 0x48);
static_assert(offsetof(NativeFunctionObject, callback) == 0x50);
static_assert(offsetof(NativeFunctionObject, passesVMContext) == 0x58);
static_assert(sizeof(NativeFunctionObject) == 96);

// The operations, slot by slot. Slot 0 is the scalar deleting destructor.
namespace op {
inline constexpr int kDestroy = 0, kName = 1, kClassName = 2, kStateName = 3, kReturnType = 4,
                     kParamCount = 5, kParamAt = 6, kFrameSize = 7, kIsNative = 8, kIsStatic = 9,
                     kIsEmpty = 10, kKind = 11, kUserFlags = 12, kDocString = 13, kAddLocals = 14,
                     kInvoke = 15, kSourceFile = 16, kLineOfIP = 17, kLocalNameAt = 18,
                     kNoWait = 19, kSetNoWait = 20, kHasCallback = 21, kDispatch = 22, kCount = 23;
}
using OpDestroy = void* (*)(NativeFunctionObject*, std::uint32_t flags);
using OpStringField = const StringCache::Ref* (*)(NativeFunctionObject*);
using OpReturnType = std::uint64_t* (*)(NativeFunctionObject*, std::uint64_t* out);
using OpCount = std::uint32_t (*)(NativeFunctionObject*);
// Returns nothing: an index out of range leaves the outputs as they were.
using OpParamAt = void (*)(NativeFunctionObject*, std::uint32_t index, StringCache::Ref* outName,
                           std::uint64_t* outType);
using OpFlag = bool (*)(NativeFunctionObject*);
using OpAddLocals = void (*)(NativeFunctionObject*, void* frame);
using OpInvoke = std::uint32_t (*)(NativeFunctionObject*, void*, void*, void*, void*);
using OpSourceFile = const StringCache::Ref* (*)(NativeFunctionObject*);
using OpLineOfIP = bool (*)(NativeFunctionObject*, std::uint32_t ip, std::uint32_t* outLine);
using OpLocalNameAt = bool (*)(NativeFunctionObject*, std::uint32_t index, StringCache::Ref* out);
using OpSetNoWait = void (*)(NativeFunctionObject*, std::uint8_t);
using OpDispatch = bool (*)(NativeFunctionObject*, VMValue* base, Registry* registry,
                            std::uint32_t stackId, VMValue* result, CallFrame* frame);

}  // namespace cw::vm
