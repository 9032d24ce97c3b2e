// A plugin that writes one line to its log (standard error on POSIX), then
// crashes in query: the host must say so and end with its crash status.
#include <climits>
#include <cstdio>
#include <cstdlib>

#if defined(_WIN32)
#include <windows.h>
#define CW_TEST_EXPORT extern "C" __declspec(dllexport)
#else
#include <unistd.h>
#define CW_TEST_EXPORT extern "C" __attribute__((visibility("default")))
#endif

#if defined(__GNUC__) || defined(__clang__)
#define CW_NO_UB_CHECK __attribute__((no_sanitize("undefined")))
#else
#define CW_NO_UB_CHECK
#endif

// With CW_CRASH_WITH_UB set, an overflow that the undefined-behaviour sanitizer
// stops (in a build that has it).
static int Overflow(int x) {
  return x + 1;
}

// A plain access violation, as a wrong address gives, not a sanitizer's finding.
CW_TEST_EXPORT CW_NO_UB_CHECK bool SKSEPlugin_Query(const void*, void*) {
#if defined(_WIN32)
  std::fprintf(stderr, "crashing in process %lu\n", GetCurrentProcessId());
#else
  std::fprintf(stderr, "crashing in process %ld\n", static_cast<long>(getpid()));
#endif
  std::fflush(stderr);
  if (std::getenv("CW_CRASH_WITH_UB")) {
    volatile int big = INT_MAX;
    return Overflow(big) != 0;
  }
  volatile int* nowhere = nullptr;
  *nowhere = 1;
  return true;
}
CW_TEST_EXPORT bool SKSEPlugin_Load(const void*) {
  return true;
}
