#include "platform/dir_search.h"

#include <windows.h>

namespace cw::platform {
namespace {

class SearchHandle {
 public:
  explicit SearchHandle(HANDLE handle) : handle_(handle) {}
  ~SearchHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) FindClose(handle_);
  }
  SearchHandle(const SearchHandle&) = delete;
  SearchHandle& operator=(const SearchHandle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

}  // namespace

void ForEachDirectoryEntry(const std::string& pattern,
                           const std::function<bool(const char* name)>& visit) {
  WIN32_FIND_DATAA entry;
  const SearchHandle search(FindFirstFileA(pattern.c_str(), &entry));
  if (search.get() == INVALID_HANDLE_VALUE) return;
  do {
    entry.cFileName[MAX_PATH - 1] = '\0';
    if (!visit(entry.cFileName)) return;
  } while (FindNextFileA(search.get(), &entry));
}

}  // namespace cw::platform
