// The Papyrus VM over scripts made of arbitrary instructions: every opcode with
// operands drawn from locals of each kind, object variables, self, ::State,
// literals and calls of script functions, built-in natives and unknown ones.
// Linking either refuses a script or gives one that runs; a run never crashes,
// and every script error carries its stack.
//
// Input: four bytes per instruction (opcode, then three operand choices).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "papyrus/vm/engine_natives.h"
#include "papyrus/vm/vm.h"

namespace cw::fuzz {
namespace {

using papyrus::PexFile;
using papyrus::PexFunction;
using papyrus::PexValue;
using papyrus::StringIndex;

class Maker {
 public:
  StringIndex S(const std::string& text) {
    for (std::size_t i = 0; i < file.strings.size(); ++i)
      if (file.strings[i] == text) return static_cast<StringIndex>(i);
    file.strings.push_back(text);
    return static_cast<StringIndex>(file.strings.size() - 1);
  }
  PexValue Id(const char* name) { return {PexValue::Kind::Identifier, S(name)}; }
  // An operand: a local, a variable, self, ::State, ::NoneVar or a literal.
  PexValue Operand(std::uint8_t choice) {
    static const char* const kNames[] = {"i",    "f",       "b",         "s",  "a", "o",
                                         "self", "::State", "::NoneVar", "v0", "v1"};
    if (choice % 16 < 11) return Id(kNames[choice % 16]);
    switch (choice % 16) {
      case 11:
        return {PexValue::Kind::Int, 0, static_cast<std::int8_t>(choice)};
      case 12:
        return {PexValue::Kind::Float, 0, 0, static_cast<float>(choice) / 7.0f - 10.0f};
      case 13:
        return {PexValue::Kind::String, S(choice & 0x80 ? "Abc" : "12")};
      case 14:
        return {PexValue::Kind::Bool, 0, 0, 0, (choice & 0x80) != 0};
      default:
        return {};
    }
  }
  PexFile file;
};

const char* const kFunctions[] = {
    "G",     "M",         "GotoState", "GetState",  "Wait",
    "Trace", "RandomInt", "Nowhere",   "GetFormID", "RegisterForSingleUpdate"};
const char* const kClasses[] = {"F", "Utility", "Debug", "Game", "Missing"};

PexFunction Code(Maker& m, const std::uint8_t* data, std::size_t size) {
  PexFunction fn;
  fn.returnType = m.S("Int");
  const char* const locals[][2] = {{"i", "Int"},         {"f", "Float"}, {"b", "Bool"},
                                   {"s", "String"},      {"a", "Int[]"}, {"o", "Form"},
                                   {"::NoneVar", "None"}};
  for (const auto& [name, type] : locals) fn.locals.push_back({m.S(name), m.S(type)});
  const std::size_t count = size / 4;
  for (std::size_t ip = 0; ip < count; ++ip) {
    const std::uint8_t* in = data + ip * 4;
    papyrus::PexInstruction instruction;
    instruction.opcode = in[0] % 36;
    const int fixed = papyrus::PexOperandCount(instruction.opcode);
    for (int k = 0; k < fixed; ++k) instruction.operands.push_back(m.Operand(in[1 + k % 3]));
    auto& o = instruction.operands;
    // Names where the instruction wants one, jumps inside the function.
    switch (instruction.opcode) {
      case 0x14:
        o[0] = {PexValue::Kind::Int, 0,
                static_cast<std::int32_t>(in[1] % (count + 1)) - static_cast<std::int32_t>(ip)};
        break;
      case 0x15:
      case 0x16:
        o[1] = {PexValue::Kind::Int, 0,
                static_cast<std::int32_t>(in[2] % (count + 1)) - static_cast<std::int32_t>(ip)};
        break;
      case 0x17:
      case 0x18:
      case 0x1C:
      case 0x1D:
        o[0] = m.Id(kFunctions[in[1] % 10]);
        break;
      case 0x19:
        o[0] = m.Id(kClasses[in[1] % 5]);
        o[1] = m.Id(kFunctions[in[2] % 10]);
        break;
      default:
        break;
    }
    if (papyrus::PexTakesArguments(instruction.opcode))
      for (int k = 0; k < in[3] % 3; ++k) o.push_back(m.Operand(in[3] >> 2));
    fn.code.push_back(std::move(instruction));
  }
  return fn;
}

}  // namespace
}  // namespace cw::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace cw::papyrus;
  cw::fuzz::Maker m;
  PexObject object;
  object.name = m.S("F");
  object.parent = m.S("Quest");
  for (const char* v : {"v0", "v1"}) {
    PexVariable variable;
    variable.name = m.S(v);
    variable.type = m.S(v[1] == '0' ? "Int" : "String");
    object.variables.push_back(variable);
  }
  const std::size_t half = size / 2;
  PexFunction global = cw::fuzz::Code(m, data, half);
  global.flags = 1;
  PexFunction member = cw::fuzz::Code(m, data + half, size - half);
  object.states.push_back({m.S(""), {{m.S("G"), global}, {m.S("M"), member}}});
  object.states.push_back({m.S("S"), {{m.S("M"), global}}});
  m.file.objects.push_back(object);

  vm::Library library;
  vm::EngineNatives natives;
  library.AddNatives(&natives);
  std::string error;
  CW_FUZZ_CHECK(library.AddScript(m.file, &error));
  const vm::Class* cls = library.Find("F");
  if (!cls->scripted) return 0;  // linking refused it
  for (const char* name : {"G", "M"}) {
    vm::Vm machine(library, nullptr, size);
    machine.SetInterrupt([] { return true; }, 14);
    vm::Instance* self = machine.NewObject(cls, 0xFF000800);
    vm::Thread* thread = machine.Start(cls->Global(library.Name(name)), self, {});
    machine.RunUntil(5);
    CW_FUZZ_CHECK(thread->finished || machine.interrupted() || !thread->frames.empty());
    for (const vm::ScriptError& e : machine.errors()) CW_FUZZ_CHECK(!e.stack.empty());
  }
  return 0;
}
