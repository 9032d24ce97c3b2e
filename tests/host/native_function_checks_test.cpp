// What the simulated engine checks of every native function object the plugin
// hands it: the engine's type record before its table, and "parameter at"
// (slot 6), which returns nothing, giving the parameters of the engine's table.
#include <gtest/gtest.h>

#include <array>

#include "host/engine/functions.h"
#include "host/engine/machine.h"

namespace cw::sim {
namespace {

void* Destroy(NativeFunctionHead* function, std::uint32_t) {
  NativeDestruct(function);
  return function;
}
std::uint32_t Count(NativeFunctionHead* function) {
  return function->totalEntries;
}
std::uint64_t* ReturnType(NativeFunctionHead* function, std::uint64_t* out) {
  *out = function->returnType;
  return out;
}
void ParameterAtIgnoringTheIndex(NativeFunctionHead*, std::uint32_t, EngineString*,
                                 std::uint64_t* type) {
  *type = type_word::kInt;
}

// A plugin's table: the type record slot first, then the operations.
struct PluginTable {
  const void* typeRecord;
  std::array<void*, function_slot::kCount> slots;
};

PluginTable MakeTable(const void* typeRecord, void* parameterAt) {
  PluginTable table{typeRecord, {}};
  table.slots[function_slot::kDeletingDestructor] = reinterpret_cast<void*>(&Destroy);
  table.slots[function_slot::kParameterCount] = reinterpret_cast<void*>(&Count);
  table.slots[function_slot::kReturnType] = reinterpret_cast<void*>(&ReturnType);
  table.slots[function_slot::kParameterAt] = parameterAt;
  return table;
}

class NativeFunctionChecks : public testing::Test {
 protected:
  // A function object of two parameters, Int and String, built as the plugin does.
  NativeFunctionHead* Function(const PluginTable& table) {
    NativeFunctionHead* function = NativeConstruct(&head_, "Fn", "FWTest", true, 2);
    function->parameters[0].type = type_word::kInt;
    function->parameters[1].type = type_word::kString;
    function->table = table.slots.data();
    return function;
  }
  std::size_t NewFaults(const Machine& machine, std::size_t before) const {
    return machine.Faults().size() - before;
  }
  NativeFunctionHead head_{};
};

TEST_F(NativeFunctionChecks, ATableWithoutTheEnginesTypeRecordIsAFault) {
  static const TypeRecord otherRecord = {"another class"};
  struct Case {
    const char* what;
    const void* typeRecord;
    std::size_t faults;
  };
  const Case cases[] = {
      {"the engine's record", NativeFunctionTypeRecord(), 0},
      {"no record", nullptr, 1},
      {"another record", &otherRecord, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const PluginTable table = MakeTable(c.typeRecord, reinterpret_cast<void*>(&NativeParameterAt));
    Machine machine;
    machine.RegisterFunction(Function(table));
    EXPECT_EQ(machine.Faults().size(), c.faults);
    machine.DestroyNatives();
  }
}

TEST_F(NativeFunctionChecks, ParameterAtIsCheckedByWhatItWrote) {
  Machine& machine = TheMachine();
  {
    const std::size_t before = machine.Faults().size();
    const PluginTable table =
        MakeTable(NativeFunctionTypeRecord(), reinterpret_cast<void*>(&NativeParameterAt));
    NativeFunctionHead* function = Function(table);
    const Machine::Signature signature = Machine::SignatureOf(function);
    EXPECT_EQ(signature.parameters,
              (std::vector<std::uint64_t>{type_word::kInt, type_word::kString}));
    EXPECT_EQ(NewFaults(machine, before), 0u);
    NativeDestruct(function);
  }
  {
    // A slot 6 that answers a type but not the entry's name: a fault, the signature stops.
    const std::size_t before = machine.Faults().size();
    const PluginTable table = MakeTable(NativeFunctionTypeRecord(),
                                        reinterpret_cast<void*>(&ParameterAtIgnoringTheIndex));
    NativeFunctionHead* function = Function(table);
    EXPECT_TRUE(Machine::SignatureOf(function).parameters.empty());
    EXPECT_EQ(NewFaults(machine, before), 1u);
    NativeDestruct(function);
  }
}

}  // namespace
}  // namespace cw::sim
