// cradlewright-host: plays the script extender and the game engine so that the
// plugin can be loaded and its natives called from the command line.
#include <iostream>
#include <string>
#include <vector>

#include "host/commands/command_line.h"
#include "host/crash_report.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

int main(int argc, char** argv) {
#if defined(_WIN32)
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  _setmode(_fileno(stdout), _O_BINARY);  // texts are printed as their bytes
#endif
  cw::sim::InstallCrashReport();
  std::vector<std::string> args(argv + 1, argv + argc);
  try {
    return cw::sim::RunCommandLine(args, std::cout, std::cerr);
  } catch (const std::exception& e) {
    std::cerr << "cradlewright-host: " << e.what() << "\n";
    return 1;
  }
}
