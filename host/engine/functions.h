#pragma once
// The simulator's engine functions: the items that the version database it writes
// maps to addresses, with the engine's calling signatures.
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "host/engine/data_records.h"
#include "host/engine/vm_records.h"

namespace cw::sim {

struct Heap {
  std::atomic<std::uint64_t> allocations{0};
  std::atomic<std::uint64_t> frees{0};
};
Heap& EngineHeap();

void* HeapAllocate(Heap* heap, std::size_t size, std::uint32_t alignment, bool aligned);
void HeapFree(Heap* heap, void* block, bool aligned);

EngineString* StringFromText(EngineString* slot, const char* text);
EngineString* SetStringFromText(EngineString* slot, const char* text);

void CleanValue(Value* value);
Value* CopyValue(Value* destination, const Value* source);

std::uint32_t ArgumentBase(void* stack, CallFrameHead* frame);
Value* ArgumentAt(void* stack, CallFrameHead* frame, std::uint32_t index, std::uint32_t offset);

NativeFunctionHead* NativeConstruct(NativeFunctionHead* function, const char* name,
                                    const char* className, bool isStatic,
                                    std::uint32_t parameterCount);
void NativeDestruct(NativeFunctionHead* function);
void NativeParameterAt(NativeFunctionHead* function, std::uint32_t index, EngineString* name,
                       std::uint64_t* type);
// The type record before the native function base table that NativeConstruct installs.
const TypeRecord* NativeFunctionTypeRecord();
std::uint32_t NativeInvoke(NativeFunctionHead* function, void* a, void* b, void* c, void* d);
const EngineString* NativeSourceFile(NativeFunctionHead* function);
bool NativeLocalNameAt(NativeFunctionHead* function, std::uint32_t index, EngineString* name);

void BindObject(TableObject* bindPolicy, ScriptObject** object, std::uint64_t handle);
void DestroyObject(ScriptObject* object);
void DestroyClassDescription(ClassDescription* description);

Form* LookupForm(std::uint32_t formID);

}  // namespace cw::sim
