#include "tests/support/process.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "host/runtime_host.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace cw::test {
namespace fs = std::filesystem;
namespace {

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

fs::path TempName(const char* what) {
  static std::mt19937_64 random{std::random_device{}()};
  return fs::temp_directory_path() / ("cw_proc_" + std::to_string(random()) + "_" + what + ".txt");
}

}  // namespace

std::string HostProgram() {
#if defined(_WIN32)
  char buffer[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
  return (fs::path(std::string(buffer, n)).parent_path() / "cradlewright-host.exe").string();
#else
  return (fs::read_symlink("/proc/self/exe").parent_path() / "cradlewright-host").string();
#endif
}

std::string TestPlugin(const std::string& name) {
#if defined(_WIN32)
  const char* suffix = ".dll";
#else
  const char* suffix = ".so";
#endif
  return (fs::path(HostProgram()).parent_path() / (name + suffix)).string();
}

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input) {
  const fs::path in = TempName("in"), out = TempName("out"), err = TempName("err");
  { std::ofstream(in, std::ios::binary) << input; }
  ProcessResult result;
#if defined(_WIN32)
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  auto open = [&](const fs::path& p, bool write) {
    return CreateFileA(p.string().c_str(), write ? GENERIC_WRITE : GENERIC_READ,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                       write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  };
  HANDLE hin = open(in, false), hout = open(out, true), herr = open(err, true);
  std::string command = sim::QuoteWindowsArgument(program);
  for (const std::string& a : args) {
    command.push_back(' ');
    command.append(sim::QuoteWindowsArgument(a));
  }
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = hin;
  startup.hStdOutput = hout;
  startup.hStdError = herr;
  PROCESS_INFORMATION info{};
  if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                     &info)) {
    WaitForSingleObject(info.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(info.hProcess, &code);
    result.status = static_cast<int>(code);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
  } else {
    result.err = "cannot start " + program + " (error " + std::to_string(GetLastError()) + ")";
  }
  CloseHandle(hin);
  CloseHandle(hout);
  CloseHandle(herr);
#else
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    const int fin = ::open(in.c_str(), O_RDONLY);
    const int fout = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int ferr = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(fin, 0);
    ::dup2(fout, 1);
    ::dup2(ferr, 2);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  int status = 0;
  if (pid > 0 && ::waitpid(pid, &status, 0) == pid)
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
#endif
  result.out = ReadAll(out);
  result.err += ReadAll(err);
  std::error_code ec;
  fs::remove(in, ec);
  fs::remove(out, ec);
  fs::remove(err, ec);
  return result;
}

ProcessResult RunHost(const std::vector<std::string>& args, const std::string& input) {
  return RunProcess(HostProgram(), args, input);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

}  // namespace cw::test
