#include "platform/profile_limits.h"

#include "platform/profile_text.h"

namespace cw::platform {

bool FitProfileLimit(std::initializer_list<std::string_view> texts) {
  for (std::string_view text : texts)
    if (text.size() > kMaxProfileTextBytes) return false;
  return true;
}

std::string BoundedProfileDefault(std::string_view def, std::size_t bufferSize) {
  const std::string_view kept = TrimTrailingBlanks(def);
  // The reader drops trailing blanks itself, so dropping them here changes nothing.
  if (kept.size() < bufferSize) return std::string(def.size() <= kMaxProfileTextBytes ? def : kept);
  if (bufferSize == 0) return std::string();
  std::string bounded(kept.substr(0, bufferSize - 1));
  bounded += '.';
  return bounded;
}

}  // namespace cw::platform
