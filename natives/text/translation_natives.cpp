// The natives of FWTextContents: thin wrappers over the process-wide translation
// store. Each catches everything and answers its failure value.
#include "natives/text/translation_natives.h"

#include "natives/text/translation_store.h"
#include "plugin/host_services.h"

namespace cw::natives {

void IOReadTranslation(StaticFunctionTag*, StringCache::Ref language) {
  try {
    text::GlobalTranslationStore().Load(language.c_str());
  } catch (...) {
  }
}

StringCache::Ref getLangText(StaticFunctionTag*, StringCache::Ref key) {
  try {
    return host::MakeString(text::GlobalTranslationStore().Lookup(key.c_str()));
  } catch (...) {
    return {};
  }
}

std::uint32_t getLangSize(StaticFunctionTag*) {
  try {
    return text::GlobalTranslationStore().Size();
  } catch (...) {
    return 0;
  }
}

StringCache::Ref getFilePath(StaticFunctionTag*) {
  try {
    return host::MakeString(text::GlobalTranslationStore().Path());
  } catch (...) {
    return {};
  }
}

std::uint32_t getErrorCode(StaticFunctionTag*) {
  try {
    return text::GlobalTranslationStore().Status();
  } catch (...) {
    return 0;
  }
}

}  // namespace cw::natives
