#pragma once
// cradlewright-host's command line.
#include <iosfwd>
#include <string>
#include <vector>

namespace cw::sim {

// Runs the program with its arguments (without the program name); returns the
// exit status: 0 done, 1 plugin not loaded or refused, 2 usage error.
int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace cw::sim
