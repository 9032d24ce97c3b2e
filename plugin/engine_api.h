#pragma once
// The engine operations and objects that the plugin uses, each declared once with
// its address identifier and its type. Calls go through the resolved address;
// the host simulator provides its own engine under the same identifiers.
#include <cstddef>
#include <cstdint>

#include "address/address_table.h"
#include "plugin/engine_types.h"
#include "plugin/vm_abi.h"

namespace cw::engine {

// Declarations: the engine's functions and objects as the plugin calls and reads them.
namespace decl {
struct Heap;
void* HeapAllocate(Heap* heap, std::size_t size, std::uint32_t alignment, bool aligned);
void HeapFree(Heap* heap, void* block, bool aligned);
StringCache::Ref* CreateString(StringCache::Ref* slot, const char* text);
StringCache::Ref* SetString(StringCache::Ref* slot, const char* text);
void CleanValue(vm::VMValue* value);
vm::VMValue* CopyValue(vm::VMValue* destination, const vm::VMValue* source);
std::uint32_t ArgBaseOffset(void* stack, vm::CallFrame* frame);
vm::VMValue* ArgAt(void* stack, vm::CallFrame* frame, std::uint32_t index, std::uint32_t offset);
vm::NativeFunctionObject* NativeBaseConstruct(vm::NativeFunctionObject* object, const char* name,
                                              const char* className, bool isStatic,
                                              std::uint32_t paramCount);
void NativeBaseDestroy(vm::NativeFunctionObject* object);
void NativeParamAt(vm::NativeFunctionObject* object, std::uint32_t index, StringCache::Ref* outName,
                   std::uint64_t* outType);
std::uint32_t NativeInvoke(vm::NativeFunctionObject* object, void* a, void* b, void* c, void* d);
const StringCache::Ref* NativeSourceFile(vm::NativeFunctionObject* object);
bool NativeLocalNameAt(vm::NativeFunctionObject* object, std::uint32_t index,
                       StringCache::Ref* out);
void BindObject(vm::BindPolicy* policy, vm::BoundObject** object, std::uint64_t handle);
void DestroyBoundObject(vm::BoundObject* object);
void DestroyClassInfo(vm::ClassInfo* info);
TESForm* LookupFormByID(std::uint32_t formID);
}  // namespace decl

// Index of each declaration in the address table.
enum Id : std::size_t {
  kHeap,
  kHeapAllocate,
  kHeapFree,
  kCreateString,
  kSetString,
  kCleanValue,
  kCopyValue,
  kArgBaseOffset,
  kArgAt,
  kNativeBaseConstruct,
  kNativeBaseDestroy,
  kNativeParamAt,
  kNativeInvoke,
  kNativeSourceFile,
  kNativeLocalNameAt,
  kBindObject,
  kDestroyBoundObject,
  kDestroyClassInfo,
  kHandlePolicy,
  kDataHandler,
  kLookupFormByID,
  kIdCount
};

// Each declaration carries its identifier in both numberings: SE (game 1.5.x,
// databases of format 1) and AE (1.6 and later, format 2). Start-up resolves the
// numbering of the database it loaded.
using address::Form;
inline constexpr address::Declaration kDeclarations[kIdCount] = {
    {514110, 400188, Form::kAbsolute},  // the engine heap object
    {66859, 68115, Form::kRelative},    // allocate from the engine heap
    {66861, 68117, Form::kRelative},    // free to the engine heap
    {67819, 69161, Form::kRelative},    // create an engine string from a text
    {67823, 69165, Form::kRelative},    // set an engine string from a text
    {97508, 104296, Form::kRelative},   // clean up a VM value
    {97509, 104297, Form::kRelative},   // copy a VM value
    {97745, 104483, Form::kRelative},   // argument base offset of a call frame
    {97746, 104484, Form::kRelative},   // argument value at an index
    {97925, 104653, Form::kRelative},   // native function base constructor
    {97927, 104655, Form::kRelative},   // native function base destructor
    {97909, 104637, Form::kRelative},   // native function ParamAt
    {97923, 104651, Form::kRelative},   // native function Invoke
    {97918, 104646, Form::kRelative},   // native function SourceFile
    {97920, 104648, Form::kRelative},   // native function LocalNameAt
    {97379, 104184, Form::kRelative},   // bind a script object to a handle
    {97462, 104246, Form::kRelative},   // destroy a bound-object record
    {97514, 104299, Form::kRelative},   // destroy a class description
    {527437, 414391, Form::kAbsolute},  // global holding the object-handle policy
    {514141, 400269, Form::kAbsolute},  // global holding the data handler
    {14461, 14617, Form::kAbsolute},    // look up a form by form ID
};

// A callable engine function at a resolved address.
template <Id I, class F>
struct Function;
template <Id I, class R, class... A>
struct Function<I, R(A...)> {
  R operator()(A... args) const {
    return reinterpret_cast<R (*)(A...)>(address::Table().AddressOf(I))(args...);
  }
};

// An engine object at a resolved address.
template <Id I, class T>
struct Object {
  T* get() const { return reinterpret_cast<T*>(address::Table().AddressOf(I)); }
};

inline constexpr Object<kHeap, decl::Heap> Heap{};
inline constexpr Function<kHeapAllocate, decltype(decl::HeapAllocate)> HeapAllocate{};
inline constexpr Function<kHeapFree, decltype(decl::HeapFree)> HeapFree{};
inline constexpr Function<kCreateString, decltype(decl::CreateString)> CreateString{};
inline constexpr Function<kSetString, decltype(decl::SetString)> SetString{};
inline constexpr Function<kCleanValue, decltype(decl::CleanValue)> CleanValue{};
inline constexpr Function<kCopyValue, decltype(decl::CopyValue)> CopyValue{};
inline constexpr Function<kArgBaseOffset, decltype(decl::ArgBaseOffset)> ArgBaseOffset{};
inline constexpr Function<kArgAt, decltype(decl::ArgAt)> ArgAt{};
inline constexpr Function<kNativeBaseConstruct, decltype(decl::NativeBaseConstruct)>
    NativeBaseConstruct{};
inline constexpr Function<kNativeBaseDestroy, decltype(decl::NativeBaseDestroy)>
    NativeBaseDestroy{};
inline constexpr Function<kNativeParamAt, decltype(decl::NativeParamAt)> NativeParamAt{};
inline constexpr Function<kNativeInvoke, decltype(decl::NativeInvoke)> NativeInvoke{};
inline constexpr Function<kNativeSourceFile, decltype(decl::NativeSourceFile)> NativeSourceFile{};
inline constexpr Function<kNativeLocalNameAt, decltype(decl::NativeLocalNameAt)>
    NativeLocalNameAt{};
inline constexpr Function<kBindObject, decltype(decl::BindObject)> BindObject{};
inline constexpr Function<kDestroyBoundObject, decltype(decl::DestroyBoundObject)>
    DestroyBoundObject{};
inline constexpr Function<kDestroyClassInfo, decltype(decl::DestroyClassInfo)> DestroyClassInfo{};
inline constexpr Object<kHandlePolicy, vm::HandlePolicy*> HandlePolicyGlobal{};
inline constexpr Object<kDataHandler, DataHandler*> DataHandlerGlobal{};
inline constexpr Function<kLookupFormByID, decltype(decl::LookupFormByID)> LookupFormByID{};

}  // namespace cw::engine
