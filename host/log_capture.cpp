#include "host/log_capture.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/crash_report.h"
#include "platform/log_folder.h"
#include "plugin/debug_log.h"

#if !defined(_WIN32)
#include <fcntl.h>
#include <unistd.h>
#endif

namespace cw::sim {
namespace {
std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}
}  // namespace

LogCapture::LogCapture(bool active) : active_(active) {
  if (!active_) return;
#if defined(_WIN32)
  // The script extender makes its log folder; the plugin writes its log there.
  path_ = LogFilePath(platform::DocumentsFolder(), platform::GameFolderHas("steam_api64.dll"));
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(path_).parent_path(), ec);
  std::filesystem::remove(path_, ec);
#else
  std::fflush(stderr);
  path_ = (std::filesystem::temp_directory_path() /
           ("cradlewright-host-log-" + std::to_string(::getpid()) + ".txt"))
              .string();
  const int fd = ::open(path_.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0600);
  if (fd < 0) {
    active_ = false;
    return;
  }
  savedError_ = ::dup(2);
  ::dup2(fd, 2);
  ::close(fd);
  SetCapturedLog(path_, savedError_);
#endif
}

std::string LogCapture::Finish() {
  if (!active_) return {};
  active_ = false;
#if !defined(_WIN32)
  std::fflush(stderr);
  ClearCapturedLog();
  ::dup2(savedError_, 2);
  ::close(savedError_);
  savedError_ = -1;
  std::string text = ReadAll(path_);
  std::remove(path_.c_str());
  return text;
#else
  return ReadAll(path_);
#endif
}

LogCapture::~LogCapture() {
  Finish();
}

}  // namespace cw::sim
