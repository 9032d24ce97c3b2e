// The engine's part of every native function object: names, parameter table.
#include <cstdio>
#include <cstring>

#include "host/engine/functions.h"

namespace cw::sim {

NativeFunctionHead* NativeConstruct(NativeFunctionHead* function, const char* name,
                                    const char* className, bool isStatic,
                                    std::uint32_t parameterCount) {
  StringFromText(&function->name, name);
  StringFromText(&function->className, className);
  StringFromText(&function->stateName, "");
  StringFromText(&function->docString, "");
  function->referenceCount = 0;
  function->returnType = type_word::kNone;
  // A native has no locals: its parameters are all its entries.
  function->word38 = static_cast<std::uint16_t>(parameterCount);
  function->totalEntries = static_cast<std::uint16_t>(parameterCount);
  function->isStatic = isStatic ? 1 : 0;
  function->noWait = 0;
  function->userFlags = 0;
  function->parameters = nullptr;
  if (parameterCount) {
    function->parameters = static_cast<ParameterEntry*>(
        HeapAllocate(&EngineHeap(), sizeof(ParameterEntry) * parameterCount, 0, false));
    for (std::uint32_t i = 0; i < parameterCount; ++i) {
      char text[16];
      std::snprintf(text, sizeof text, "arg%u", i + 1);
      StringFromText(&function->parameters[i].name, text);
      function->parameters[i].type = type_word::kNone;
    }
  }
  return function;
}

void NativeDestruct(NativeFunctionHead* function) {
  HeapFree(&EngineHeap(), function->parameters, false);
  function->parameters = nullptr;
}

bool NativeParameterAt(NativeFunctionHead* function, std::uint32_t index, EngineString* name,
                       std::uint64_t* type) {
  if (index >= function->totalEntries || !function->parameters) return false;
  *name = function->parameters[index].name;
  *type = function->parameters[index].type;
  return true;
}

std::uint32_t NativeInvoke(NativeFunctionHead*, void*, void*, void*, void*) {
  return 0;
}

const EngineString* NativeSourceFile(NativeFunctionHead*) {
  static EngineString native;
  if (!native.text) StringFromText(&native, "<native>");
  return &native;
}

bool NativeLocalNameAt(NativeFunctionHead*, std::uint32_t, EngineString* name) {
  name->text = nullptr;
  return false;
}

}  // namespace cw::sim
