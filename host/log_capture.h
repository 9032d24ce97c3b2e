#pragma once
// Collects what the plugin writes to its log while it starts: on POSIX its log
// is standard error, on Windows a file in the script extender's log folder.
#include <string>

namespace cw::sim {

class LogCapture {
 public:
  explicit LogCapture(bool active);
  ~LogCapture();
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;
  // Stops collecting and returns the text.
  std::string Finish();

 private:
  bool active_;
  int savedError_ = -1;
  std::string path_;
};

}  // namespace cw::sim
