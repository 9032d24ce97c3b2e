#include "platform/module.h"

#include <gtest/gtest.h>

#include <string>

namespace cw::platform {
namespace {

void FunctionOfTheTestProgram() {}

TEST(ExecutableBase, IsTheStartOfTheMainProgram) {
  const std::uintptr_t base = ExecutableBase();
  ASSERT_NE(base, 0u);
  EXPECT_EQ(ExecutableBase(), base);
  // Code of the program lies above its base, within a plausible image size.
  const auto code = reinterpret_cast<std::uintptr_t>(&FunctionOfTheTestProgram);
  EXPECT_GT(code, base);
  EXPECT_LT(code - base, std::uintptr_t{1} << 30);
}

TEST(ExecutableVersionTexts, TestProgramHasNoneAndClearsTheOutputs) {
  std::string product = "stale", file = "stale";
  EXPECT_FALSE(ExecutableVersionTexts(&product, &file));
  EXPECT_EQ(product, "");
  EXPECT_EQ(file, "");
  EXPECT_FALSE(ExecutableVersionTexts(nullptr, nullptr));
}

}  // namespace
}  // namespace cw::platform
