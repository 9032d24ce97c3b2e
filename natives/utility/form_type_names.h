#pragma once
// Symbolic names of the engine's form type numbers.
#include <cstdint>

namespace cw {

// Number of named form types (0 to 134).
inline constexpr std::uint32_t kFormTypeNameCount = 135;

// The name of a form type number, "UNKNOWN" above the table. The text is static.
const char* FormTypeName(std::uint32_t formType);

}  // namespace cw
