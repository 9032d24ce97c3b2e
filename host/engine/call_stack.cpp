#include "host/engine/call_stack.h"

#include "host/engine/functions.h"

namespace cw::sim {

std::uint32_t ArgumentBase(void*, CallFrameHead* frame) {
  return reinterpret_cast<Frame*>(frame)->argumentOffset;
}

Value* ArgumentAt(void* stack, CallFrameHead*, std::uint32_t index, std::uint32_t offset) {
  auto* s = static_cast<Stack*>(stack);
  return &s->values.at(static_cast<std::size_t>(offset) + index);
}

}  // namespace cw::sim
