// A plugin built the way plugins of the 1.5 line were: query and load, no version
// record. The script extender of the 1.6 line must not load it.
#include <cstdint>

#if defined(_WIN32)
#define CW_TEST_EXPORT extern "C" __declspec(dllexport)
#else
#define CW_TEST_EXPORT extern "C" __attribute__((visibility("default")))
#endif

CW_TEST_EXPORT bool SKSEPlugin_Query(const void*, void*) {
  return true;
}
CW_TEST_EXPORT bool SKSEPlugin_Load(const void*) {
  return true;
}
