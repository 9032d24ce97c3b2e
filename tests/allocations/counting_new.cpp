#include "tests/allocations/counting_new.h"

#include <atomic>
#include <cstdlib>
#include <new>

// Exported whatever the default symbol visibility: a shared object loaded later
// binds its calls of operator new and delete to the program's definitions.
#if defined(__GNUC__)
#define CW_PROGRAM_EXPORT __attribute__((visibility("default")))
#else
#define CW_PROGRAM_EXPORT
#endif

namespace {

std::atomic<std::uint64_t> g_news{0};
std::atomic<bool> g_fail{false};

void* Allocate(std::size_t size) {
  g_news.fetch_add(1, std::memory_order_relaxed);
  if (g_fail.load(std::memory_order_relaxed)) throw std::bad_alloc();
  if (void* block = std::malloc(size ? size : 1)) return block;
  throw std::bad_alloc();
}

void* AllocateAligned(std::size_t size, std::align_val_t alignment) {
  g_news.fetch_add(1, std::memory_order_relaxed);
  if (g_fail.load(std::memory_order_relaxed)) throw std::bad_alloc();
  const std::size_t align = static_cast<std::size_t>(alignment);
  const std::size_t rounded = ((size ? size : 1) + align - 1) / align * align;
  if (void* block = std::aligned_alloc(align, rounded)) return block;
  throw std::bad_alloc();
}

}  // namespace

namespace cw::test {
std::uint64_t GlobalNewCount() {
  return g_news.load(std::memory_order_relaxed);
}
void SetAllocationsFail(bool fail) {
  g_fail.store(fail, std::memory_order_relaxed);
}
}  // namespace cw::test

CW_PROGRAM_EXPORT void* operator new(std::size_t size) {
  return Allocate(size);
}
CW_PROGRAM_EXPORT void* operator new[](std::size_t size) {
  return Allocate(size);
}
CW_PROGRAM_EXPORT void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return Allocate(size);
  } catch (...) {
    return nullptr;
  }
}
CW_PROGRAM_EXPORT void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return Allocate(size);
  } catch (...) {
    return nullptr;
  }
}
CW_PROGRAM_EXPORT void* operator new(std::size_t size, std::align_val_t alignment) {
  return AllocateAligned(size, alignment);
}
CW_PROGRAM_EXPORT void* operator new[](std::size_t size, std::align_val_t alignment) {
  return AllocateAligned(size, alignment);
}
CW_PROGRAM_EXPORT void* operator new(std::size_t size, std::align_val_t alignment,
                                     const std::nothrow_t&) noexcept {
  try {
    return AllocateAligned(size, alignment);
  } catch (...) {
    return nullptr;
  }
}
CW_PROGRAM_EXPORT void* operator new[](std::size_t size, std::align_val_t alignment,
                                       const std::nothrow_t&) noexcept {
  try {
    return AllocateAligned(size, alignment);
  } catch (...) {
    return nullptr;
  }
}

CW_PROGRAM_EXPORT void operator delete(void* block) noexcept {
  std::free(block);
}
CW_PROGRAM_EXPORT void operator delete[](void* block) noexcept {
  std::free(block);
}
CW_PROGRAM_EXPORT void operator delete(void* block, std::size_t) noexcept {
  std::free(block);
}
CW_PROGRAM_EXPORT void operator delete[](void* block, std::size_t) noexcept {
  std::free(block);
}
CW_PROGRAM_EXPORT void operator delete(void* block, const std::nothrow_t&) noexcept {
  std::free(block);
}
CW_PROGRAM_EXPORT void operator delete[](void* block, const std::nothrow_t&) noexcept {
  std::free(block);
}
CW_PROGRAM_EXPORT void operator delete(void* block, std::align_val_t) noexcept {
  std::free(block);
}
CW_PROGRAM_EXPORT void operator delete[](void* block, std::align_val_t) noexcept {
  std::free(block);
}
CW_PROGRAM_EXPORT void operator delete(void* block, std::size_t, std::align_val_t) noexcept {
  std::free(block);
}
CW_PROGRAM_EXPORT void operator delete[](void* block, std::size_t, std::align_val_t) noexcept {
  std::free(block);
}
CW_PROGRAM_EXPORT void operator delete(void* block, std::align_val_t,
                                       const std::nothrow_t&) noexcept {
  std::free(block);
}
CW_PROGRAM_EXPORT void operator delete[](void* block, std::align_val_t,
                                         const std::nothrow_t&) noexcept {
  std::free(block);
}
