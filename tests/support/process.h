#pragma once
// Runs a program of the build (the host simulator) and collects what it printed.
#include <string>
#include <vector>

namespace cw::test {

struct ProcessResult {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs `program` with `args` and `input` on its standard input.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input = "");

// cradlewright-host as built next to the test program.
std::string HostProgram();

// A test plugin built beside the host: `name` without the system's suffix.
std::string TestPlugin(const std::string& name);

// Runs cradlewright-host.
ProcessResult RunHost(const std::vector<std::string>& args, const std::string& input = "");

// The lines of a program's output, with either line end.
std::vector<std::string> Lines(const std::string& text);

}  // namespace cw::test
