#include "host/runtime_host.h"

#if defined(_WIN32)
#include <windows.h>

#include <filesystem>

#include "host/plugin_library.h"
#include "platform/module.h"
#endif

namespace cw::sim {

std::string QuoteWindowsArgument(const std::string& word) {
  if (!word.empty() && word.find_first_of(" \t\n\v\"") == std::string::npos) return word;
  std::string quoted = "\"";
  for (std::size_t i = 0;; ++i) {
    std::size_t backslashes = 0;
    while (i < word.size() && word[i] == '\\') {
      ++i;
      ++backslashes;
    }
    if (i == word.size()) {  // before the closing quote every backslash is doubled
      quoted.append(backslashes * 2, '\\');
      break;
    }
    if (word[i] == '"') {
      quoted.append(backslashes * 2 + 1, '\\');
    } else {
      quoted.append(backslashes, '\\');
    }
    quoted.push_back(word[i]);
  }
  quoted.push_back('"');
  return quoted;
}

#if defined(_WIN32)
std::optional<int> RunOnHostOfRuntime(const std::string& runtime,
                                      const std::vector<std::string>& args, std::ostream& err) {
  // This program's version resource is what the plugin reads as the game's.
  std::string own;
  platform::ExecutableVersionTexts(nullptr, &own);
  if (runtime == own) return std::nullopt;
  const std::filesystem::path other =
      std::filesystem::path(ProgramFolder()) / ("cradlewright-host-" + runtime + ".exe");
  std::error_code ec;
  if (!std::filesystem::exists(other, ec)) {
    err << "cradlewright-host: this host runs as game version " << own << "; for " << runtime
        << " there is no " << other.filename().string() << " beside it\n";
    return 2;
  }
  std::string commandLine = QuoteWindowsArgument(other.string());
  for (const std::string& a : args) commandLine += " " + QuoteWindowsArgument(a);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(other.string().c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0,
                      nullptr, nullptr, &startup, &process)) {
    err << "cradlewright-host: cannot start " << other.string() << " (error " << GetLastError()
        << ")\n";
    return 1;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 1;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(status);
}
#else
std::optional<int> RunOnHostOfRuntime(const std::string&, const std::vector<std::string>&,
                                      std::ostream&) {
  return std::nullopt;
}
#endif

}  // namespace cw::sim
