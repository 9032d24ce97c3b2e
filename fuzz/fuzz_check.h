#pragma once
// Property checks of the fuzz targets: a failed check stops the run as a crash,
// so that libFuzzer keeps the input and exits with an error.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#define CW_FUZZ_CHECK(condition)                                                             \
  do {                                                                                       \
    if (!(condition)) {                                                                      \
      std::fprintf(stderr, "property failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
      std::abort();                                                                          \
    }                                                                                        \
  } while (false)

namespace cw::fuzz {

// An input read as a key and a file: the first byte gives the key's length, the
// key follows, the rest is the file. The input must not be empty.
struct KeyAndFile {
  std::string_view key;
  std::string_view file;
};
inline KeyAndFile SplitKeyAndFile(std::string_view input) {
  const std::size_t keyLength =
      std::min<std::size_t>(static_cast<unsigned char>(input[0]), input.size() - 1);
  return {input.substr(1, keyLength), input.substr(1 + keyLength)};
}

}  // namespace cw::fuzz
