// FWUtility natives over the files of the mod folder. Each is a thin wrapper: the
// work is done in mod_files and directory_hash, and nothing escapes to the VM.
#include "natives/utility/file_natives.h"

#include "natives/utility/directory_hash.h"
#include "natives/utility/mod_files.h"
#include "plugin/host_services.h"

namespace cw::natives {
std::uint32_t GetFileCount(StaticFunctionTag*, StringCache::Ref folder,
                           StringCache::Ref extension) {
  try {
    return utility::CountModFiles(folder.c_str(), extension.c_str());
  } catch (...) {
    return 0;
  }
}

StringCache::Ref GetFileName(StaticFunctionTag*, StringCache::Ref folder,
                             StringCache::Ref extension, std::uint32_t index) {
  try {
    return host::MakeString(utility::ModFileName(folder.c_str(), extension.c_str(), index));
  } catch (...) {
    return {};  // the empty text
  }
}

bool FileExists(StaticFunctionTag*, StringCache::Ref file) {
  try {
    return utility::ModFileExists(file.c_str());
  } catch (...) {
    return false;
  }
}

StringCache::Ref getNextAutoFile(StaticFunctionTag*, StringCache::Ref folder,
                                 StringCache::Ref baseName, StringCache::Ref extension) {
  try {
    return host::MakeString(
        utility::NextAutoFileName(folder.c_str(), baseName.c_str(), extension.c_str()));
  } catch (...) {
    return {};  // the empty text
  }
}

StringCache::Ref GetDirectoryHash(StaticFunctionTag*, StringCache::Ref folder) {
  try {
    return host::MakeString(utility::DirectoryHash(folder.c_str()));
  } catch (...) {
    return {};  // the empty text
  }
}

}  // namespace cw::natives
