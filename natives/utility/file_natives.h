#pragma once
#include <cstdint>

#include "plugin/engine_types.h"

namespace cw::natives {
std::uint32_t GetFileCount(StaticFunctionTag*, StringCache::Ref folder, StringCache::Ref extension);
StringCache::Ref GetFileName(StaticFunctionTag*, StringCache::Ref folder,
                             StringCache::Ref extension, std::uint32_t index);
bool FileExists(StaticFunctionTag*, StringCache::Ref file);
StringCache::Ref getNextAutoFile(StaticFunctionTag*, StringCache::Ref folder,
                                 StringCache::Ref baseName, StringCache::Ref extension);
StringCache::Ref GetDirectoryHash(StaticFunctionTag*, StringCache::Ref folder);
}  // namespace cw::natives
