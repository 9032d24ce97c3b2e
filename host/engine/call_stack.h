#pragma once
// The simulated VM's call stack: the values of one call's arguments.
#include <cstdint>
#include <vector>

#include "host/engine/vm_records.h"

namespace cw::sim {

struct Stack {
  std::vector<Value> values;
};

// The host's call frame: the engine's head first, then where the arguments start.
struct Frame {
  CallFrameHead head;  // 0x00: the part that a native's dispatch reads
  std::uint32_t argumentOffset;
};

}  // namespace cw::sim
