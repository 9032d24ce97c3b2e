#include "natives/utility/ini_settings.h"

#include <array>

#include "natives/utility/data_path.h"
#include "natives/utility/float_text.h"
#include "natives/utility/hex_format.h"
#include "platform/profile.h"
#include "platform/profile_limits.h"
#include "plugin/debug_log.h"

namespace cw::utility {
namespace {

constexpr std::size_t kTextBuffer = 500;
constexpr std::size_t kFloatBuffer = 20;
constexpr std::size_t kHexTextLimit = 10;
static_assert(platform::kMaxProfileTextBytes == 32000, "the refusal line names the limit");

constexpr std::size_t kShownPathBytes = 300;

// Why a write is refused before anything is written: the end of its log line,
// one text for each kind of refusal; none when the write may go ahead.
std::optional<std::string_view> RefusalReason(const std::string& path, const std::string& section,
                                              const std::string& key, const std::string& value) {
  if (!platform::FitProfileLimit({section, key, value, path}))
    return "has a section, key, value or path longer than 32000 bytes";
  switch (PlaceOfPath(path)) {
    case PathPlace::kInsideData:
      return std::nullopt;
    case PathPlace::kOutsideData:
      return "leads outside the Data folder";
    case PathPlace::kDevice:
      return "names a Windows device";
    case PathPlace::kColon:
      return "holds a colon (a drive or a stream)";
  }
  return "leads outside the Data folder";
}

// One warning line naming the path (its first 300 bytes, control characters shown
// as "?") and the reason.
void WarnRefused(const std::string& path, std::string_view reason) {
  IDebugLog& log = Log();
  if (log.Level() < 2) return;
  std::string shown = path.substr(0, kShownPathBytes);
  for (char& c : shown)
    if (static_cast<unsigned char>(c) < 0x20 || c == '\x7F') c = '?';
  if (path.size() > kShownPathBytes) shown += "...";
  const std::string kind(reason);
  log.Warning(kind, "INI setting not written: %s %s", shown.c_str(), kind.c_str());
}

}  // namespace

std::string IniFilePath(std::string_view category, std::string_view file) {
  std::string path = "Data\\Cradlewright\\";
  path += category;
  if (path.back() != '/' && path.back() != '\\') path += '\\';
  path += file;
  return path;
}

std::string ReadIniText(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& def) {
  return platform::ReadProfileText(section, key, def, kTextBuffer, path);
}

bool IsTrueText(std::string_view text) {
  static constexpr std::array<std::string_view, 9> kTrue = {"1",    "y",   "Y",   "true", "True",
                                                            "TRUE", "yes", "Yes", "YES"};
  for (std::string_view t : kTrue)
    if (text == t) return true;
  return false;
}

bool ReadIniBool(const std::string& path, const std::string& section, const std::string& key,
                 bool def) {
  return IsTrueText(ReadIniText(path, section, key, def ? "True" : "False"));
}

std::optional<std::int32_t> HexSettingValue(std::string_view text) {
  if (text.size() > kHexTextLimit || text.substr(0, 2) != "0x") return std::nullopt;
  std::size_t i = 2;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  std::int64_t value = 0;  // at most 8 digits fit in a text of 10
  for (; i < text.size() && HexDigitValue(text[i]) >= 0; ++i)
    value = value * 16 + HexDigitValue(text[i]);
  if (negative) value = -value;
  if (value > 0x7FFFFFFF) return 0x7FFFFFFF;
  return static_cast<std::int32_t>(value);
}

std::int32_t ReadIniInt(const std::string& path, const std::string& section, const std::string& key,
                        std::int32_t def) {
  if (std::optional<std::int32_t> hex = HexSettingValue(ReadIniText(path, section, key, "")))
    return *hex;
  return platform::ReadProfileInt(section, key, def, path);
}

float ReadIniFloat(const std::string& path, const std::string& section, const std::string& key,
                   float def) {
  const std::string text =
      platform::ReadProfileText(section, key, FormatShortFloat(def), kFloatBuffer, path);
  return NarrowToFloat(ParseLeadingNumber(text));
}

bool WriteIniText(const std::string& path, const std::string& section, const std::string& key,
                  const std::string& value) {
  if (const std::optional<std::string_view> reason = RefusalReason(path, section, key, value)) {
    WarnRefused(path, *reason);
    return false;
  }
  return platform::WriteProfileText(section, key, value, path);
}

bool WriteIniBool(const std::string& path, const std::string& section, const std::string& key,
                  bool value) {
  return WriteIniText(path, section, key, value ? "True" : "False");
}

bool WriteIniInt(const std::string& path, const std::string& section, const std::string& key,
                 std::int32_t value) {
  return WriteIniText(path, section, key, std::to_string(value));
}

bool WriteIniFloat(const std::string& path, const std::string& section, const std::string& key,
                   float value) {
  return WriteIniText(path, section, key, FormatSettingFloat(value));
}

}  // namespace cw::utility
