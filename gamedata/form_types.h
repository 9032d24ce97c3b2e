#pragma once
// The engine's form type of a record, from the record's signature.
#include <cstdint>

namespace cw::gamedata {

inline constexpr std::uint8_t kQuestType = 77;

// The form type numbered as the engine numbers them (QUST 77, BPTD 93); 0 (none)
// for a signature the engine has no form type for.
std::uint8_t FormTypeOfSignature(std::uint32_t signature);

}  // namespace cw::gamedata
