#pragma once
// Start-up's reading of the running game's version database: the file that the
// running version names is decoded once and only the declared identifiers are
// kept, in the numbering of that file.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "address/address_table.h"
#include "address/database_file.h"
#include "address/database_reader.h"
#include "address/game_version.h"

namespace cw::address {

struct StartupDatabase {
  std::optional<GameVersion> running;  // nullopt: the executable states no usable version
  DatabaseFile file;                   // the file read (meaningful when `running` is set)
  ResolvedIdentifiers resolved;        // error kNoVersion, kCannotOpen or the decoder's
  // Declaration index -> identifier asked, in `file.numbering`.
  std::vector<std::uint64_t> ids;

  bool Loaded() const { return resolved.error == LoadError::kNone; }
  // The offset found for an identifier of the asked set.
  std::optional<std::uint64_t> Find(std::uint64_t id) const;
  // Why the database did not load, naming the file; "" when it loaded.
  std::string Problem() const;
};

// Reads the database of `running` and resolves the declarations in its numbering.
StartupDatabase ReadStartupDatabase(const GameVersion& running,
                                    std::span<const Declaration> declarations);

// The same for the version that the running executable states.
StartupDatabase ReadStartupDatabaseForRunningGame(std::span<const Declaration> declarations);

// "A.B.C.D".
std::string VersionText(const GameVersion& v);

}  // namespace cw::address
