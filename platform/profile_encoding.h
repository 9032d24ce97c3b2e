#pragma once
// Settings files in UTF-16. The Windows profile functions read a file that
// starts with a UTF-16 byte order mark as UTF-16 and keep it so when they write
// it; the profile text rules work on bytes, so such a file is turned into UTF-8
// to be read and edited and back into UTF-16 to be stored.
#include <string>
#include <string_view>

namespace cw::platform {

enum class ProfileEncoding {
  kBytes,    // 8-bit text, read as it is
  kUtf16Le,  // starts with FF FE
  kUtf16Be,  // starts with FE FF
};

ProfileEncoding EncodingOfProfile(std::string_view bytes);

// The text of a UTF-16 file (the byte order mark left out) in UTF-8. A unit of a
// surrogate pair that stands alone becomes its own three bytes, and a final odd
// byte is dropped, so that EncodeUtf16Profile gives back the file's units.
std::string DecodeUtf16Profile(std::string_view bytes, ProfileEncoding encoding);

// text in UTF-16 of that order, with its byte order mark. Bytes that are not
// UTF-8 stand for the characters of the same numbers (as Latin-1 reads them).
std::string EncodeUtf16Profile(std::string_view text, ProfileEncoding encoding);

}  // namespace cw::platform
