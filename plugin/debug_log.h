#pragma once
// The plugin's diagnostic log: formats each message into a fixed-size buffer,
// writes it with a line end to its file when one is open, and hands it to an
// optional callback.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <mutex>
#include <string>

namespace cw {

class IDebugLog {
 public:
  using Callback = void (*)(const char* text);
  static constexpr std::int32_t kDefaultLevel = 3;
  static constexpr std::size_t kDefaultBufferSize = 8192;

  IDebugLog() = default;
  virtual ~IDebugLog();
  IDebugLog(const IDebugLog&) = delete;
  IDebugLog& operator=(const IDebugLog&) = delete;

  // Formats and delivers one message; text beyond buffer size - 1 is cut.
  void Message(const char* format, ...);

  std::int32_t Level() const { return level_; }
  void SetLevel(std::int32_t level) { level_ = level; }
  void SetCallback(Callback callback) { callback_ = callback; }
  // Opens (appending is not wanted: each game start begins a new log) the stream.
  bool Open(const std::string& path);
  bool IsOpen() const { return stream_.is_open(); }
  void Close();

 private:
  std::ofstream stream_;
  std::int32_t level_ = kDefaultLevel;
  std::size_t bufferSize_ = kDefaultBufferSize;
  std::mutex lock_;
  Callback callback_ = nullptr;
};

// The process-wide log. On first use it finds its destination: the script
// extender's log folder on Windows, standard error elsewhere.
IDebugLog& Log();

// Where the log file goes for a Documents folder; `steamEdition` tells the Steam
// edition (steam_api64.dll in the game folder) from the GOG one.
std::string LogFilePath(const std::string& documents, bool steamEdition);

}  // namespace cw
