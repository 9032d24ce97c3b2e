#include "papyrus/pex_file.h"

#include "platform/ascii.h"

namespace cw::papyrus {
namespace {

struct Opcode {
  const char* name;
  int operands;
};

constexpr Opcode kOpcodes[] = {
    {"nop", 0},
    {"iadd", 3},
    {"fadd", 3},
    {"isub", 3},
    {"fsub", 3},
    {"imul", 3},
    {"fmul", 3},
    {"idiv", 3},
    {"fdiv", 3},
    {"imod", 3},
    {"not", 2},
    {"ineg", 2},
    {"fneg", 2},
    {"assign", 2},
    {"cast", 2},
    {"cmp_eq", 3},
    {"cmp_lt", 3},
    {"cmp_le", 3},
    {"cmp_gt", 3},
    {"cmp_ge", 3},
    {"jmp", 1},
    {"jmpt", 2},
    {"jmpf", 2},
    {"callmethod", 3},
    {"callparent", 2},
    {"callstatic", 3},
    {"return", 1},
    {"strcat", 3},
    {"propget", 3},
    {"propset", 3},
    {"array_create", 2},
    {"array_length", 2},
    {"array_getelement", 3},
    {"array_setelement", 3},
    {"array_findelement", 4},
    {"array_rfindelement", 4},
};
constexpr std::size_t kOpcodeCount = sizeof(kOpcodes) / sizeof(kOpcodes[0]);
static_assert(kOpcodeCount == 0x24);

}  // namespace

int PexOperandCount(std::uint8_t opcode) {
  return opcode < kOpcodeCount ? kOpcodes[opcode].operands : -1;
}

bool PexTakesArguments(std::uint8_t opcode) {
  return opcode >= 0x17 && opcode <= 0x19;  // callmethod, callparent, callstatic
}

const char* PexOpcodeName(std::uint8_t opcode) {
  return opcode < kOpcodeCount ? kOpcodes[opcode].name : "?";
}

const PexDebugFunction* FindPexDebug(const PexFile& file, std::string_view object,
                                     std::string_view state, std::string_view function,
                                     std::uint8_t kind) {
  for (const PexDebugFunction& d : file.debugFunctions) {
    if (d.kind == kind && EqualsIgnoringAsciiCase(file.text(d.function), function) &&
        EqualsIgnoringAsciiCase(file.text(d.state), state) &&
        EqualsIgnoringAsciiCase(file.text(d.object), object))
      return &d;
  }
  return nullptr;
}

}  // namespace cw::papyrus
