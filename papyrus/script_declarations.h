#pragma once
// Papyrus declarations of the natives and their reference page, written from the
// registration table: one source file per script class, the natives in
// registration order, each followed by its description as a documentation comment.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "plugin/native_function.h"
#include "plugin/registration.h"

namespace cw::papyrus {

inline constexpr std::array<const char*, 3> kNativeClasses = {kClassUtility, kClassChildEnchant,
                                                              kClassTextContents};

// The Papyrus type of a kind; empty for None (a function without a result).
std::string PapyrusType(Kind kind);

// The class the plugin registers under that name in any letter case; null when none.
const char* RegisteredClass(std::string_view name);

// "String Function toLower(String asText) global native"
std::string DeclarationLine(const NativeEntry& native);

// A text broken into lines of at most `width` bytes at blanks (a longer word
// stands on its own line).
std::vector<std::string> Wrapped(std::string_view text, std::size_t width);

// The whole source of one script class.
std::string DeclarationSource(std::string_view className);

// The reference page of every native (Markdown), from the same table.
std::string ReferencePage();

// Writes <class>.psc for each class into folder (made when missing); false and the
// reason when a file cannot be written.
bool WriteDeclarations(const std::string& folder, std::string* error);

// Writes the reference page to path; false and the reason when it cannot.
bool WriteReference(const std::string& path, std::string* error);

}  // namespace cw::papyrus
