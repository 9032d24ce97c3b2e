#include "plugin/bound_object_lock.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace cw::vm {
namespace {

int g_yields = 0;
std::vector<unsigned> g_sleeps;
void CountYield() {
  ++g_yields;
}
void CountSleep(unsigned milliseconds) {
  g_sleeps.push_back(milliseconds);
}

// The first 10001 waits give up the processor, every later one sleeps 1 ms.
TEST(LockWait, YieldsFirstThenSleeps) {
  g_yields = 0;
  g_sleeps.clear();
  LockWait wait(&CountYield, &CountSleep);
  for (int i = 0; i < 10001; ++i) wait();
  EXPECT_EQ(g_yields, 10001);
  EXPECT_TRUE(g_sleeps.empty());
  wait();
  wait();
  EXPECT_EQ(g_yields, 10001);
  EXPECT_EQ(g_sleeps, (std::vector<unsigned>{1, 1}));
}

// A thread that waits for the lock gets it once the holder lets go, with the
// count the holder stored.
TEST(BoundObjectLock, AWaiterGetsTheWordTheHolderStored) {
  BoundObject object{};
  object.lockWord = 1;
  const std::int32_t held = LockBoundObject(&object);
  EXPECT_EQ(held, 1);
  EXPECT_LT(object.lockWord, 0);
  std::int32_t seenByWaiter = -1;
  std::thread waiter([&] {
    seenByWaiter = LockBoundObject(&object);
    UnlockBoundObject(&object, seenByWaiter + 1);
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  UnlockBoundObject(&object, 2);
  waiter.join();
  EXPECT_EQ(seenByWaiter, 2);
  EXPECT_EQ(object.lockWord, 3);
}

}  // namespace
}  // namespace cw::vm
