#pragma once
// Where the script extender keeps its logs on this machine.
#include <string>

namespace cw::platform {

// True where the game runs (Windows): the log goes to a file in the Documents
// folder. Elsewhere the log goes to standard error.
bool HasLogFolder();

// The user's Documents folder; empty when unknown.
std::string DocumentsFolder();

// True when the game folder (the working directory) holds a file of that name.
bool GameFolderHas(const char* fileName);

bool IsDirectory(const std::string& path);

}  // namespace cw::platform
