// The version record that the AE script extender reads, checked byte by byte in
// the built plugin binary (the DLL under wine, the shared object on Linux).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "host/plugin_library.h"
#include "plugin/version.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace cw {
namespace {

// The exported record's 0x350 bytes, copied out of the loaded plugin.
bool ReadRecord(std::uint8_t (&record)[0x350], std::string* error) {
  const std::string path = sim::DefaultPluginPath();
#if defined(_WIN32)
  HMODULE library = LoadLibraryA(path.c_str());
  if (!library) {
    *error = "cannot load " + path;
    return false;
  }
  const void* symbol = reinterpret_cast<const void*>(GetProcAddress(library, "SKSEPlugin_Version"));
#else
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    *error = dlerror();
    return false;
  }
  const void* symbol = dlsym(library, "SKSEPlugin_Version");
#endif
  if (symbol)
    std::memcpy(record, symbol, sizeof record);
  else
    *error = "no SKSEPlugin_Version in " + path;
  // The library stays loaded: the test program may load it again elsewhere.
  return symbol != nullptr;
}

std::uint32_t U32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

bool AllZero(const std::uint8_t* p, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i)
    if (p[i] != 0) return false;
  return true;
}

TEST(VersionRecord, TheBuiltPluginExportsItFieldByField) {
  std::uint8_t r[0x350];
  std::string error;
  ASSERT_TRUE(ReadRecord(r, &error)) << error;

  EXPECT_EQ(U32(r + 0x000), 1u);  // data version
  const std::uint32_t packed =
      (std::uint32_t{CW_VERSION_MAJOR} << 24) | (std::uint32_t{CW_VERSION_MINOR} << 16) |
      ((std::uint32_t{CW_VERSION_PATCH} & 0xFFF) << 4) | (std::uint32_t{CW_VERSION_TWEAK} & 0xF);
  EXPECT_EQ(U32(r + 0x004), packed);
  EXPECT_EQ(U32(r + 0x004) >> 24, 6u);  // the version the SE query reports, too

  const char name[] = "Cradlewright";
  EXPECT_EQ(std::memcmp(r + 0x008, name, sizeof name), 0);  // with its terminating zero
  EXPECT_TRUE(AllZero(r + 0x008 + sizeof name, 256 - sizeof name));
  EXPECT_TRUE(AllZero(r + 0x108, 256)) << "author";
  EXPECT_TRUE(AllZero(r + 0x208, 252)) << "support e-mail";

  EXPECT_EQ(U32(r + 0x304), 1u);  // no structure whose layout changed in 1.6.629
  EXPECT_EQ(U32(r + 0x308), 1u);  // the address library; no signature scanning, no 1.6.629 layout
  EXPECT_TRUE(AllZero(r + 0x30C, 16 * 4)) << "compatible runtimes (unused with the bits above)";
  EXPECT_EQ(U32(r + 0x34C), 0u);  // any script extender version
}

}  // namespace
}  // namespace cw
