// The simulated virtual machine's bookkeeping of script objects and handles, and
// the faults it reports when it is handed what the real engine would misread.
#include "host/engine/machine.h"

#include <gtest/gtest.h>

#include <thread>

#include "host/engine/functions.h"

namespace cw::sim {
namespace {

class SimulatedMachine : public testing::Test {
 protected:
  Machine& machine = TheMachine();
  const std::size_t faultsBefore = machine.Faults().size();
  std::size_t NewFaults() const { return machine.Faults().size() - faultsBefore; }
};

TEST_F(SimulatedMachine, ObjectsLookLikeTheEnginesAndHoldTheCallersReference) {
  ScriptObject* object = nullptr;
  ASSERT_TRUE(machine.CreateObject("Quest", &object));
  EXPECT_EQ(object->flags, 7u);  // constructed, initialized, valid
  EXPECT_EQ(object->classDescription, machine.ClassForFormType(kQuestFormType));
  EXPECT_EQ(object->handle, Machine::kInvalidHandle);
  EXPECT_EQ(object->referenceCount, 1);
  machine.DropReference(object);
  EXPECT_EQ(NewFaults(), 0u);
}

TEST_F(SimulatedMachine, LookingUpAndBindingOneHandleFromTwoThreadsKeepsTheFirstBinding) {
  const std::uint64_t handle = 0x0000004D00ABCDEFull;
  const std::uint64_t liveBefore = machine.liveObjects();
  // Both threads look and miss before either binds, as a race of two calls would.
  ScriptObject* objects[2] = {};
  auto lookThenBind = [&](int i, bool bind) {
    if (!bind) {
      ScriptObject* found = nullptr;
      EXPECT_FALSE(machine.FindBoundObject(handle, "Quest", &found));
      ASSERT_TRUE(machine.CreateObject("Quest", &objects[i]));
    } else {
      machine.Bind(objects[i], handle);
    }
  };
  // Thread-local lookups: each thread looks, then each binds in turn.
  std::thread([&] {
    lookThenBind(0, false);
    std::thread([&] {
      lookThenBind(1, false);
      lookThenBind(1, true);
    }).join();
    lookThenBind(0, true);  // a moment later: the binding of the other thread stays
  }).join();
  EXPECT_EQ(NewFaults(), 0u);

  ScriptObject* found = nullptr;
  ASSERT_TRUE(machine.FindBoundObject(handle, "Quest", &found));
  EXPECT_EQ(found, objects[1]);
  machine.DropReference(found);
  machine.DropReference(objects[0]);  // the later object goes with its own reference
  EXPECT_EQ(machine.liveObjects(), liveBefore + 1);
  machine.DropReference(objects[1]);
  EXPECT_EQ(machine.keptHandles(handle), 0);
}

TEST_F(SimulatedMachine, BindingASecondObjectToABoundHandleIsAFault) {
  const std::uint64_t handle = 0x0000004D00001234ull;
  ScriptObject* first = nullptr;
  ScriptObject* second = nullptr;
  ASSERT_TRUE(machine.CreateObject("Quest", &first));
  machine.Bind(first, handle);
  ASSERT_TRUE(machine.CreateObject("Quest", &second));
  machine.Bind(second, handle);  // without looking for the first
  EXPECT_EQ(NewFaults(), 1u);
  machine.DropReference(second);
  machine.DropReference(first);
}

TEST_F(SimulatedMachine, FindingABoundObjectTakesAPlainClassName) {
  ScriptObject* found = nullptr;
  // An engine string handed where the text belongs: its pointer bytes are no name.
  EngineString name;
  StringFromText(&name, "Quest");
  EXPECT_FALSE(machine.FindBoundObject(1, reinterpret_cast<const char*>(&name), &found));
  EXPECT_EQ(NewFaults(), 1u);
  EXPECT_FALSE(machine.FindBoundObject(1, "Quest", &found));
  EXPECT_EQ(NewFaults(), 1u);
}

TEST_F(SimulatedMachine, AnObjectWhoseEngineFieldsChangedIsAFault) {
  ScriptObject* object = nullptr;
  ASSERT_TRUE(machine.CreateObject("Form", &object));
  object->flags = 1;  // as a write meant for another field would leave it
  machine.DropReference(object);
  EXPECT_EQ(NewFaults(), 1u);
}

TEST_F(SimulatedMachine, HandlesCarryTheirFormType) {
  Form form{};
  form.formID = 0x01000D62;
  const std::uint64_t quest = machine.MakeHandle(kQuestFormType, &form);
  EXPECT_TRUE(machine.HandleIsType(0, quest));  // every form is a Form
  EXPECT_TRUE(machine.HandleIsType(kQuestFormType, quest));
  EXPECT_FALSE(machine.HandleIsType(kQuestFormType, machine.MakeHandle(0, &form)));
  EXPECT_FALSE(machine.HandleIsType(0, Machine::kInvalidHandle));
}

}  // namespace
}  // namespace cw::sim
