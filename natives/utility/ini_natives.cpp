// FWUtility natives over INI settings of the mod folder. In the plain family the
// category names both the sub-folder and the section; the "C" family takes the
// section as its own argument. Each native is a thin wrapper over ini_settings,
// and nothing escapes to the VM.
#include "natives/utility/ini_natives.h"

#include <string>

#include "natives/utility/ini_settings.h"
#include "plugin/host_services.h"

namespace cw::natives {
namespace {

std::string PathOf(Str category, Str file) {
  return utility::IniFilePath(category.c_str(), file.c_str());
}

Str ReadText(Str category, Str file, const char* section, Str key, Str def) noexcept {
  try {
    return host::MakeString(
        utility::ReadIniText(PathOf(category, file), section, key.c_str(), def.c_str()));
  } catch (...) {
    return {};  // the empty text
  }
}

bool ReadBool(Str category, Str file, const char* section, Str key, bool def) noexcept {
  try {
    return utility::ReadIniBool(PathOf(category, file), section, key.c_str(), def);
  } catch (...) {
    return false;
  }
}

std::int32_t ReadInt(Str category, Str file, const char* section, Str key,
                     std::int32_t def) noexcept {
  try {
    return utility::ReadIniInt(PathOf(category, file), section, key.c_str(), def);
  } catch (...) {
    return 0;
  }
}

float ReadFloat(Str category, Str file, const char* section, Str key, float def) noexcept {
  try {
    return utility::ReadIniFloat(PathOf(category, file), section, key.c_str(), def);
  } catch (...) {
    return 0.0f;
  }
}

template <class Write, class Value>
void WriteSetting(Write write, Str category, Str file, const char* section, Str key,
                  Value value) noexcept {
  try {
    write(PathOf(category, file), section, key.c_str(), value);
  } catch (...) {
  }
}

}  // namespace

Str getIniPath(StaticFunctionTag*, Str category, Str file) {
  try {
    return host::MakeString(PathOf(category, file));
  } catch (...) {
    return {};  // the empty text
  }
}

Str getIniString(StaticFunctionTag*, Str category, Str file, Str key, Str def) {
  return ReadText(category, file, category.c_str(), key, def);
}
bool getIniBool(StaticFunctionTag*, Str category, Str file, Str key, bool def) {
  return ReadBool(category, file, category.c_str(), key, def);
}
std::int32_t getIniInt(StaticFunctionTag*, Str category, Str file, Str key, std::int32_t def) {
  return ReadInt(category, file, category.c_str(), key, def);
}
float getIniFloat(StaticFunctionTag*, Str category, Str file, Str key, float def) {
  return ReadFloat(category, file, category.c_str(), key, def);
}

Str getIniCString(StaticFunctionTag*, Str category, Str file, Str section, Str key, Str def) {
  return ReadText(category, file, section.c_str(), key, def);
}
bool getIniCBool(StaticFunctionTag*, Str category, Str file, Str section, Str key, bool def) {
  return ReadBool(category, file, section.c_str(), key, def);
}
std::int32_t getIniCInt(StaticFunctionTag*, Str category, Str file, Str section, Str key,
                        std::int32_t def) {
  return ReadInt(category, file, section.c_str(), key, def);
}
float getIniCFloat(StaticFunctionTag*, Str category, Str file, Str section, Str key, float def) {
  return ReadFloat(category, file, section.c_str(), key, def);
}

void setIniString(StaticFunctionTag*, Str category, Str file, Str key, Str value) {
  WriteSetting(utility::WriteIniText, category, file, category.c_str(), key, value.c_str());
}
void setIniBool(StaticFunctionTag*, Str category, Str file, Str key, bool value) {
  WriteSetting(utility::WriteIniBool, category, file, category.c_str(), key, value);
}
void setIniInt(StaticFunctionTag*, Str category, Str file, Str key, std::int32_t value) {
  WriteSetting(utility::WriteIniInt, category, file, category.c_str(), key, value);
}
void setIniFloat(StaticFunctionTag*, Str category, Str file, Str key, float value) {
  WriteSetting(utility::WriteIniFloat, category, file, category.c_str(), key, value);
}

void setIniCString(StaticFunctionTag*, Str category, Str file, Str section, Str key, Str value) {
  WriteSetting(utility::WriteIniText, category, file, section.c_str(), key, value.c_str());
}
void setIniCBool(StaticFunctionTag*, Str category, Str file, Str section, Str key, bool value) {
  WriteSetting(utility::WriteIniBool, category, file, section.c_str(), key, value);
}
void setIniCInt(StaticFunctionTag*, Str category, Str file, Str section, Str key,
                std::int32_t value) {
  WriteSetting(utility::WriteIniInt, category, file, section.c_str(), key, value);
}
void setIniCFloat(StaticFunctionTag*, Str category, Str file, Str section, Str key, float value) {
  WriteSetting(utility::WriteIniFloat, category, file, section.c_str(), key, value);
}

}  // namespace cw::natives
