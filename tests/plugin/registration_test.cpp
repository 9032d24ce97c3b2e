// The registration table as mod authors see it: names the script language accepts
// in the game's convention, and a description for every native.
#include "plugin/registration.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "papyrus/papyrus_source.h"

namespace cw {
namespace {

char KindLetter(Kind kind) {
  switch (kind) {
    case Kind::kString:
      return 's';
    case Kind::kInt:
      return 'i';
    case Kind::kFloat:
      return 'f';
    case Kind::kBool:
      return 'b';
    case Kind::kForm:
    case Kind::kQuest:
      return 'k';
    case Kind::kNone:
      break;
  }
  return '?';
}

TEST(RegistrationTable, NamesAreNoReservedWordsAndFollowTheGamesConvention) {
  for (const char* className : {kClassUtility, kClassChildEnchant, kClassTextContents})
    EXPECT_FALSE(papyrus::IsPapyrusReservedWord(className)) << className;
  for (const NativeEntry& native : Natives()) {
    EXPECT_FALSE(papyrus::IsPapyrusReservedWord(native.name)) << native.name;
    for (std::uint16_t i = 0; i < native.paramCount; ++i) {
      const std::string_view name = native.paramNames[i];
      EXPECT_FALSE(papyrus::IsPapyrusReservedWord(name)) << native.name << " " << name;
      // "a", the kind's letter, then a capitalised name: asText, aiIndex, akForm.
      ASSERT_GE(name.size(), 3u) << native.name;
      EXPECT_EQ(name[0], 'a') << native.name << " " << name;
      EXPECT_EQ(name[1], KindLetter(native.params[i])) << native.name << " " << name;
      EXPECT_TRUE(name[2] >= 'A' && name[2] <= 'Z') << native.name << " " << name;
    }
  }
}

TEST(RegistrationTable, EveryNativeIsDescribed) {
  for (const NativeEntry& native : Natives()) {
    const std::string_view text = native.description ? native.description : "";
    EXPECT_GE(text.size(), 40u) << native.name;
    // A documentation comment of the declarations ends at the first closing brace.
    EXPECT_EQ(text.find_first_of("{}\r\n"), std::string_view::npos) << native.name;
    EXPECT_EQ(text.find("  "), std::string_view::npos) << native.name;
  }
}

}  // namespace
}  // namespace cw
