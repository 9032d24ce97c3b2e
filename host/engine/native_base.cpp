// The engine's part of every native function object: names, parameter table, and
// the base class's function table with its type record before it.
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/engine/functions.h"

namespace cw::sim {
namespace {

[[noreturn]] void BaseSlotCalled() {
  std::fputs(
      "cradlewright-host: a slot of the native function base table was called: the plugin "
      "did not install its own table\n",
      stderr);
  std::abort();
}

// The base class's table as the engine's object model lays it out: the type record
// first, then the slots.
struct BaseTable {
  const TypeRecord* typeRecord;
  std::array<void*, function_slot::kCount> slots;
};

const TypeRecord kNativeFunctionTypeRecord = {"cradlewright-host native function"};

const BaseTable& NativeBaseTable() {
  static const BaseTable table = [] {
    BaseTable t{&kNativeFunctionTypeRecord, {}};
    t.slots.fill(reinterpret_cast<void*>(&BaseSlotCalled));
    return t;
  }();
  return table;
}

}  // namespace

const TypeRecord* NativeFunctionTypeRecord() {
  return &kNativeFunctionTypeRecord;
}

NativeFunctionHead* NativeConstruct(NativeFunctionHead* function, const char* name,
                                    const char* className, bool isStatic,
                                    std::uint32_t parameterCount) {
  StringFromText(&function->name, name);
  StringFromText(&function->className, className);
  StringFromText(&function->stateName, "");
  StringFromText(&function->docString, "");
  function->table = NativeBaseTable().slots.data();
  function->referenceCount = 0;
  function->returnType = type_word::kNone;
  // A native has no locals: its parameters are all its entries.
  function->parameterCount = static_cast<std::uint16_t>(parameterCount);
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

void NativeParameterAt(NativeFunctionHead* function, std::uint32_t index, EngineString* name,
                       std::uint64_t* type) {
  if (index >= function->parameterCount || !function->parameters) return;
  *name = function->parameters[index].name;
  *type = function->parameters[index].type;
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
