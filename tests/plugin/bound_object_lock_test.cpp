#include "plugin/bound_object_lock.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace cw::vm
