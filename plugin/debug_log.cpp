#include "plugin/debug_log.h"

#include <cstdarg>
#include <cstdio>
#include <memory>
#include <optional>

#include "platform/log_folder.h"

namespace cw {

IDebugLog::~IDebugLog() {
  if (stream_.is_open()) stream_.close();
}

namespace {

constexpr std::string_view kRepeatedPrefix = "Further warnings like this one are not written: ";
constexpr std::string_view kEndOfWarnings =
    "The log has reached its size limit: further warnings are not written";
// A line end counts as two bytes, as a Windows file writes it.
constexpr std::uint64_t kLineEndBytes = 2;

}  // namespace

// The formatted text; none when there is no memory for it.
std::optional<std::string> IDebugLog::Format(const char* format, std::va_list args) const {
  try {
    std::unique_ptr<char[]> buffer(new char[bufferSize_]);
    const int written = std::vsnprintf(buffer.get(), bufferSize_, format, args);
    if (written < 0) buffer[0] = '\0';
    buffer[bufferSize_ - 1] = '\0';
    return std::string(buffer.get());
  } catch (...) {
    return std::nullopt;
  }
}

void IDebugLog::Deliver(const std::string& text) {
  {
    std::lock_guard<std::mutex> guard(lock_);
    if (stream_.is_open()) {
      stream_ << text << '\n';
      stream_.flush();
    }
  }
  if (callback_) callback_(text.c_str());
}

void IDebugLog::Message(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const std::optional<std::string> text = Format(format, args);
  va_end(args);
  if (!text) return;
  {
    std::lock_guard<std::mutex> guard(countLock_);
    bytesDelivered_ += text->size() + kLineEndBytes;
  }
  Deliver(*text);
}

void IDebugLog::Warning(std::string_view kind, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::optional<std::string> formatted = Format(format, args);
  va_end(args);
  if (!formatted) return;
  std::string text = std::move(*formatted);
  std::string closing;
  try {
    std::lock_guard<std::mutex> guard(countLock_);
    if (warningsEnded_) return;
    std::string key(kind);
    key += '\0';
    key += text;
    unsigned& count = warningCounts_[key];
    if (count > kWarningRepeats) return;
    if (++count > kWarningRepeats) text.insert(0, kRepeatedPrefix);
    // Room is kept for the closing line.
    if (bytesDelivered_ + text.size() + kEndOfWarnings.size() + 2 * kLineEndBytes > warningBytes_) {
      warningsEnded_ = true;
      text.clear();
      closing = kEndOfWarnings;
      bytesDelivered_ += closing.size() + kLineEndBytes;
    } else {
      bytesDelivered_ += text.size() + kLineEndBytes;
    }
  } catch (...) {
    return;  // no memory to format or count it: the warning is dropped
  }
  Deliver(closing.empty() ? text : closing);
}

void IDebugLog::SetWarningBytes(std::uint64_t bytes) {
  std::lock_guard<std::mutex> guard(countLock_);
  warningBytes_ = bytes;
}

void IDebugLog::ResetWarnings() {
  std::lock_guard<std::mutex> guard(countLock_);
  bytesDelivered_ = 0;
  warningsEnded_ = false;
  warningCounts_.clear();
}

bool IDebugLog::Open(const std::string& path) {
  ResetWarnings();
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
