#pragma once
// Where the simulator's own engine functions and objects are, by item.
#include <cstdint>

#include "host/engine/identifiers.h"

namespace cw::sim {

// Address of the simulator's implementation of an engine item.
std::uintptr_t EngineAddress(EngineItem item);

}  // namespace cw::sim
