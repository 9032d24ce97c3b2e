// The plugin file reader against a plain recursive walk of the same bytes: both
// must accept the same files with the same records, and a file the reader
// refuses must have its error inside the file. Reading the header alone must
// agree with reading everything.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "gamedata/plugin_file.h"

namespace cw::fuzz {
namespace {

std::uint32_t At(std::string_view b, std::size_t pos) {
  std::uint32_t v = 0;
  std::memcpy(&v, b.data() + pos, 4);
  return v;
}

// The records between `pos` and `end`, groups walked by recursion; false for
// anything that does not fit.
bool Walk(std::string_view b, std::size_t pos, std::size_t end, int depth,
          std::vector<std::uint32_t>* ids) {
  while (pos < end) {
    if (end - pos < 24) return false;
    const std::uint32_t size = At(b, pos + 4);
    if (At(b, pos) == gamedata::Signature("GRUP")) {
      if (size < 24 || size > end - pos || depth == 32) return false;
      if (!Walk(b, pos + 24, pos + size, depth + 1, ids)) return false;
      pos += size;
    } else {
      if (size > end - pos - 24) return false;
      ids->push_back(At(b, pos + 12));
      pos += 24 + std::size_t{size};
    }
  }
  return true;
}

}  // namespace
}  // namespace cw::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace cw;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const gamedata::PluginContents all =
      gamedata::ReadPluginBytes(bytes, "fuzz.esp", gamedata::Depth::kRecords);
  const gamedata::PluginContents header =
      gamedata::ReadPluginBytes(bytes, "fuzz.esp", gamedata::Depth::kHeader);

  CW_FUZZ_CHECK(all.ok || all.error.offset <= size);
  CW_FUZZ_CHECK(!all.ok || all.records.size() <= size / 24);
  if (!header.ok) {
    CW_FUZZ_CHECK(!all.ok && all.error.offset == header.error.offset);
    return 0;
  }
  CW_FUZZ_CHECK(header.header.masters == all.header.masters);
  CW_FUZZ_CHECK(header.header.flags == all.header.flags);

  std::vector<std::uint32_t> ids;
  const std::size_t first = 24 + std::size_t{fuzz::At(bytes, 4)};
  const bool walked = fuzz::Walk(bytes, first, size, 0, &ids);
  CW_FUZZ_CHECK(walked == all.ok);
  if (walked) {
    CW_FUZZ_CHECK(ids.size() == all.records.size());
    for (std::size_t i = 0; i < ids.size(); ++i) CW_FUZZ_CHECK(ids[i] == all.records[i].formID);
  }
  return 0;
}
