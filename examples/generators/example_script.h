#pragma once
// The example compiled script shipped in examples/game/Data/Scripts/.
#include "tests/support/script_writer.h"

namespace cw::script {

inline constexpr const char* kExampleScriptPath =
    "examples/game/Data/Scripts/CradlewrightExample.pex";

inline ScriptImage ExampleScript() {
  ScriptImage image;
  image.compiled = 0x0000000065A1B2C3ull;
  image.source = "CradlewrightExample.psc";
  image.user = "modder";
  image.machine = "WORKSHOP";
  image.strings = {"CradlewrightExample", "OnInit", "GetState", "Cradlewright", "self"};
  return image;
}

}  // namespace cw::script
