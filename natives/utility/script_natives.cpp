// FWUtility natives that look into compiled script files. Each call opens the
// file, reads from the start as far as it needs and closes it again.
#include "natives/utility/script_natives.h"

#include <string>

#include "natives/utility/script_header.h"
#include "plugin/host_services.h"

namespace cw::natives {
namespace {

// One text field of the header as an engine string; "" when the file is
// missing, too short or cannot be read.
StringCache::Ref HeaderField(StringCache::Ref name, std::string script::ScriptHeader::*field) {
  try {
    const auto header =
        script::ReadScriptHeaderFile(script::ScriptPath(script::kScriptFolder, name.c_str()));
    return host::MakeString(header ? (*header).*field : std::string());
  } catch (...) {
    return {};
  }
}

}  // namespace

bool ScriptHasString(StaticFunctionTag*, StringCache::Ref name, StringCache::Ref text) {
  try {
    return script::ScriptFileHasEntry(script::ScriptPath(script::kScriptFolderLower, name.c_str()),
                                      text.c_str());
  } catch (...) {
    return false;
  }
}

std::int32_t ScriptStringCount(StaticFunctionTag*, StringCache::Ref name) {
  try {
    const auto header =
        script::ReadScriptHeaderFile(script::ScriptPath(script::kScriptFolder, name.c_str()));
    return header ? header->count : -1;
  } catch (...) {
    return -2;
  }
}

StringCache::Ref ScriptUser(StaticFunctionTag*, StringCache::Ref name) {
  return HeaderField(name, &script::ScriptHeader::user);
}

StringCache::Ref ScriptSource(StaticFunctionTag*, StringCache::Ref name) {
  return HeaderField(name, &script::ScriptHeader::source);
}

StringCache::Ref ScriptMashine(StaticFunctionTag*, StringCache::Ref name) {
  return HeaderField(name, &script::ScriptHeader::machine);
}

StringCache::Ref ScriptStringGet(StaticFunctionTag*, StringCache::Ref name, std::int32_t index) {
  try {
    const auto entry = script::ReadScriptStringFile(
        script::ScriptPath(script::kScriptFolder, name.c_str()), index);
    return host::MakeString(entry ? *entry : std::string());
  } catch (...) {
    return {};
  }
}

}  // namespace cw::natives
