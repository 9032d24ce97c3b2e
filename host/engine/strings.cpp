// The simulated engine string cache: every distinct text is kept once for the
// life of the process, so a reference is just a pointer to its text. Like the
// engine's cache, taking a text that is already there allocates nothing.
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_set>

#include "host/engine/functions.h"

namespace cw::sim {
namespace {

struct TextHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view text) const noexcept {
    return std::hash<std::string_view>{}(text);
  }
};

const char* Intern(const char* text) {
  static std::mutex lock;
  static std::unordered_set<std::string, TextHash, std::equal_to<>> texts;
  const std::string_view wanted = text ? text : "";
  std::lock_guard<std::mutex> guard(lock);
  const auto found = texts.find(wanted);
  if (found != texts.end()) return found->c_str();
  return texts.emplace(wanted).first->c_str();
}

}  // namespace

EngineString* StringFromText(EngineString* slot, const char* text) {
  slot->text = Intern(text);
  return slot;
}

EngineString* SetStringFromText(EngineString* slot, const char* text) {
  slot->text = Intern(text);
  return slot;
}

}  // namespace cw::sim
