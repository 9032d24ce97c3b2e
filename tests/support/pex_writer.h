#pragma once
// Writer of whole compiled scripts (.pex) from their model, the reverse of the reader.
#include <string>

#include "papyrus/pex_file.h"

namespace cw::test {

// How the object size field is written: as the game's compiler does (big-endian,
// counting the field itself) or as others do (little-endian, the bytes after it).
enum class PexSizeField { kGame, kOther };

// The file's bytes, big-endian; a call's argument count is written from its operands.
std::string WritePex(const papyrus::PexFile& file, PexSizeField size = PexSizeField::kGame);

}  // namespace cw::test
