#pragma once
// Where the simulator's own engine functions and objects are, by declaration.
#include <cstdint>

#include "plugin/engine_api.h"

namespace cw::sim {

// Address of the simulator's implementation of a declaration.
std::uintptr_t EngineAddress(engine::Id id);

}  // namespace cw::sim
