#include "plugin/debug_log.h"

#include <cstdarg>
#include <cstdio>
#include <memory>

#include "platform/log_folder.h"

namespace cw {

IDebugLog::~IDebugLog() {
  if (stream_.is_open()) stream_.close();
}

void IDebugLog::Message(const char* format, ...) {
  std::unique_ptr<char[]> buffer(new (std::nothrow) char[bufferSize_]);
  if (!buffer) return;
  va_list args;
  va_start(args, format);
  const int written = std::vsnprintf(buffer.get(), bufferSize_, format, args);
  va_end(args);
  if (written < 0) buffer[0] = '\0';
  buffer[bufferSize_ - 1] = '\0';
  {
    std::lock_guard<std::mutex> guard(lock_);
    if (stream_.is_open()) {
      stream_ << buffer.get() << '\n';
      stream_.flush();
    }
  }
  if (callback_) callback_(buffer.get());
}

bool IDebugLog::Open(const std::string& path) {
  std::lock_guard<std::mutex> guard(lock_);
  if (stream_.is_open()) stream_.close();
  stream_.clear();
  stream_.open(path, std::ios::out | std::ios::trunc);
  return stream_.is_open();
}

void IDebugLog::Close() {
  std::lock_guard<std::mutex> guard(lock_);
  if (stream_.is_open()) stream_.close();
}

std::string LogFilePath(const std::string& documents, bool steamEdition) {
  if (documents.empty()) return {};
  std::string path = documents;
  if (path.back() != '\\' && path.back() != '/') path += '\\';
  path += steamEdition ? "My Games\\Skyrim Special Edition\\SKSE\\"
                       : "My Games\\Skyrim Special Edition GOG\\SKSE\\";
  return path + "Cradlewright.log";
}

namespace {

void ToStandardError(const char* text) {
  std::fputs(text, stderr);
  std::fputc('\n', stderr);
  std::fflush(stderr);
}

void FindDestination(IDebugLog& log) {
  if (!platform::HasLogFolder()) {
    log.SetCallback(&ToStandardError);
    return;
  }
  const std::string path =
      LogFilePath(platform::DocumentsFolder(), platform::GameFolderHas("steam_api64.dll"));
  const std::size_t folderEnd = path.find_last_of('\\');
  // Only an existing folder of the script extender gets the file; nothing is created.
  if (!path.empty() && folderEnd != std::string::npos &&
      platform::IsDirectory(path.substr(0, folderEnd)))
    log.Open(path);
}

}  // namespace

IDebugLog& Log() {
  static IDebugLog* log = [] {
    auto* created = new IDebugLog;
    FindDestination(*created);
    return created;
  }();
  return *log;
}

}  // namespace cw
