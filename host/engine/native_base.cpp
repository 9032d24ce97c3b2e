// The engine's part of every native function object: names, parameter table.
#include <cstdio>
#include <cstring>

#include "host/engine/heap.h"
#include "plugin/engine_api.h"

namespace cw::engine::decl {

vm::NativeFunctionObject* NativeBaseConstruct(vm::NativeFunctionObject* object, const char* name,
                                              const char* className, bool isStatic,
                                              std::uint32_t paramCount) {
  CreateString(&object->name, name);
  CreateString(&object->className, className);
  object->hostWord08 = 0;
  object->paramCount = static_cast<std::uint16_t>(paramCount);
  object->isStatic = isStatic ? 1 : 0;
  object->userFlags = 0;
  object->params = nullptr;
  if (paramCount) {
    object->params = static_cast<vm::ParamEntry*>(
        HeapAllocate(&sim::EngineHeap(), sizeof(vm::ParamEntry) * paramCount, 0, false));
    for (std::uint32_t i = 0; i < paramCount; ++i) {
      char text[16];
      std::snprintf(text, sizeof text, "arg%u", i + 1);
      CreateString(&object->params[i].name, text);
      object->params[i].type = 0;
    }
  }
  return object;
}

void NativeBaseDestroy(vm::NativeFunctionObject* object) {
  HeapFree(&sim::EngineHeap(), object->params, false);
  object->params = nullptr;
}

bool NativeParamAt(vm::NativeFunctionObject* object, std::uint32_t index, StringCache::Ref* outName,
                   std::uint64_t* outType) {
  if (index >= object->paramCount || !object->params) return false;
  *outName = object->params[index].name;
  *outType = object->params[index].type;
  return true;
}

std::uint32_t NativeInvoke(vm::NativeFunctionObject*, void*, void*, void*, void*) {
  return 0;
}

const StringCache::Ref* NativeSourceFile(vm::NativeFunctionObject*) {
  static StringCache::Ref native;
  if (!native.data) CreateString(&native, "<native>");
  return &native;
}

bool NativeLocalNameAt(vm::NativeFunctionObject*, std::uint32_t, StringCache::Ref* out) {
  out->data = nullptr;
  return false;
}

}  // namespace cw::engine::decl
