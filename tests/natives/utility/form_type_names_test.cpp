#include "natives/utility/form_type_names.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace cw {
namespace {

TEST(FormTypeName, NamesTheTableAndUnknownBeyond) {
  struct Case {
    std::uint32_t type;
    const char* name;
  };
  for (const Case& c :
       {Case{0, "kNone"}, Case{43, "kNPC"}, Case{56, "kShaderParticleGeometryData"},
        Case{77, "kQuest"}, Case{83, "kANIO"}, Case{102, "kARMA"}, Case{134, "kReverbParam"},
        Case{135, "UNKNOWN"}, Case{0xFFFFFFFF, "UNKNOWN"}}) {
    EXPECT_STREQ(FormTypeName(c.type), c.name) << c.type;
  }
}

TEST(FormTypeName, EveryEntryIsADistinctName) {
  std::set<std::string> names;
  for (std::uint32_t type = 0; type < kFormTypeNameCount; ++type) {
    const std::string name = FormTypeName(type);
    EXPECT_EQ(name.front(), 'k') << type;
    names.insert(name);
  }
  EXPECT_EQ(names.size(), kFormTypeNameCount);
}

}  // namespace
}  // namespace cw
