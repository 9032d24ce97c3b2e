// Private-profile settings files for systems without the Windows functions. The
// file is read whole and scanned by the profile text rules; a write builds the new
// text, writes it to a new file in the same folder and renames that over the old
// one, so the file is never seen half written. A file that starts with a UTF-16
// byte order mark is read and kept in UTF-16, as the Windows functions do. One
// lock serialises all calls of the process, as the Windows functions do.
#include "platform/profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <optional>

#include "platform/files.h"
#include "platform/profile_encoding.h"
#include "platform/profile_limits.h"
#include "platform/profile_text.h"

namespace cw::platform {
namespace {

std::mutex& ProfileLock() {
  static std::mutex lock;
  return lock;
}

// The bytes of a regular file (a pipe or a device is not waited for); none when
// there is no such file or it cannot be read.
std::optional<std::string> ReadWhole(const std::string& path) {
  ReadOnlyFile file(path);
  const std::optional<std::uint64_t> size = file.Size();
  if (!size || *size > std::string().max_size()) return std::nullopt;
  std::string content(static_cast<std::size_t>(*size), '\0');
  std::size_t done = 0;
  while (done < content.size()) {
    const std::optional<std::size_t> got = file.Read(content.data() + done, content.size() - done);
    if (!got) return std::nullopt;
    if (*got == 0) break;  // the file became shorter meanwhile
    done += *got;
  }
  content.resize(done);
  return content;
}

// The file's text as the profile text rules read it: UTF-8 for a UTF-16 file.
std::string TextOf(std::string bytes, ProfileEncoding encoding) {
  return encoding == ProfileEncoding::kBytes ? std::move(bytes)
                                             : DecodeUtf16Profile(bytes, encoding);
}

std::string ReadValue(const std::string& section, const std::string& key, const std::string& def,
                      std::size_t bufferSize, const std::string& path) {
  if (bufferSize == 0) return std::string();
  std::optional<std::string> found;
  if (FitProfileLimit({section, key, path})) {
    if (std::optional<std::string> bytes = ReadWhole(NativePath(path))) {
      const ProfileEncoding encoding = EncodingOfProfile(*bytes);
      found = ReadProfileValue(TextOf(std::move(*bytes), encoding), section, key);
    }
  }
  std::string value = found ? std::move(*found) : std::string(TrimTrailingBlanks(def));
  if (value.size() > bufferSize - 1) value.resize(bufferSize - 1);
  return value;
}

bool WriteAll(int fd, const std::string& data) {
  std::size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n < 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Writes data to a new file beside target and renames it over target. The new file
// gets the old one's mode when there was one.
bool ReplaceFile(const std::string& target, const std::string& data,
                 std::optional<mode_t> oldMode) {
  static std::atomic<unsigned> counter{0};
  const std::size_t slash = target.rfind('/');
  const std::string folder =
      slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = folder + "." + base + "." + std::to_string(::getpid()) + "." +
           std::to_string(counter.fetch_add(1)) + ".tmp";
    // 0666 narrowed by the process's file creation mask, as for any new file.
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;
  bool ok = (!oldMode || ::fchmod(fd, *oldMode) == 0) && WriteAll(fd, data) && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  if (ok) ok = ::rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

}  // namespace

std::string ReadProfileText(const std::string& section, const std::string& key,
                            const std::string& def, std::size_t bufferSize,
                            const std::string& path) {
  const std::lock_guard<std::mutex> hold(ProfileLock());
  return ReadValue(section, key, def, bufferSize, path);
}

int ReadProfileInt(const std::string& section, const std::string& key, int def,
                   const std::string& path) {
  std::string text;
  {
    const std::lock_guard<std::mutex> hold(ProfileLock());
    text = ReadValue(section, key, std::string(), kProfileIntTextLimit + 1, path);
  }
  if (text.empty()) return def;
  return ParseProfileInt(text);
}

bool WriteProfileText(const std::string& section, const std::string& key, const std::string& value,
                      const std::string& path) {
  if (!IsStorableProfileEntry(section, key, value)) return false;
  if (!FitProfileLimit({section, key, value, path})) return false;
  const std::lock_guard<std::mutex> hold(ProfileLock());
  std::string target = NativePath(path);
  if (target.empty() || target.back() == '/') return false;

  std::string content;
  ProfileEncoding encoding = ProfileEncoding::kBytes;
  std::optional<mode_t> mode;
  struct stat st;
  if (::stat(target.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode)) return false;
    // A read-only file stays as it is, whoever asks.
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return false;
    if (::access(target.c_str(), R_OK | W_OK) != 0) return false;
    // Replace the file a link points to, not the link.
    if (char* real = ::realpath(target.c_str(), nullptr)) {
      target = real;
      std::free(real);
    }
    std::optional<std::string> old = ReadWhole(target);
    if (!old) return false;
    encoding = EncodingOfProfile(*old);
    content = TextOf(std::move(*old), encoding);
    mode = st.st_mode & 07777;
  } else if (errno != ENOENT) {
    return false;
  }

  std::string updated = WriteProfileValue(content, section, key, value);
  if (updated == content && !content.empty()) return true;
  if (encoding != ProfileEncoding::kBytes) updated = EncodeUtf16Profile(updated, encoding);
  return ReplaceFile(target, updated, mode);
}

}  // namespace cw::platform
