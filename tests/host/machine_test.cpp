// The simulated virtual machine's bookkeeping of bound objects and handles.
#include "host/engine/machine.h"

#include <gtest/gtest.h>

#include "plugin/engine_api.h"

namespace cw::sim {
namespace {

TEST(SimulatedMachine, TheFirstBindingOfAHandleStays) {
  Machine& machine = TheMachine();
  const std::uint64_t handle = 0x0000004D00ABCDEFull;
  const std::uint64_t liveBefore = machine.liveBoundObjects();
  vm::BoundObject* first = nullptr;
  vm::BoundObject* second = nullptr;
  ASSERT_TRUE(machine.CreateObject("Quest", &first));
  ASSERT_TRUE(machine.CreateObject("Quest", &second));
  machine.Bind(first, handle);
  machine.Bind(second, handle);  // as a second thread would, a moment later

  vm::BoundObject* found = nullptr;
  ASSERT_TRUE(machine.BoundObjectFor(handle, "Quest", &found));
  EXPECT_EQ(found, first);
  machine.DropReference(found);

  // The later object goes when its own reference does; the first keeps the
  // registry's reference and its handle stays kept.
  machine.DropReference(second);
  EXPECT_EQ(machine.liveBoundObjects(), liveBefore + 1);
  machine.DropReference(first);
  EXPECT_EQ(machine.keptHandles(handle), 0);
}

TEST(SimulatedMachine, HandlesCarryTheirFormType) {
  Machine& machine = TheMachine();
  TESForm form{};
  form.formID = 0x01000D62;
  const std::uint64_t quest = machine.MakeHandle(kFormTypeQuest, &form);
  EXPECT_TRUE(machine.HandleIsType(0, quest));  // every form is a Form
  EXPECT_TRUE(machine.HandleIsType(kFormTypeQuest, quest));
  EXPECT_FALSE(machine.HandleIsType(kFormTypeQuest, machine.MakeHandle(0, &form)));
  EXPECT_FALSE(machine.HandleIsType(0, Machine::kInvalidHandle));
}

}  // namespace
}  // namespace cw::sim
