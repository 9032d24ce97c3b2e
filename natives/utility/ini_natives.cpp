// Placeholder bodies: each answers its failure value until the native is built.
#include "natives/utility/ini_natives.h"

namespace cw::natives {
Str getIniPath(StaticFunctionTag*, Str, Str) { return {}; }
Str getIniString(StaticFunctionTag*, Str, Str, Str, Str) { return {}; }
bool getIniBool(StaticFunctionTag*, Str, Str, Str, bool) { return false; }
std::int32_t getIniInt(StaticFunctionTag*, Str, Str, Str, std::int32_t) { return 0; }
float getIniFloat(StaticFunctionTag*, Str, Str, Str, float) { return 0.0f; }
Str getIniCString(StaticFunctionTag*, Str, Str, Str, Str, Str) { return {}; }
bool getIniCBool(StaticFunctionTag*, Str, Str, Str, Str, bool) { return false; }
std::int32_t getIniCInt(StaticFunctionTag*, Str, Str, Str, Str, std::int32_t) { return 0; }
float getIniCFloat(StaticFunctionTag*, Str, Str, Str, Str, float) { return 0.0f; }
void setIniString(StaticFunctionTag*, Str, Str, Str, Str) { }
void setIniBool(StaticFunctionTag*, Str, Str, Str, bool) { }
void setIniInt(StaticFunctionTag*, Str, Str, Str, std::int32_t) { }
void setIniFloat(StaticFunctionTag*, Str, Str, Str, float) { }
void setIniCString(StaticFunctionTag*, Str, Str, Str, Str, Str) { }
void setIniCBool(StaticFunctionTag*, Str, Str, Str, Str, bool) { }
void setIniCInt(StaticFunctionTag*, Str, Str, Str, Str, std::int32_t) { }
void setIniCFloat(StaticFunctionTag*, Str, Str, Str, Str, float) { }
}  // namespace cw::natives
