// The simulated engine string cache: every distinct text is kept once for the
// life of the process, so a reference is just a pointer to its text.
#include <mutex>
#include <string>
#include <unordered_set>

#include "plugin/engine_api.h"

namespace cw::engine::decl {
namespace {

const char* Intern(const char* text) {
  static std::mutex lock;
  static std::unordered_set<std::string> texts;
  std::lock_guard<std::mutex> guard(lock);
  return texts.emplace(text ? text : "").first->c_str();
}

}  // namespace

StringCache::Ref* CreateString(StringCache::Ref* slot, const char* text) {
  slot->data = Intern(text);
  return slot;
}

StringCache::Ref* SetString(StringCache::Ref* slot, const char* text) {
  slot->data = Intern(text);
  return slot;
}

}  // namespace cw::engine::decl
