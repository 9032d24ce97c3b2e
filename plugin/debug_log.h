#pragma once
// The plugin's diagnostic log: formats each message into a fixed-size buffer,
// writes it with a line end to its file when one is open, and hands it to an
// optional callback. Warnings that scripts can cause over and over are held
// within bounds, so that no script fills the player's disk through the log.
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace cw {

class IDebugLog {
 public:
  using Callback = void (*)(const char* text);
  static constexpr std::int32_t kDefaultLevel = 3;
  static constexpr std::size_t kDefaultBufferSize = 8192;
  // The same warning (same kind and text) is written this many times; the next
  // one says that further ones are not written, and later ones are dropped.
  static constexpr unsigned kWarningRepeats = 3;
  // Once the log holds this many bytes, one closing line ends the warnings.
  static constexpr std::uint64_t kDefaultWarningBytes = std::uint64_t{1} << 20;

  IDebugLog() = default;
  virtual ~IDebugLog();
  IDebugLog(const IDebugLog&) = delete;
  IDebugLog& operator=(const IDebugLog&) = delete;

  // Formats and delivers one message; text beyond buffer size - 1 is cut. For
  // the few lines of start-up and refusal, which are always written.
  void Message(const char* format, ...);
  // As Message, for a warning of `kind` that a script may cause again and again:
  // written only while the limits above allow.
  void Warning(std::string_view kind, const char* format, ...);
  void SetWarningBytes(std::uint64_t bytes);
  // Counts every line afresh, as for a new file (Open does it too).
  void ResetWarnings();

  std::int32_t Level() const { return level_; }
  void SetLevel(std::int32_t level) { level_ = level; }
  void SetCallback(Callback callback) { callback_ = callback; }
  // Opens (appending is not wanted: each game start begins a new log) the stream.
  bool Open(const std::string& path);
  bool IsOpen() const { return stream_.is_open(); }
  void Close();

 private:
  std::optional<std::string> Format(const char* format, std::va_list args) const;
  void Deliver(const std::string& text);

  std::ofstream stream_;
  std::int32_t level_ = kDefaultLevel;
  std::size_t bufferSize_ = kDefaultBufferSize;
  std::mutex lock_;
  Callback callback_ = nullptr;

  // What the warning limits count, under their own lock.
  std::mutex countLock_;
  std::uint64_t bytesDelivered_ = 0;  // every line so far, with its line end
  std::uint64_t warningBytes_ = kDefaultWarningBytes;
  bool warningsEnded_ = false;
  std::unordered_map<std::string, unsigned> warningCounts_;  // by kind and text
};

// The process-wide log. On first use it finds its destination: the script
// extender's log folder on Windows, standard error elsewhere.
IDebugLog& Log();

// Where the log file goes for a Documents folder; `steamEdition` tells the Steam
// edition (steam_api64.dll in the game folder) from the GOG one.
std::string LogFilePath(const std::string& documents, bool steamEdition);

}  // namespace cw
