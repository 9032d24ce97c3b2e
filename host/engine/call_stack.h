#pragma once
// The simulated VM's call stack: the values of one call's arguments.
#include <cstdint>
#include <vector>

#include "plugin/vm_abi.h"

namespace cw::sim {

struct Stack {
  std::vector<vm::VMValue> values;
};

// The host's call frame: the VM's part first, then where the arguments start.
struct Frame {
  vm::CallFrame base;  // 0x00: the part that Dispatch reads
  std::uint32_t argumentOffset;
};

}  // namespace cw::sim
