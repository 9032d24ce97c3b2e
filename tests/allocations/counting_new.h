#pragma once
// The program's own global operator new and delete, which count every allocation.
// The program exports them, so the plugin's code, loaded into the same process,
// allocates through them too.
#include <cstdint>

namespace cw::test {

// Allocations made through any form of the global operator new so far.
std::uint64_t GlobalNewCount();

// While set, every allocation through operator new fails (std::bad_alloc, or null
// for the nothrow forms), as when the game's memory is exhausted.
void SetAllocationsFail(bool fail);

}  // namespace cw::test
