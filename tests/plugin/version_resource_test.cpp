// The plugin's version resource, read back from the built DLL the way Windows and
// mod managers read it (the same functions the plugin uses for the game's version).
#if defined(_WIN32)
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "plugin/version.h"

namespace cw {
namespace {

class PluginVersionResource : public testing::Test {
 protected:
  void SetUp() override {
    // The tests run in the folder of the plugin they load.
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(kPlugin, &ignored);
    ASSERT_NE(size, 0u) << "no version resource in " << kPlugin;
    info_.resize(size);
    ASSERT_TRUE(GetFileVersionInfoA(kPlugin, 0, size, info_.data()));
  }

  std::string Text(const std::string& name) const {
    char* text = nullptr;
    UINT length = 0;
    const std::string path = "\\StringFileInfo\\040904B0\\" + name;
    if (!VerQueryValueA(info_.data(), path.c_str(), reinterpret_cast<void**>(&text), &length) ||
        !text)
      return "(absent)";
    return std::string(text, strnlen(text, length));
  }

  static constexpr const char* kPlugin = "Cradlewright.dll";
  std::vector<char> info_;
};

TEST_F(PluginVersionResource, TextsComeFromTheProjectVersion) {
  const struct {
    const char* name;
    std::string expected;
  } fields[] = {
      {"FileVersion", CW_VERSION_TEXT},         {"ProductVersion", CW_VERSION_TEXT},
      {"ProductName", "Cradlewright"},          {"FileDescription", CW_PRODUCT_DESCRIPTION},
      {"OriginalFilename", "Cradlewright.dll"}, {"LegalCopyright", CW_COPYRIGHT},
  };
  for (const auto& field : fields) EXPECT_EQ(Text(field.name), field.expected) << field.name;
}

TEST_F(PluginVersionResource, FixedPartIsTheSameVersionOfADll) {
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(info_.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  const DWORD high = (CW_VERSION_MAJOR << 16) | CW_VERSION_MINOR;
  const DWORD low = CW_VERSION_PATCH << 16;
  EXPECT_EQ(fixed->dwFileVersionMS, high);
  EXPECT_EQ(fixed->dwFileVersionLS, low);
  EXPECT_EQ(fixed->dwProductVersionMS, high);
  EXPECT_EQ(fixed->dwProductVersionLS, low);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
}

}  // namespace
}  // namespace cw
#endif
