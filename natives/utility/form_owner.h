#pragma once
// The mod file that owns a form, and the reference text written for a form.
#include <cstdint>
#include <string>

#include "plugin/engine_types.h"

namespace cw {

// A form ID read as a signed 32-bit number and split at 0x1000000: the remainder
// keeps the sign of the number. IDs 00000000 to 7FFFFFFF give their top byte and
// low 24 bits; FF000001 to FFFFFFFF give index 0 and the whole ID as the number;
// every other ID with the top bit set gives a negative index.
struct FormIDParts {
  std::int32_t index = 0;
  std::int32_t number = 0;
};
FormIDParts SplitFormID(std::uint32_t formID);

// "<owning file name without extension>_<number in lower-case hexadecimal>". A light
// plugin's form FE LLL xxx is owned by the loaded light plugin LLL and numbered xxx.
// The empty text for a null form, a null handler, or a form whose index is negative
// or not below the count of loaded regular (or light) plugins.
std::string ReferenceForForm(const TESForm* form, const DataHandler* handler);

// The file name of the loaded plugin that owns the form, with or without its
// extension. The empty text for a null form; "-1" for a negative index (top byte
// 0x80 to 0xFD, FF000000, and FE forms whose light index names no loaded light
// plugin); "-3" when a regular index is not below the count.
std::string ModForForm(const TESForm* form, bool withExtension, const DataHandler* handler);

}  // namespace cw
