#pragma once
// Reading Papyrus script sources: the script's name and the header of every function
// it declares. A reader of outside bytes: any input gives a value and nothing is read
// past its end; what does not read as a declaration is passed over.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace cw::sim {

struct PapyrusParameter {
  std::string type;  // as written, "[]" appended for an array
  std::string name;
};

struct PapyrusFunction {
  std::size_t line = 0;    // where the declaration starts, counted from 1
  std::string resultType;  // empty when the function returns nothing
  std::string name;
  std::vector<PapyrusParameter> params;
  bool global = false;
  bool native = false;
};

struct PapyrusScript {
  std::string name;  // empty when the source has no Scriptname line
  std::size_t nameLine = 0;
  std::vector<PapyrusFunction> functions;
};

PapyrusScript ReadPapyrusScript(std::string_view source);

}  // namespace cw::sim
