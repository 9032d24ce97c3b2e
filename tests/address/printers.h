#pragma once
// Readable failure messages for the address types.
#include <ostream>

#include "address/database_reader.h"
#include "address/game_version.h"

namespace cw::address {

inline void PrintTo(const GameVersion& v, std::ostream* os) {
  *os << v.major << '.' << v.minor << '.' << v.build << '.' << v.sub;
}
inline void PrintTo(const DatabaseEntry& e, std::ostream* os) {
  *os << '{' << e.id << ": " << e.offset << '}';
}
inline void PrintTo(LoadError error, std::ostream* os) {
  *os << Describe(error);
}

}  // namespace cw::address
