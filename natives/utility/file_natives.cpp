// Placeholder bodies: each answers its failure value until the native is built.
#include "natives/utility/file_natives.h"

namespace cw::natives {
std::uint32_t GetFileCount(StaticFunctionTag*, StringCache::Ref, StringCache::Ref) { return 0; }
StringCache::Ref GetFileName(StaticFunctionTag*, StringCache::Ref, StringCache::Ref, std::uint32_t) { return {}; }
bool FileExists(StaticFunctionTag*, StringCache::Ref) { return false; }
StringCache::Ref getNextAutoFile(StaticFunctionTag*, StringCache::Ref, StringCache::Ref, StringCache::Ref) { return {}; }
StringCache::Ref GetDirectoryHash(StaticFunctionTag*, StringCache::Ref) { return {}; }
}  // namespace cw::natives
