// FWUtility text natives: thin wrappers over the text and hexadecimal helpers.
#include "natives/utility/text_natives.h"

#include "natives/utility/hex_format.h"
#include "natives/utility/text.h"
#include "plugin/host_services.h"

namespace cw::natives {

StringCache::Ref toLower(StaticFunctionTag*, StringCache::Ref input) {
  try {
    return host::MakeString(text::ToLowerAscii(input.c_str()));
  } catch (...) {
    return {};
  }
}

StringCache::Ref toUpper(StaticFunctionTag*, StringCache::Ref input) {
  try {
    return host::MakeString(text::ToUpperAscii(input.c_str()));
  } catch (...) {
    return {};
  }
}

StringCache::Ref StringReplace(StaticFunctionTag*, StringCache::Ref input, StringCache::Ref search,
                               StringCache::Ref replacement) {
  try {
    return host::MakeString(
        text::ReplaceAllBounded(input.c_str(), search.c_str(), replacement.c_str()));
  } catch (...) {
    return {};
  }
}

StringCache::Ref MultiStringReplace(StaticFunctionTag*, StringCache::Ref templ,
                                    StringCache::Ref value0, StringCache::Ref value1,
                                    StringCache::Ref value2, StringCache::Ref value3,
                                    StringCache::Ref value4, StringCache::Ref value5) {
  try {
    return host::MakeString(
        text::FillPlaceholders(templ.c_str(), {value0.c_str(), value1.c_str(), value2.c_str(),
                                               value3.c_str(), value4.c_str(), value5.c_str()}));
  } catch (...) {
    return {};
  }
}

StringCache::Ref Hex(StaticFunctionTag*, std::int32_t value, std::int32_t digits) {
  try {
    return host::MakeString(FormatHex(value, digits));
  } catch (...) {
    return {};
  }
}

}  // namespace cw::natives
