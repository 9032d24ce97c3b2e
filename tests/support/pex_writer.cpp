#include "tests/support/pex_writer.h"

#include <bit>

namespace cw::test {
namespace {

using namespace papyrus;

class Out {
 public:
  std::string bytes;

  template <typename T>
  void Number(T value) {
    for (int shift = 8 * (static_cast<int>(sizeof(T)) - 1); shift >= 0; shift -= 8)
      bytes.push_back(static_cast<char>(static_cast<std::uint64_t>(value) >> shift));
  }
  void Text(const std::string& text) {
    Number(static_cast<std::uint16_t>(text.size()));
    bytes += text;
  }
  void Value(const PexValue& v) {
    Number(static_cast<std::uint8_t>(v.kind));
    switch (v.kind) {
      case PexValue::Kind::None:
        break;
      case PexValue::Kind::Identifier:
      case PexValue::Kind::String:
        Number(v.string);
        break;
      case PexValue::Kind::Int:
        Number(static_cast<std::uint32_t>(v.integer));
        break;
      case PexValue::Kind::Float:
        Number(std::bit_cast<std::uint32_t>(v.real));
        break;
      case PexValue::Kind::Bool:
        Number(static_cast<std::uint8_t>(v.boolean));
        break;
    }
  }
  static PexValue Count(std::size_t n) {
    return {PexValue::Kind::Int, 0, static_cast<std::int32_t>(n)};
  }
  void NamedTypes(const std::vector<PexNamedType>& list) {
    Number(static_cast<std::uint16_t>(list.size()));
    for (const PexNamedType& t : list) {
      Number(t.name);
      Number(t.type);
    }
  }
  void Function(const PexFunction& f) {
    Number(f.returnType);
    Number(f.doc);
    Number(f.userFlags);
    Number(f.flags);
    NamedTypes(f.params);
    NamedTypes(f.locals);
    Number(static_cast<std::uint16_t>(f.code.size()));
    for (const PexInstruction& i : f.code) {
      Number(i.opcode);
      const std::size_t fixed = static_cast<std::size_t>(PexOperandCount(i.opcode));
      for (std::size_t k = 0; k < i.operands.size(); ++k) {
        if (k == fixed) Value(Count(i.operands.size() - fixed));
        Value(i.operands[k]);
      }
      if (PexTakesArguments(i.opcode) && i.operands.size() == fixed) Value(Count(0));
    }
  }
};

}  // namespace

std::string WritePex(const PexFile& file, PexSizeField size) {
  Out out;
  out.Number<std::uint32_t>(0xFA57C0DE);
  out.Number(file.majorVersion);
  out.Number(file.minorVersion);
  out.Number(file.gameId);
  out.Number(file.compileTime);
  out.Text(file.sourceName);
  out.Text(file.userName);
  out.Text(file.machineName);
  out.Number(static_cast<std::uint16_t>(file.strings.size()));
  for (const std::string& s : file.strings) out.Text(s);
  out.Number(static_cast<std::uint8_t>(file.hasDebugInfo));
  if (file.hasDebugInfo) {
    out.Number(file.debugTime);
    out.Number(static_cast<std::uint16_t>(file.debugFunctions.size()));
    for (const PexDebugFunction& f : file.debugFunctions) {
      out.Number(f.object);
      out.Number(f.state);
      out.Number(f.function);
      out.Number(f.kind);
      out.Number(static_cast<std::uint16_t>(f.lines.size()));
      for (std::uint16_t line : f.lines) out.Number(line);
    }
  }
  out.Number(static_cast<std::uint16_t>(file.userFlags.size()));
  for (const PexUserFlag& f : file.userFlags) {
    out.Number(f.name);
    out.Number(f.bit);
  }
  out.Number(static_cast<std::uint16_t>(file.objects.size()));
  for (const PexObject& o : file.objects) {
    out.Number(o.name);
    const std::size_t sizeAt = out.bytes.size();
    out.Number<std::uint32_t>(0);
    out.Number(o.parent);
    out.Number(o.doc);
    out.Number(o.userFlags);
    out.Number(o.autoState);
    out.Number(static_cast<std::uint16_t>(o.variables.size()));
    for (const PexVariable& v : o.variables) {
      out.Number(v.name);
      out.Number(v.type);
      out.Number(v.userFlags);
      out.Value(v.initial);
    }
    out.Number(static_cast<std::uint16_t>(o.properties.size()));
    for (const PexProperty& p : o.properties) {
      out.Number(p.name);
      out.Number(p.type);
      out.Number(p.doc);
      out.Number(p.userFlags);
      out.Number(p.flags);
      if (p.automatic()) {
        out.Number(p.autoVariable);
        continue;
      }
      if (p.readable()) out.Function(p.getter);
      if (p.writable()) out.Function(p.setter);
    }
    out.Number(static_cast<std::uint16_t>(o.states.size()));
    for (const PexState& s : o.states) {
      out.Number(s.name);
      out.Number(static_cast<std::uint16_t>(s.functions.size()));
      for (const PexNamedFunction& f : s.functions) {
        out.Number(f.name);
        out.Function(f.function);
      }
    }
    const std::size_t after = out.bytes.size() - sizeAt - 4;
    Out field;
    if (size == PexSizeField::kGame) {
      field.Number(static_cast<std::uint32_t>(after + 4));
    } else {
      for (int shift = 0; shift < 32; shift += 8)
        field.bytes.push_back(static_cast<char>(after >> shift));
    }
    out.bytes.replace(sizeAt, 4, field.bytes);
  }
  return out.bytes;
}

PexBuilder::PexBuilder(std::string_view objectName, std::string_view parent) {
  file_.majorVersion = 3;
  file_.minorVersion = 2;
  file_.gameId = 1;
  file_.sourceName = std::string(objectName) + ".psc";
  file_.hasDebugInfo = true;
  Text("");
  PexObject& o = file_.objects.emplace_back();
  o.name = Text(objectName);
  o.parent = Text(parent);
  o.states.emplace_back();  // the empty state
}

StringIndex PexBuilder::Text(std::string_view text) {
  for (std::size_t i = 0; i < file_.strings.size(); ++i)
    if (file_.strings[i] == text) return static_cast<StringIndex>(i);
  file_.strings.emplace_back(text);
  return static_cast<StringIndex>(file_.strings.size() - 1);
}

PexInstruction PexBuilder::CallStatic(std::string_view className, std::string_view name,
                                      std::vector<Value> args, std::string_view result) {
  PexInstruction call{0x19, {Identifier(className), Identifier(name), Identifier(result)}};
  call.operands.insert(call.operands.end(), args.begin(), args.end());
  return call;
}

void PexBuilder::AddFunction(std::string_view name,
                             std::vector<std::pair<std::uint16_t, Instruction>> code, bool global,
                             std::string_view returnType) {
  PexObject& o = file_.objects.front();
  PexNamedFunction& f = o.states.front().functions.emplace_back();
  f.name = Text(name);
  f.function.returnType = Text(returnType);
  f.function.doc = Text("");
  f.function.flags = global ? 1 : 0;
  PexDebugFunction& debug = file_.debugFunctions.emplace_back();
  debug.object = o.name;
  debug.state = Text("");
  debug.function = f.name;
  for (auto& [line, instruction] : code) {
    f.function.code.push_back(std::move(instruction));
    debug.lines.push_back(line);
  }
}

}  // namespace cw::test
