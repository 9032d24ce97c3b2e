// The version texts of the game executable: the reading of "%d.%d.%d.%d" and
// the choice between product and file version, against a reference built on the
// C library's strtoll.
//
// Input: the product version text, a NUL byte, the file version text.
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "address/game_version.h"
#include "fuzz/fuzz_check.h"

namespace cw::fuzz {
namespace {

using address::GameVersion;

std::optional<GameVersion> ReferenceParse(const std::string& text) {
  const char* p = text.c_str();
  long long numbers[4] = {};
  for (int i = 0; i < 4; ++i) {
    if (i > 0 && *p++ != '.') return std::nullopt;
    // strtoll takes a sign after blanks but no blank after the sign, as %d does;
    // it must not see a base prefix or anything else that %d refuses.
    char* end = nullptr;
    errno = 0;
    numbers[i] = std::strtoll(p, &end, 10);
    if (end == p || errno == ERANGE) return std::nullopt;
    if (numbers[i] < INT32_MIN || numbers[i] > INT32_MAX) return std::nullopt;
    p = end;
  }
  const GameVersion v{static_cast<std::int32_t>(numbers[0]), static_cast<std::int32_t>(numbers[1]),
                      static_cast<std::int32_t>(numbers[2]), static_cast<std::int32_t>(numbers[3])};
  const bool placeholder =
      (v.major == 0 || v.major == 1) && v.minor == 0 && v.build == 0 && v.sub == 0;
  if (placeholder) return std::nullopt;
  return v;
}

}  // namespace
}  // namespace cw::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace cw;
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::size_t nul = input.find('\0');
  const std::string product = input.substr(0, nul);
  const std::string file = nul == std::string::npos ? std::string() : input.substr(nul + 1);

  const auto productVersion = fuzz::ReferenceParse(product);
  CW_FUZZ_CHECK(address::ParseAcceptedVersion(product.c_str()) == productVersion);
  const auto chosen = address::ChooseVersion(product.c_str(), file.c_str());
  CW_FUZZ_CHECK(chosen == (productVersion ? productVersion : fuzz::ReferenceParse(file.c_str())));
  CW_FUZZ_CHECK(address::ChooseVersion(nullptr, file.c_str()) ==
                fuzz::ReferenceParse(file.c_str()));
  return 0;
}
