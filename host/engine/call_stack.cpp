#include "host/engine/call_stack.h"

#include "plugin/engine_api.h"

namespace cw::engine::decl {

std::uint32_t ArgBaseOffset(void*, vm::CallFrame* frame) {
  return reinterpret_cast<sim::Frame*>(frame)->argumentOffset;
}

vm::VMValue* ArgAt(void* stack, vm::CallFrame*, std::uint32_t index, std::uint32_t offset) {
  auto* s = static_cast<sim::Stack*>(stack);
  return &s->values.at(static_cast<std::size_t>(offset) + index);
}

}  // namespace cw::engine::decl
