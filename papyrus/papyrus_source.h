#pragma once
// Reading Papyrus script sources: the script's name and the header of every function
// it declares. A reader of outside bytes: any input gives a value and nothing is read
// past its end; what does not read as a declaration is passed over.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace cw::papyrus {

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

// A leading UTF-8 byte-order mark is passed over.
PapyrusScript ReadPapyrusScript(std::string_view source);

// Why the bytes are no script source this reader can take (a UTF-16 or UTF-32
// text, NUL bytes), in a few words; empty when they are one.
std::string WhyNotScriptText(std::string_view bytes);

// The words of the language that no name may be, compared without regard to case.
bool IsPapyrusReservedWord(std::string_view word);

}  // namespace cw::papyrus
