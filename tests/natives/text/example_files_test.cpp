// The example game folder's text files, as the generator wrote them, read the way
// the game reads them.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "natives/enchant/enchantment_files.h"
#include "natives/enchant/key_file.h"
#include "natives/text/translation_store.h"

namespace cw {
namespace {

std::filesystem::path ExampleGameFolder() {
  std::string source = CW_SOURCE_DIR;
#if defined(_WIN32)
  if (!source.empty() && source[0] == '/') source = "Z:" + source;  // wine's root drive
#endif
  return std::filesystem::path(source) / "examples" / "game";
}

class ExampleGame : public ::testing::Test {
 protected:
  void SetUp() override {
    std::error_code error;
    if (!std::filesystem::is_directory(ExampleGameFolder() / "Data", error))
      GTEST_SKIP() << "no example game folder at " << ExampleGameFolder();
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(ExampleGameFolder());
  }
  void TearDown() override {
    std::error_code ignored;
    if (!previous_.empty()) std::filesystem::current_path(previous_, ignored);
  }
  std::filesystem::path previous_;
};

TEST_F(ExampleGame, TranslationsHaveTheSameKeys) {
  text::TranslationStore store;
  store.Load("ENGLISH");
  ASSERT_EQ(store.Status(), text::load_status::kLoaded);
  EXPECT_EQ(store.Lookup("Greeting"), "Hello, little one.");
  EXPECT_EQ(store.Lookup("Farewell"), "Sleep well.");
  store.Load("GERMAN");
  ASSERT_EQ(store.Status(), text::load_status::kLoaded);
  EXPECT_EQ(store.Lookup("Greeting"), "Hallo, Kleines.");
  EXPECT_EQ(store.Lookup("ChildName"), "Gib deinem Kind einen Namen");
  EXPECT_EQ(store.Lookup("ChildAge"),
            "Alter: {0} Tage \xE2\x80\x93 gr\xC3\xB6\xC3\x9F"
            "er geworden");
}

TEST_F(ExampleGame, EnchantmentsHaveAllFourValues) {
  const std::string fire = enchant::EnchantmentFilePath("FireChild.txt");
  EXPECT_EQ(enchant::ReadKeyFileValue(fire, "modName"), "Cradlewright.esp");
  EXPECT_EQ(enchant::ReadKeyFileNumber(fire, "form"), 0xA1F0u);
  EXPECT_EQ(enchant::ReadKeyFileNumber(fire, "power_min"), 5u);
  EXPECT_EQ(enchant::ReadKeyFileNumber(fire, "power_max"), 30u);
  const std::string frost = enchant::EnchantmentFilePath("FrostChild.txt");
  EXPECT_EQ(enchant::ReadKeyFileValue(frost, "modName"), "Cradlewright.esp");
  EXPECT_EQ(enchant::ReadKeyFileNumber(frost, "form"), 0xA1F1u);
  EXPECT_EQ(enchant::ReadKeyFileNumber(frost, "power_min"), 3u);
  EXPECT_EQ(enchant::ReadKeyFileNumber(frost, "power_max"), 25u);
}

}  // namespace
}  // namespace cw
