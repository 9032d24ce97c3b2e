#pragma once
// Writer of whole compiled scripts (.pex) from their model, the reverse of the reader,
// and a builder of small scripts for tests: one object whose functions are given as
// instructions with their source lines.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "papyrus/pex_file.h"

namespace cw::test {

// How the object size field is written: as the game's compiler does (big-endian,
// counting the field itself) or as others do (little-endian, the bytes after it).
enum class PexSizeField { kGame, kOther };

// The file's bytes, big-endian; a call's argument count is written from its operands.
std::string WritePex(const papyrus::PexFile& file, PexSizeField size = PexSizeField::kGame);

class PexBuilder {
 public:
  using Value = papyrus::PexValue;
  using Instruction = papyrus::PexInstruction;

  explicit PexBuilder(std::string_view objectName, std::string_view parent = "");

  // The string table index of a text, added when missing.
  papyrus::StringIndex Text(std::string_view text);
  Value Identifier(std::string_view name) { return {Value::Kind::Identifier, Text(name)}; }
  Value String(std::string_view text) { return {Value::Kind::String, Text(text)}; }
  static Value Int(std::int32_t i) { return {Value::Kind::Int, 0, i}; }
  static Value Float(float f) { return {Value::Kind::Float, 0, 0, f}; }
  static Value Bool(bool b) { return {Value::Kind::Bool, 0, 0, 0, b}; }
  static Value None() { return {}; }

  // callstatic CLASS NAME RESULT ARGS...
  Instruction CallStatic(std::string_view className, std::string_view name, std::vector<Value> args,
                         std::string_view result = "::NoneVar");

  // A function of the object's empty state with one source line per instruction.
  void AddFunction(std::string_view name, std::vector<std::pair<std::uint16_t, Instruction>> code,
                   bool global = true, std::string_view returnType = "None");

  const papyrus::PexFile& file() const { return file_; }
  papyrus::PexFile& file() { return file_; }
  std::string Bytes(PexSizeField size = PexSizeField::kGame) const { return WritePex(file_, size); }

 private:
  papyrus::PexFile file_;
};

}  // namespace cw::test
