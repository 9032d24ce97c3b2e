// Writes examples/game/Data/Scripts/CradlewrightExample.pex.
// Build and run from the source folder:
//   g++ -std=c++20 -I. -o /tmp/make_example_script
//       examples/generators/make_example_script.cpp tests/support/script_writer.cpp
//   /tmp/make_example_script [output path]
// The test ExampleScript.CommittedFileMatchesGenerator keeps the committed
// file and this generator in step.
#include <cstdio>

#include "examples/generators/example_script.h"

int main(int argc, char** argv) {
  const char* path = argc > 1 ? argv[1] : cw::script::kExampleScriptPath;
  const auto bytes = cw::script::WriteScript(cw::script::ExampleScript());
  std::FILE* file = std::fopen(path, "wb");
  if (!file) {
    std::perror(path);
    return 1;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  if (std::fclose(file) != 0 || !written) {
    std::perror(path);
    return 1;
  }
  std::printf("%s: %zu bytes\n", path, bytes.size());
  return 0;
}
