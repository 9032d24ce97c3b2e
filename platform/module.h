#pragma once
// The process's main program: where it is loaded and which version it states.
#include <cstdint>
#include <string>

namespace cw::platform {

// Base address of the main program's image; 0 when it cannot be found.
std::uintptr_t ExecutableBase();

// The main program's product and file version texts. False when the program
// carries no version information at all; a text that is absent or empty is
// returned empty. Either pointer may be null.
bool ExecutableVersionTexts(std::string* product, std::string* file);

}  // namespace cw::platform
