#pragma once
// The lock word of a bound-object record: the reference count lives in its low
// 31 bits and the top bit is set while a thread holds the record.
#include <atomic>
#include <cstdint>

#include "platform/waiting.h"
#include "plugin/vm_abi.h"

namespace cw::vm {

// Waits for the lock: the first 10001 waits give up the processor (the engine's
// 0 ms sleep, which lets the holder run), every later one sleeps 1 ms.
class LockWait {
 public:
  using YieldFn = void (*)();
  using SleepFn = void (*)(unsigned milliseconds);
  static constexpr unsigned kYieldingWaits = 10001;

  LockWait() = default;
  LockWait(YieldFn yield, SleepFn sleep) : yield_(yield), sleep_(sleep) {}

  void operator()() {
    if (rounds_ < kYieldingWaits) {
      ++rounds_;
      yield_();
    } else {
      sleep_(1);
    }
  }

 private:
  unsigned rounds_ = 0;
  YieldFn yield_ = &platform::YieldTimeSlice;
  SleepFn sleep_ = &platform::SleepMilliseconds;
};

// Sets the top bit once no other thread holds it; returns the word as it was.
inline std::int32_t LockBoundObject(BoundObject* object) {
  std::atomic_ref<std::int32_t> word(object->lockWord);
  LockWait wait;
  for (;;) {
    std::int32_t seen = word.load();
    while (seen < 0) {
      wait();
      seen = word.load();
    }
    const auto held = static_cast<std::int32_t>(static_cast<std::uint32_t>(seen) | 0x80000000u);
    if (word.compare_exchange_strong(seen, held)) return seen;
  }
}

// Releases the lock, storing `value` (top bit clear) as the new word.
inline void UnlockBoundObject(BoundObject* object, std::int32_t value) {
  std::atomic_ref<std::int32_t>(object->lockWord).store(value & 0x7FFFFFFF);
}

}  // namespace cw::vm
