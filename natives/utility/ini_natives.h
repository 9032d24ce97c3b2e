#pragma once
#include <cstdint>

#include "plugin/engine_types.h"

namespace cw::natives {
using Str = StringCache::Ref;
Str getIniPath(StaticFunctionTag*, Str category, Str file);
Str getIniString(StaticFunctionTag*, Str category, Str file, Str key, Str def);
bool getIniBool(StaticFunctionTag*, Str category, Str file, Str key, bool def);
std::int32_t getIniInt(StaticFunctionTag*, Str category, Str file, Str key, std::int32_t def);
float getIniFloat(StaticFunctionTag*, Str category, Str file, Str key, float def);
Str getIniCString(StaticFunctionTag*, Str category, Str file, Str section, Str key, Str def);
bool getIniCBool(StaticFunctionTag*, Str category, Str file, Str section, Str key, bool def);
std::int32_t getIniCInt(StaticFunctionTag*, Str category, Str file, Str section, Str key,
                        std::int32_t def);
float getIniCFloat(StaticFunctionTag*, Str category, Str file, Str section, Str key, float def);
void setIniString(StaticFunctionTag*, Str category, Str file, Str key, Str value);
void setIniBool(StaticFunctionTag*, Str category, Str file, Str key, bool value);
void setIniInt(StaticFunctionTag*, Str category, Str file, Str key, std::int32_t value);
void setIniFloat(StaticFunctionTag*, Str category, Str file, Str key, float value);
void setIniCString(StaticFunctionTag*, Str category, Str file, Str section, Str key, Str value);
void setIniCBool(StaticFunctionTag*, Str category, Str file, Str section, Str key, bool value);
void setIniCInt(StaticFunctionTag*, Str category, Str file, Str section, Str key,
                std::int32_t value);
void setIniCFloat(StaticFunctionTag*, Str category, Str file, Str section, Str key, float value);
}  // namespace cw::natives
