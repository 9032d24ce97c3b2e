// Test program entry: on Windows a crash prints instead of opening a dialog.
#include <gtest/gtest.h>

#include "plugin/debug_log.h"
#if defined(_WIN32)
#include <windows.h>
#endif

int main(int argc, char** argv) {
#if defined(_WIN32)
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
#endif
  // Tests of the plugin's start-up write to its log in this process: keep them out
  // of the log file that the plugin, run by the host simulator, writes.
  cw::Log().Close();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
