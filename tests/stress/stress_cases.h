#pragma once
// What the stress run calls: every native of the plugin, over a copy of the example
// game folder with a few files of its own, and the answers each call may give while
// other threads load translations and write INI files.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "host/session.h"

namespace cw::stress {

struct StressCase {
  std::string native;  // "Class.name"
  std::vector<std::string> arguments;
  std::vector<std::string> answers;  // any of these is a valid answer
};

// The loaded data of the simulated engine: mods, forms and quests.
void AddEngineData(sim::SessionOptions* options);

// Writes the files that the cases read into the game folder (next to a copy of
// the example game).
void WriteStressFiles(const std::filesystem::path& gameDir);

// The calls that thread number `thread` makes over and over. Its INI writes go
// to a file of its own and to its own section of one shared file, never to a
// file that the cases read.
std::vector<StressCase> StressCases(int thread);

// Calls whose answers show, once every thread has stopped, that the writes of
// thread number `thread` all arrived.
std::vector<StressCase> WrittenValues(int thread);

// The forms and quests that the cases hand to scripts as bound objects: form type
// (0 Form, 77 Quest) and form ID.
struct BoundForm {
  std::uint32_t formType;
  std::uint32_t formID;
};
std::vector<BoundForm> BoundForms();

// Every native of the plugin, to check that the cases call all of them.
inline constexpr int kNativeCount = 50;

}  // namespace cw::stress
