#include <gtest/gtest.h>

#include "plugin/vm_abi.h"

namespace cw::vm {
namespace {

TEST(TypeWordKind, ClassDescriptionsCountAsObjectsOrObjectArrays) {
  EXPECT_EQ(KindOf(kString), kString);
  EXPECT_EQ(KindOf(0x1000), kObject);
  EXPECT_EQ(KindOf(0x1001), kObjectArray);
  EXPECT_EQ(KindOf(15), kBoolArray);
}

}  // namespace
}  // namespace cw::vm
