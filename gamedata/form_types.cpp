#include "gamedata/form_types.h"

#include <algorithm>
#include <array>
#include <utility>

#include "gamedata/plugin_file.h"

namespace cw::gamedata {
namespace {

// Record signatures in the order of the engine's form type numbers, from 0.
constexpr const char kSignatures[][5] = {
    "NONE", "TES4", "GRUP", "GMST", "KYWD", "LCRT", "AACT", "TXST", "MICN", "GLOB", "CLAS", "FACT",
    "HDPT", "EYES", "RACE", "SOUN", "ASPC", "SKIL", "MGEF", "SCPT", "LTEX", "ENCH", "SPEL", "SCRL",
    "ACTI", "TACT", "ARMO", "BOOK", "CONT", "DOOR", "INGR", "LIGH", "MISC", "APPA", "STAT", "SCOL",
    "MSTT", "GRAS", "TREE", "FLOR", "FURN", "WEAP", "AMMO", "NPC_", "LVLN", "KEYM", "ALCH", "IDLM",
    "NOTE", "COBJ", "PROJ", "HAZD", "SLGM", "LVLI", "WTHR", "CLMT", "SPGD", "RFCT", "REGN", "NAVI",
    "CELL", "REFR", "ACHR", "PMIS", "PARW", "PGRE", "PBEA", "PFLA", "PCON", "PBAR", "PHZD", "WRLD",
    "LAND", "NAVM", "TLOD", "DIAL", "INFO", "QUST", "IDLE", "PACK", "CSTY", "LSCR", "LVSP", "ANIO",
    "WATR", "EFSH", "TOFT", "EXPL", "DEBR", "IMGS", "IMAD", "FLST", "PERK", "BPTD", "ADDN", "AVIF",
    "CAMS", "CPTH", "VTYP", "MATT", "IPCT", "IPDS", "ARMA", "ECZN", "LCTN", "MESG", "RGDL", "DOBJ",
    "LGTM", "MUSC", "FSTP", "FSTS", "SMBN", "SMQN", "SMEN", "DLBR", "MUST", "DLVW", "WOOP", "SHOU",
    "EQUP", "RELA", "SCEN", "ASTP", "OTFT", "ARTO", "MATO", "MOVT", "SNDR", "DUAL", "SNCT", "SOPM",
    "COLL", "CLFM", "REVB", "LENS", "LSPR", "VOLI"};
constexpr std::size_t kCount = sizeof kSignatures / sizeof kSignatures[0];
static_assert(kCount == 138);

using Entry = std::pair<std::uint32_t, std::uint8_t>;

constexpr std::array<Entry, kCount> SortedBySignature() {
  std::array<Entry, kCount> entries{};
  for (std::size_t i = 0; i < kCount; ++i)
    entries[i] = {Signature(kSignatures[i]), static_cast<std::uint8_t>(i)};
  std::sort(entries.begin(), entries.end());
  return entries;
}
constexpr std::array<Entry, kCount> kBySignature = SortedBySignature();

}  // namespace

std::uint8_t FormTypeOfSignature(std::uint32_t signature) {
  const auto found =
      std::lower_bound(kBySignature.begin(), kBySignature.end(), Entry{signature, 0});
  return found != kBySignature.end() && found->first == signature ? found->second : 0;
}

}  // namespace cw::gamedata
