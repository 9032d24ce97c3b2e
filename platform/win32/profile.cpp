// Private-profile settings files through the Windows functions. Every text is
// held to the profile limit before it reaches them. A write never edits the file
// in place: the change goes into a copy beside it, which replaces the file only
// once it is known to be whole, so a full disk or a crash leaves the old file as
// it was. One lock serialises all calls of the process, so that no write's copy
// misses another write's change and no read holds the file while it is replaced.
#include "platform/profile.h"

#include <windows.h>

#include <atomic>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/files.h"
#include "platform/profile_encoding.h"
#include "platform/profile_limits.h"
#include "platform/profile_text.h"

namespace cw::platform {
namespace {

// A section that a write adds to the copy last and takes out again: when it reads
// back from the copy's bytes, everything before it was written too. The profile
// functions do not always say when writing failed (wine's rewrite of a file
// ignores a full disk).
constexpr char kCheckSection[] = "Cradlewright write check 7f3a";
constexpr char kCheckKey[] = "complete";

std::mutex& ProfileLock() {
  static std::mutex lock;
  return lock;
}

// The profile functions look for a bare file name in the Windows folder; a path
// that starts with the current folder is taken as it stands.
std::string ProfilePath(const std::string& path) {
  const bool rooted = !path.empty() && (path[0] == '\\' || path[0] == '/');
  const bool drive = path.size() >= 2 && path[1] == ':';
  if (rooted || drive) return path;
  return ".\\" + path;
}

// A new name in the folder of target, no longer than target's own unless its name is short.
std::string CopyNameBeside(const std::string& target) {
  static std::atomic<unsigned> counter{0};
  const std::size_t cut = target.find_last_of("\\/");
  const std::string folder = cut == std::string::npos ? std::string() : target.substr(0, cut + 1);
  return folder + "~cw" + std::to_string(GetCurrentProcessId()) + "-" +
         std::to_string(counter.fetch_add(1)) + ".tmp";
}

// The file's bytes, or none.
std::optional<std::string> ReadBytes(const std::string& path) {
  ReadOnlyFile file(path);
  const std::optional<std::uint64_t> size = file.Size();
  if (!size || *size > 0x7FFFFFFF) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(*size), '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    const std::optional<std::size_t> got = file.Read(bytes.data() + done, bytes.size() - done);
    if (!got || *got == 0) return std::nullopt;
    done += *got;
  }
  return bytes;
}

// The text of a settings file's bytes as the profile text rules read it.
std::string TextOf(const std::string& bytes) {
  const ProfileEncoding encoding = EncodingOfProfile(bytes);
  return encoding == ProfileEncoding::kBytes ? bytes : DecodeUtf16Profile(bytes, encoding);
}

void ForgetCached(const std::string& path) {
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
}

bool FlushToDisk(const std::string& path) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool flushed = FlushFileBuffers(file) != FALSE;
  CloseHandle(file);
  return flushed;
}

// Removes the copy unless it has become the file.
class CopyBeside {
 public:
  explicit CopyBeside(std::string path) : path_(std::move(path)) {}
  ~CopyBeside() {
    if (!kept_) DeleteFileA(path_.c_str());
  }
  CopyBeside(const CopyBeside&) = delete;
  CopyBeside& operator=(const CopyBeside&) = delete;
  const std::string& path() const { return path_; }
  void Keep() { kept_ = true; }

 private:
  std::string path_;
  bool kept_ = false;
};

// The copy's change, checked on its bytes: with the check section added last the
// file must end in it, and once the section is taken out again the file must be
// what came before it.
bool WriteChecked(const std::string& section, const std::string& key, const std::string& value,
                  const std::string& copy) {
  if (!WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), copy.c_str()))
    return false;
  if (!WritePrivateProfileStringA(kCheckSection, kCheckKey, "1", copy.c_str())) return false;
  const std::optional<std::string> withCheck = ReadBytes(copy);
  if (!withCheck) return false;
  const std::string checkedText = TextOf(*withCheck);
  if (ReadProfileValue(checkedText, kCheckSection, kCheckKey) != "1") return false;
  if (!WritePrivateProfileStringA(kCheckSection, nullptr, nullptr, copy.c_str())) return false;
  const std::optional<std::string> final = ReadBytes(copy);
  if (!final) return false;
  const std::string finalText = TextOf(*final);
  return checkedText.compare(0, finalText.size(), finalText) == 0 &&
         checkedText.find(kCheckSection, finalText.size()) != std::string::npos;
}

bool ReplaceWithCopy(const std::string& section, const std::string& key, const std::string& value,
                     const std::string& target) {
  const DWORD attributes = GetFileAttributesA(target.c_str());
  const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  if (!exists && GetLastError() != ERROR_FILE_NOT_FOUND) return false;  // no folder, for one
  if (exists && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0)
    return false;

  CopyBeside copy(CopyNameBeside(target));
  if (exists && !CopyFileA(target.c_str(), copy.path().c_str(), TRUE)) return false;
  if (!WriteChecked(section, key, value, copy.path()) || !FlushToDisk(copy.path())) return false;
  // Wine keeps the files it has read in memory and takes them anew only when their
  // time of last change differs, which two writes within one tick of the file
  // system's clock do not: the copy and the file are let go of (the documented
  // flush call, which Windows answers without doing anything).
  ForgetCached(copy.path());
  // Another program may hold the file open for a moment.
  for (int attempt = 0; attempt < 5; ++attempt) {
    if (MoveFileExA(copy.path().c_str(), target.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      copy.Keep();
      ForgetCached(target);
      return true;
    }
    Sleep(20);
  }
  return false;
}

}  // namespace

std::string ReadProfileText(const std::string& section, const std::string& key,
                            const std::string& def, std::size_t bufferSize,
                            const std::string& path) {
  if (bufferSize == 0) return std::string();
  if (bufferSize > kMaxProfileTextBytes) bufferSize = kMaxProfileTextBytes;
  const std::string shownDefault = BoundedProfileDefault(def, bufferSize);
  if (!FitProfileLimit({section, key, path})) {
    std::string answer(TrimTrailingBlanks(shownDefault));
    if (answer.size() > bufferSize - 1) answer.resize(bufferSize - 1);
    return answer;
  }
  std::vector<char> buffer(bufferSize, '\0');
  {
    const std::lock_guard<std::mutex> hold(ProfileLock());
    GetPrivateProfileStringA(section.c_str(), key.c_str(), shownDefault.c_str(), buffer.data(),
                             static_cast<DWORD>(bufferSize), ProfilePath(path).c_str());
  }
  buffer.back() = '\0';
  return std::string(buffer.data());
}

int ReadProfileInt(const std::string& section, const std::string& key, int def,
                   const std::string& path) {
  if (!FitProfileLimit({section, key, path})) return def;
  const std::lock_guard<std::mutex> hold(ProfileLock());
  return static_cast<int>(
      GetPrivateProfileIntA(section.c_str(), key.c_str(), def, ProfilePath(path).c_str()));
}

bool WriteProfileText(const std::string& section, const std::string& key, const std::string& value,
                      const std::string& path) {
  if (!IsStorableProfileEntry(section, key, value)) return false;
  if (!FitProfileLimit({section, key, value, path})) return false;
  const std::lock_guard<std::mutex> hold(ProfileLock());
  return ReplaceWithCopy(section, key, value, ProfilePath(path));
}

}  // namespace cw::platform
