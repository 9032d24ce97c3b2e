#pragma once
// Compiled scripts written in tests and benchmarks as lines of assembly.
#include <cctype>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "papyrus/pex_file.h"

namespace cw::papyrus {

// A compiled script made from lines of assembly: "OPCODE OPERAND...", with
// "text" a String, 1 an Int, 1.5 a Float, True/False, None and any other word
// an identifier. Calls take the operands after their fixed ones as arguments.
class Script {
 public:
  explicit Script(const std::string& name, const std::string& parent = "") {
    file_.sourceName = name + ".psc";
    object_.name = S(name);
    object_.parent = S(parent);
    object_.states.push_back({S(""), {}});
  }
  // "Int Name(Int a, Float b)" with locals "Int x, Float y".
  Script& Function(const std::string& returnType, const std::string& name, bool global,
                   const std::vector<std::pair<std::string, std::string>>& params,
                   const std::vector<std::pair<std::string, std::string>>& locals,
                   const std::vector<std::string>& code, const std::string& state = "") {
    PexNamedFunction f;
    f.name = S(name);
    f.function.returnType = S(returnType);
    f.function.flags = global ? 1 : 0;
    for (const auto& [type, n] : params) f.function.params.push_back({S(n), S(type)});
    for (const auto& [type, n] : locals) f.function.locals.push_back({S(n), S(type)});
    for (const std::string& line : code) f.function.code.push_back(Instruction(line));
    PexState* target = nullptr;
    for (PexState& s : object_.states)
      if (file_.strings[s.name] == state) target = &s;
    if (!target) target = &object_.states.emplace_back(PexState{S(state), {}});
    target->functions.push_back(std::move(f));
    return *this;
  }
  PexFile Build() {
    file_.objects = {object_};
    return file_;
  }

 private:
  StringIndex S(const std::string& text) {
    for (std::size_t i = 0; i < file_.strings.size(); ++i)
      if (file_.strings[i] == text) return static_cast<StringIndex>(i);
    file_.strings.push_back(text);
    return static_cast<StringIndex>(file_.strings.size() - 1);
  }
  PexInstruction Instruction(const std::string& line) {
    static const char* const kNames[] = {"nop",
                                         "iadd",
                                         "fadd",
                                         "isub",
                                         "fsub",
                                         "imul",
                                         "fmul",
                                         "idiv",
                                         "fdiv",
                                         "imod",
                                         "not",
                                         "ineg",
                                         "fneg",
                                         "assign",
                                         "cast",
                                         "cmp_eq",
                                         "cmp_lt",
                                         "cmp_le",
                                         "cmp_gt",
                                         "cmp_ge",
                                         "jmp",
                                         "jmpt",
                                         "jmpf",
                                         "callmethod",
                                         "callparent",
                                         "callstatic",
                                         "return",
                                         "strcat",
                                         "propget",
                                         "propset",
                                         "array_create",
                                         "array_length",
                                         "array_getelement",
                                         "array_setelement",
                                         "array_findelement",
                                         "array_rfindelement"};
    std::istringstream words(line);
    std::string word;
    words >> word;
    PexInstruction in;
    for (std::uint8_t op = 0; op < 36; ++op)
      if (word == kNames[op]) in.opcode = op;
    while (words >> word) {
      PexValue v;
      while (word[0] == '"' && (word.size() < 2 || word.back() != '"')) {
        std::string more;
        if (!(words >> more)) break;
        word += " " + more;
      }
      if (word[0] == '"') {
        v.kind = PexValue::Kind::String;
        v.string = S(word.substr(1, word.size() - 2));
      } else if (word == "None") {
      } else if (word == "True" || word == "False") {
        v.kind = PexValue::Kind::Bool;
        v.boolean = word == "True";
      } else if (std::isdigit(static_cast<unsigned char>(word.back()))) {
        const bool real = word.find('.') != std::string::npos;
        v.kind = real ? PexValue::Kind::Float : PexValue::Kind::Int;
        if (real)
          v.real = std::stof(word);
        else
          v.integer = std::stoi(word);
      } else {
        v.kind = PexValue::Kind::Identifier;
        v.string = S(word);
      }
      in.operands.push_back(v);
    }
    return in;
  }
  PexFile file_;
  PexObject object_;
};

}  // namespace cw::papyrus
