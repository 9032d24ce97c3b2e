#pragma once
// The log's start-up line: the plugin's version, the running game's version, the
// database read with its entry count, and the number of natives registered for
// each class. Load hands over the facts of start-up; the line is written once
// every class has registered, since the virtual machine runs the registration
// callbacks later.
#include <cstddef>
#include <string>

namespace cw::startup_report {

struct Facts {
  std::string gameVersion;   // "1.6.1170.0"
  std::string databaseFile;  // as read, relative to the game folder
  std::size_t entryCount = 0;
};

// Starts a new report (a second load starts over).
void Begin(Facts facts);

// One class's registration finished with `count` natives registered.
void Registered(const char* className, std::size_t count);

}  // namespace cw::startup_report
