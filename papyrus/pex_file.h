#pragma once
// A compiled Papyrus script (.pex, Skyrim) as its bytes hold it: names are indices
// into the string table, instructions keep their operands as written. The reader of
// the bytes makes it; the VM resolves the names to slots when it loads the script.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace cw::papyrus {

using StringIndex = std::uint16_t;  // into PexFile::strings

struct PexValue {
  enum class Kind : std::uint8_t { None = 0, Identifier = 1, String = 2, Int = 3, Float = 4, Bool = 5 };
  Kind kind = Kind::None;
  StringIndex string = 0;  // Identifier and String
  std::int32_t integer = 0;
  float real = 0;
  bool boolean = false;
};

struct PexInstruction {
  std::uint8_t opcode = 0;
  // The opcode's fixed operands in order; for the call opcodes (callmethod,
  // callparent, callstatic) the arguments follow them (the count is not kept).
  std::vector<PexValue> operands;
};

struct PexNamedType {
  StringIndex name = 0;
  StringIndex type = 0;
};

struct PexFunction {
  StringIndex returnType = 0;
  StringIndex doc = 0;
  std::uint32_t userFlags = 0;
  std::uint8_t flags = 0;  // bit 0 global, bit 1 native
  std::vector<PexNamedType> params;
  std::vector<PexNamedType> locals;
  std::vector<PexInstruction> code;
  bool global() const { return flags & 1; }
  bool native() const { return flags & 2; }
};

struct PexNamedFunction {
  StringIndex name = 0;
  PexFunction function;
};

struct PexState {
  StringIndex name = 0;  // the empty string's index for the default state
  std::vector<PexNamedFunction> functions;
};

struct PexVariable {
  StringIndex name = 0;
  StringIndex type = 0;
  std::uint32_t userFlags = 0;
  PexValue initial;
};

struct PexProperty {
  StringIndex name = 0;
  StringIndex type = 0;
  StringIndex doc = 0;
  std::uint32_t userFlags = 0;
  std::uint8_t flags = 0;       // 1 read, 2 write, 4 auto
  StringIndex autoVariable = 0;  // auto properties
  PexFunction getter;            // others, when readable
  PexFunction setter;            // others, when writable
  bool readable() const { return flags & 1; }
  bool writable() const { return flags & 2; }
  bool automatic() const { return flags & 4; }
};

struct PexObject {
  StringIndex name = 0;
  StringIndex parent = 0;  // the empty string's index when none
  StringIndex doc = 0;
  std::uint32_t userFlags = 0;
  StringIndex autoState = 0;
  std::vector<PexVariable> variables;
  std::vector<PexProperty> properties;
  std::vector<PexState> states;
};

// Source lines of one function's instructions, from the debug info.
struct PexDebugFunction {
  StringIndex object = 0;
  StringIndex state = 0;
  StringIndex function = 0;
  std::uint8_t kind = 0;  // 0 plain, 1 property getter, 2 property setter
  std::vector<std::uint16_t> lines;  // one per instruction
};

struct PexUserFlag {
  StringIndex name = 0;
  std::uint8_t bit = 0;
};

struct PexFile {
  std::uint8_t majorVersion = 0;
  std::uint8_t minorVersion = 0;
  std::uint16_t gameId = 0;
  std::uint64_t compileTime = 0;
  std::string sourceName;
  std::string userName;
  std::string machineName;
  std::vector<std::string> strings;
  bool hasDebugInfo = false;
  std::uint64_t debugTime = 0;
  std::vector<PexDebugFunction> debugFunctions;
  std::vector<PexUserFlag> userFlags;
  std::vector<PexObject> objects;

  const std::string& text(StringIndex i) const { return strings[i]; }  // indices are checked on reading
};

// What reading gave: the script, or an error naming the file and the byte offset
// ("FILE: offset N: what") with `file` left as far as it was read.
struct PexReadResult {
  PexFile file;
  std::string error;
  bool ok() const { return error.empty(); }
};

// Reads a whole compiled script from its bytes; `fileName` only names it in errors.
// Any input gives a result: nothing is read past the end, every string index is
// checked against the table, counts cannot make it loop or allocate past the input.
PexReadResult ReadPex(std::string_view bytes, std::string_view fileName);
PexReadResult ReadPexFile(const std::filesystem::path& path);

// The number of fixed operands of an opcode (0x00-0x23); -1 for an opcode that is
// not Skyrim's. The call opcodes take their arguments after these.
int PexOperandCount(std::uint8_t opcode);
bool PexTakesArguments(std::uint8_t opcode);

// The opcode's name as disassemblers write it ("iadd", "callstatic", "array_rfindelement");
// "?" for an opcode that is not Skyrim's.
const char* PexOpcodeName(std::uint8_t opcode);

// The debug entry of a function (kind 0 plain, 1 property getter, 2 setter; a property's
// accessors are named by the property), names compared without regard to letter case;
// null when the file has none. Its lines may be fewer than the instructions (the game's
// compiler writes none for GetState and GotoState).
const PexDebugFunction* FindPexDebug(const PexFile& file, std::string_view object,
                                     std::string_view state, std::string_view function,
                                     std::uint8_t kind = 0);

}  // namespace cw::papyrus
