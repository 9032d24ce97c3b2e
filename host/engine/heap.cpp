#include "host/engine/heap.h"

#include <cstdlib>

namespace cw::sim {

Heap& EngineHeap() {
  static Heap heap;
  return heap;
}

void* HeapAllocate(Heap* heap, std::size_t size, std::uint32_t, bool) {
  void* block = std::malloc(size ? size : 1);
  if (block && heap) heap->allocations.fetch_add(1, std::memory_order_relaxed);
  return block;
}

void HeapFree(Heap* heap, void* block, bool) {
  if (!block) return;
  if (heap) heap->frees.fetch_add(1, std::memory_order_relaxed);
  std::free(block);
}

}  // namespace cw::sim
