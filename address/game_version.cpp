#include "address/game_version.h"

#include <limits>
#include <string>

#include "platform/module.h"

namespace cw::address {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// One "%d": blanks, an optional sign, at least one digit. Advances `p` past it.
bool ReadNumber(const char*& p, std::int32_t* out) {
  while (IsBlank(*p)) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  if (*p < '0' || *p > '9') return false;
  // Magnitude limit: 2^31 for a negative number, 2^31 - 1 otherwise.
  const std::int64_t limit =
      static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::max()) + (negative ? 1 : 0);
  std::int64_t value = 0;
  while (*p >= '0' && *p <= '9') {
    value = value * 10 + (*p++ - '0');
    if (value > limit) return false;
  }
  *out = static_cast<std::int32_t>(negative ? -value : value);
  return true;
}

}  // namespace

std::optional<GameVersion> ParseAcceptedVersion(const char* text) {
  if (text == nullptr) return std::nullopt;
  const char* p = text;
  std::int32_t numbers[4] = {};
  for (int i = 0; i < 4; ++i) {
    if (i > 0 && *p++ != '.') return std::nullopt;
    if (!ReadNumber(p, &numbers[i])) return std::nullopt;
  }
  GameVersion v{numbers[0], numbers[1], numbers[2], numbers[3]};
  const bool placeholder =
      static_cast<std::uint32_t>(v.major) <= 1 && v.minor == 0 && v.build == 0 && v.sub == 0;
  if (placeholder) return std::nullopt;
  return v;
}

std::optional<GameVersion> ChooseVersion(const char* product, const char* file) {
  if (product != nullptr && product[0] != '\0') {
    if (auto v = ParseAcceptedVersion(product)) return v;
  }
  if (file != nullptr && file[0] != '\0') return ParseAcceptedVersion(file);
  return std::nullopt;
}

std::optional<GameVersion> RunningGameVersion() {
  std::string product, file;
  if (!platform::ExecutableVersionTexts(&product, &file)) return std::nullopt;
  return ChooseVersion(product.c_str(), file.c_str());
}

}  // namespace cw::address
