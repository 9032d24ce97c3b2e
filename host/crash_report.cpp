#include "host/crash_report.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>
#endif

#if defined(__SANITIZE_ADDRESS__)
#define CW_WITH_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CW_WITH_ASAN 1
#endif
#endif
#if defined(CW_WITH_ASAN)
#include <sanitizer/common_interface_defs.h>
#endif

namespace cw::sim {
namespace {

// Read by the crash handler, which may use nothing that allocates or locks.
char g_logPath[4096] = {};
int g_savedError = -1;

#if !defined(_WIN32)
void WriteText(const char* text) {
  std::size_t left = std::strlen(text);
  while (left > 0) {
    const ssize_t written = ::write(2, text, left);
    if (written <= 0) return;
    text += written;
    left -= static_cast<std::size_t>(written);
  }
}

// Standard error back where it was, then the captured log (which holds the
// sanitizer's report when one wrote it) onto it, and the file removed.
void ShowCapturedLog() {
  if (g_savedError >= 0) {
    ::dup2(g_savedError, 2);
    g_savedError = -1;
  }
  if (g_logPath[0] == '\0') return;
  const int fd = ::open(g_logPath, O_RDONLY);
  if (fd >= 0) {
    char buffer[4096];
    ssize_t got;
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0)
      if (::write(2, buffer, static_cast<std::size_t>(got)) != got) break;
    ::close(fd);
  }
  ::unlink(g_logPath);
  g_logPath[0] = '\0';
}

#if defined(CW_WITH_ASAN)
void OnSanitizerDeath() {
  ShowCapturedLog();
  WriteText("cradlewright-host: crashed: stopped by the sanitizer (its report is above)\n");
  ::_exit(kCrashedStatus);
}
#else
void OnSignal(int signal, siginfo_t* info, void*) {
  ShowCapturedLog();
  char line[160];
  std::snprintf(line, sizeof line, "cradlewright-host: crashed: signal %d (%s) at address %p\n",
                signal, ::strsignal(signal), info ? info->si_addr : nullptr);
  WriteText(line);
  ::_exit(kCrashedStatus);
}
#endif
#else
LONG WINAPI OnException(EXCEPTION_POINTERS* pointers) {
  const EXCEPTION_RECORD* record = pointers->ExceptionRecord;
  char module[MAX_PATH] = "an unknown module";
  HMODULE owner = nullptr;
  std::uintptr_t offset = 0;
  if (GetModuleHandleExA(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          static_cast<LPCSTR>(record->ExceptionAddress), &owner) &&
      GetModuleFileNameA(owner, module, sizeof module) > 0)
    offset = reinterpret_cast<std::uintptr_t>(record->ExceptionAddress) -
             reinterpret_cast<std::uintptr_t>(owner);
  char line[MAX_PATH + 200];
  std::snprintf(line, sizeof line, "cradlewright-host: crashed: exception 0x%08lx at %s+0x%llx\n",
                static_cast<unsigned long>(record->ExceptionCode), module,
                static_cast<unsigned long long>(offset));
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_ERROR_HANDLE), line, static_cast<DWORD>(std::strlen(line)), &written,
            nullptr);
  TerminateProcess(GetCurrentProcess(), kCrashedStatus);
  return EXCEPTION_EXECUTE_HANDLER;
}
#endif

}  // namespace

void InstallCrashReport() {
#if defined(_WIN32)
  SetUnhandledExceptionFilter(OnException);
#elif defined(CW_WITH_ASAN)
  // The sanitizer reports the crash itself; it only needs to end this way.
  __sanitizer_set_death_callback(OnSanitizerDeath);
#else
  static char alternateStack[64 * 1024];  // a stack overflow still gets its report
  stack_t stack{};
  stack.ss_sp = alternateStack;
  stack.ss_size = sizeof alternateStack;
  ::sigaltstack(&stack, nullptr);
  struct sigaction action {};
  action.sa_sigaction = OnSignal;
  action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESETHAND;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT})
    ::sigaction(signal, &action, nullptr);
#endif
}

void SetCapturedLog(const std::string& path, int savedError) {
  std::snprintf(g_logPath, sizeof g_logPath, "%s", path.c_str());
  g_savedError = savedError;
}

void ClearCapturedLog() {
  g_logPath[0] = '\0';
  g_savedError = -1;
}

}  // namespace cw::sim
