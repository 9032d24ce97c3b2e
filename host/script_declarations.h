#pragma once
// Papyrus declarations of the natives, written from the registration table: one
// source file per script class, the natives in registration order.
#include <array>
#include <string>
#include <string_view>

#include "plugin/native_function.h"
#include "plugin/registration.h"

namespace cw::sim {

inline constexpr std::array<const char*, 3> kNativeClasses = {kClassUtility, kClassChildEnchant,
                                                              kClassTextContents};

// The Papyrus type of a kind; empty for None (a function without a result).
std::string PapyrusType(Kind kind);

// "String Function toLower(String text) global native"
std::string DeclarationLine(const NativeEntry& native);

// The whole source of one script class.
std::string DeclarationSource(std::string_view className);

// Writes <class>.psc for each class into folder (made when missing); false and the
// reason when a file cannot be written.
bool WriteDeclarations(const std::string& folder, std::string* error);

}  // namespace cw::sim
