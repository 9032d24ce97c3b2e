#pragma once
// A crash inside the plugin (or anywhere in this program) never ends the host
// silently: the report of the crash is printed on standard error, with what the
// plugin had written to its log so far, the log file made for start-up is
// removed, and the program ends with kCrashedStatus.
#include <string>

namespace cw::sim {

inline constexpr int kCrashedStatus = 4;

// Once, at program start.
void InstallCrashReport();

// While the plugin's log goes to the file at `path` in place of standard error,
// whose own descriptor was saved as `savedError` (POSIX): a crash prints that
// file on standard error and removes it. Cleared with ClearCapturedLog().
void SetCapturedLog(const std::string& path, int savedError);
void ClearCapturedLog();

}  // namespace cw::sim
