#pragma once
#include <cstdint>

#include "plugin/engine_types.h"

namespace cw::natives {
StringCache::Ref toLower(StaticFunctionTag*, StringCache::Ref text);
StringCache::Ref toUpper(StaticFunctionTag*, StringCache::Ref text);
StringCache::Ref StringReplace(StaticFunctionTag*, StringCache::Ref text, StringCache::Ref search,
                               StringCache::Ref replacement);
StringCache::Ref MultiStringReplace(StaticFunctionTag*, StringCache::Ref templ,
                                    StringCache::Ref value0, StringCache::Ref value1,
                                    StringCache::Ref value2, StringCache::Ref value3,
                                    StringCache::Ref value4, StringCache::Ref value5);
StringCache::Ref Hex(StaticFunctionTag*, std::int32_t value, std::int32_t digits);
}  // namespace cw::natives
