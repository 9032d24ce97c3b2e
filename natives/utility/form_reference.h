#pragma once
// Form reference texts read back: "<mod base name>_<hexadecimal number>" turned into
// the form it names, its form ID or the name of the mod file it was found through.
#include <cstdint>
#include <string>
#include <string_view>

#include "plugin/engine_types.h"

namespace cw {

// The engine's look-up of a form by form ID: the form, or null.
using FormLookup = TESForm* (*)(std::uint32_t formID);

// A reference text taken apart. The base name is everything before the last "_"
// (empty when there is none), the number text everything after it.
struct FormReference {
  std::string baseName;
  std::string numberText;
  std::int32_t number = 0;
};

// The text "0" names no form; read natives answer it without a look-up.
bool IsNullReference(std::string_view text);

// Reads a number text in base 16: leading white space, an optional sign, an
// optional "0x"/"0X", then digits of either case up to the first other character.
// No digits give 0; values beyond the signed 32-bit range are clamped to it.
std::int32_t ReadReferenceNumber(std::string_view text);

// Splits a reference text at every "_" (empty pieces kept) and reads its number.
FormReference ParseFormReference(std::string_view text);

// Which of the candidate mod names found the form.
enum class ReferenceMatch { kNone, kEsp, kEsm, kAsWritten };

struct ResolvedReference {
  TESForm* form = nullptr;
  ReferenceMatch match = ReferenceMatch::kNone;
  std::string baseName;
};

// Tries base name + ".esp", + ".esm", then the base name itself: each gives the
// plugin's form-ID bits (II000000 for a regular plugin, FELLL000 for a light one,
// FF000000 for a name not loaded) OR-ed with the number, and the first ID that the
// look-up knows wins. The null reference, a null handler
// or a null look-up find nothing.
ResolvedReference ResolveFormReference(std::string_view text, const DataHandler* handler,
                                       FormLookup lookup);

// The form the reference names, or null.
TESForm* FormFromReference(std::string_view text, const DataHandler* handler, FormLookup lookup);

// The form ID of the form the reference names, or 0.
std::uint32_t FormIDFromReference(std::string_view text, const DataHandler* handler,
                                  FormLookup lookup);

// The name of the mod file through which the reference finds its form, in the
// letter case of the reference; with or without extension as asked. The empty
// text for the null reference, "NULL" when no candidate finds a form.
std::string ModFromReference(std::string_view text, bool withExtension, const DataHandler* handler,
                             FormLookup lookup);

// A file name cut before its last "."; the whole name when it has none.
std::string_view WithoutExtension(std::string_view fileName);

}  // namespace cw
