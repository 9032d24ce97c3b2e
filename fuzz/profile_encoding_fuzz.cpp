// UTF-16 settings files: decoding to UTF-8 and encoding back gives the file's
// units again (a final odd byte aside), and any text encodes to units that
// decode and encode to themselves.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "platform/profile_encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace cw::platform;
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  const ProfileEncoding encoding = EncodingOfProfile(input);
  if (encoding != ProfileEncoding::kBytes) {
    const std::string text = DecodeUtf16Profile(input, encoding);
    CW_FUZZ_CHECK(EncodeUtf16Profile(text, encoding) == input.substr(0, size - size % 2));
  }
  for (const ProfileEncoding order : {ProfileEncoding::kUtf16Le, ProfileEncoding::kUtf16Be}) {
    const std::string units = EncodeUtf16Profile(input, order);
    CW_FUZZ_CHECK(EncodingOfProfile(units) == order);
    CW_FUZZ_CHECK(EncodeUtf16Profile(DecodeUtf16Profile(units, order), order) == units);
  }
  return 0;
}
