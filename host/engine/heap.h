#pragma once
// The simulated engine heap.
#include <atomic>
#include <cstdint>

#include "plugin/engine_api.h"

struct cw::engine::decl::Heap {
  std::atomic<std::uint64_t> allocations{0};
  std::atomic<std::uint64_t> frees{0};
};

namespace cw::sim {
engine::decl::Heap& EngineHeap();
}  // namespace cw::sim
