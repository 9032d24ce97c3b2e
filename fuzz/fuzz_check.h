#pragma once
// Property checks of the fuzz targets: a failed check stops the run as a crash,
// so that libFuzzer keeps the input and exits with an error.
#include <cstdio>
#include <cstdlib>

#define CW_FUZZ_CHECK(condition)                                                             \
  do {                                                                                       \
    if (!(condition)) {                                                                      \
      std::fprintf(stderr, "property failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
      std::abort();                                                                          \
    }                                                                                        \
  } while (false)
