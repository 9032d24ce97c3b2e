#pragma once
// What natives need from the engine. Every operation here reaches the engine
// through its resolved address; nothing else in the plugin knows an address.
#include <cstdint>
#include <string>
#include <string_view>

#include "plugin/engine_types.h"

namespace cw::host {

// A new engine string holding a copy of the text (the empty text for null).
StringCache::Ref MakeString(const char* text);
inline StringCache::Ref MakeString(const std::string& text) {
  return MakeString(text.c_str());
}

// The form with that form ID, or null.
TESForm* LookupFormByID(std::uint32_t formID);

// The engine's loaded data; null before the engine has it.
const DataHandler* GetDataHandler();

}  // namespace cw::host
