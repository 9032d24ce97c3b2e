#include "papyrus/compiled_check.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <string_view>

#include "natives/utility/text.h"
#include "papyrus/script_declarations.h"
#include "platform/ascii.h"
#include "plugin/registration.h"

namespace cw::papyrus {
namespace {

constexpr std::uint8_t kCallStatic = 0x19;

const NativeEntry* RegisteredNative(const char* className, std::string_view name) {
  for (const NativeEntry& native : Natives())
    if (native.className == std::string_view(className) &&
        EqualsIgnoringAsciiCase(native.name, name))
      return &native;
  return nullptr;
}

// The kind of a value of a declared type: Form for every object type, nullopt for an
// array (no native takes or gives one).
std::optional<Kind> KindOfType(std::string_view type) {
  if (type.size() > 2 && type.substr(type.size() - 2) == "[]") return std::nullopt;
  for (Kind k : {Kind::kString, Kind::kInt, Kind::kFloat, Kind::kBool})
    if (EqualsIgnoringAsciiCase(type, PapyrusType(k))) return k;
  if (EqualsIgnoringAsciiCase(type, "None")) return Kind::kNone;
  return Kind::kForm;
}

bool IsObjectKind(Kind k) {
  return k == Kind::kForm || k == Kind::kQuest;
}

// What an argument of kind `given` may be for a parameter of kind `taken`. Int goes
// to Float as the game widens it; None is an empty object or text.
bool Fits(Kind taken, std::optional<Kind> given) {
  if (!given) return false;
  if (*given == Kind::kNone) return IsObjectKind(taken) || taken == Kind::kString;
  if (IsObjectKind(taken)) return IsObjectKind(*given);
  return *given == taken || (taken == Kind::kFloat && *given == Kind::kInt);
}

std::string TypeText(Kind k) {
  const std::string type = PapyrusType(k);
  return type.empty() ? "nothing" : type;
}

std::string Parameters(const NativeEntry& native) {
  std::string text = "(";
  for (std::uint16_t i = 0; i < native.paramCount; ++i)
    text += (i ? ", " : "") + PapyrusType(native.params[i]) + " " + native.paramNames[i];
  return text + ")";
}

// The functions whose code is checked, with the names their debug entries carry.
struct CodeOf {
  const PexObject& object;
  std::string_view state;
  std::string_view function;  // the property's name for its accessors
  std::uint8_t kind;          // 0 plain, 1 getter, 2 setter
  const PexFunction& code;
};

class CallCheck {
 public:
  CallCheck(const PexFile& file, const CodeOf& f, std::vector<Finding>* findings)
      : file_(file), f_(f), findings_(findings) {
    for (const PexVariable& v : f.object.variables) Declare(v.name, v.type);
    for (const PexNamedType& t : f.code.params) Declare(t.name, t.type);
    for (const PexNamedType& t : f.code.locals) Declare(t.name, t.type);
    types_["self"] = file.text(f.object.name);
    debug_ = FindPexDebug(file, file.text(f.object.name), f.state, f.function, f.kind);
  }

  void Run() {
    for (std::size_t i = 0; i < f_.code.code.size(); ++i) {
      const PexInstruction& call = f_.code.code[i];
      if (call.opcode != kCallStatic || call.operands.size() < 3) continue;
      const PexValue& classOperand = call.operands[0];
      const PexValue& nameOperand = call.operands[1];
      if (classOperand.kind != PexValue::Kind::Identifier ||
          nameOperand.kind != PexValue::Kind::Identifier)
        continue;
      const char* className = RegisteredClass(file_.text(classOperand.string));
      if (!className) continue;
      line_ = debug_ && i < debug_->lines.size() ? debug_->lines[i] : 0;
      Check(className, file_.text(nameOperand.string), call);
    }
  }

 private:
  void Declare(StringIndex name, StringIndex type) {
    types_[text::ToLowerAscii(file_.text(name))] = file_.text(type);
  }

  void Add(Difference what, const std::string& native, std::string text) {
    findings_->push_back({what, line_, native, std::move(text)});
  }

  // The kind of an operand and how to name it in a message.
  std::pair<std::optional<Kind>, std::string> Described(const PexValue& v) const {
    switch (v.kind) {
      case PexValue::Kind::None:
        return {Kind::kNone, "None"};
      case PexValue::Kind::String:
        return {Kind::kString, "the String \"" + file_.text(v.string) + "\""};
      case PexValue::Kind::Int:
        return {Kind::kInt, "the Int " + std::to_string(v.integer)};
      case PexValue::Kind::Float:
        return {Kind::kFloat, "the Float " + std::to_string(v.real)};
      case PexValue::Kind::Bool:
        return {Kind::kBool, std::string("the Bool ") + (v.boolean ? "True" : "False")};
      case PexValue::Kind::Identifier:
        break;
    }
    const std::string& name = file_.text(v.string);
    const auto type = types_.find(text::ToLowerAscii(name));
    if (type == types_.end()) return {std::nullopt, ""};  // not known here: not judged
    return {KindOfType(type->second), name + " (" + type->second + ")"};
  }

  void Check(const char* className, const std::string& name, const PexInstruction& call) {
    const NativeEntry* native = RegisteredNative(className, name);
    const std::size_t given = call.operands.size() - 3;
    if (!native) {
      std::string where;
      for (const NativeEntry& other : Natives())
        if (EqualsIgnoringAsciiCase(other.name, name))
          where = std::string(" (it is a native of ") + other.className + ")";
      Add(Difference::kUnknownNative, std::string(className) + "." + name,
          "called; the plugin registers no native of that name" + where);
      return;
    }
    const std::string full = std::string(className) + "." + native->name;
    if (given != native->paramCount) {
      Add(Difference::kParameterKinds, full,
          "called with " + std::to_string(given) + " argument(s); the plugin's native takes " +
              std::to_string(native->paramCount) + " " + Parameters(*native));
      return;
    }
    for (std::uint16_t i = 0; i < native->paramCount; ++i) {
      const PexValue& arg = call.operands[3 + i];
      const auto [kind, described] = Described(arg);
      if (arg.kind == PexValue::Kind::Identifier && described.empty()) continue;
      if (Fits(native->params[i], kind)) continue;
      Add(Difference::kParameterKinds, full,
          "argument " + std::to_string(i + 1) + " is " + described +
              " where the plugin's native takes " + PapyrusType(native->params[i]) + " " +
              native->paramNames[i]);
    }
    const PexValue& result = call.operands[2];
    const auto [kind, described] = Described(result);
    if (result.kind != PexValue::Kind::Identifier || described.empty() || kind == Kind::kNone)
      return;  // not known, or thrown away
    const bool fits =
        kind && (IsObjectKind(native->result) ? IsObjectKind(*kind) : *kind == native->result);
    if (!fits)
      Add(Difference::kResultKind, full,
          "the result goes to " + described + " where the plugin's native returns " +
              TypeText(native->result));
  }

  const PexFile& file_;
  const CodeOf& f_;
  std::vector<Finding>* findings_;
  std::map<std::string, std::string> types_;  // lower-case name: declared type
  const PexDebugFunction* debug_ = nullptr;
  std::size_t line_ = 0;
};

}  // namespace

bool IsCompiledScriptPath(const std::string& path) {
  return EqualsIgnoringAsciiCase(std::filesystem::path(path).extension().string(), ".pex");
}

PapyrusScript DeclarationsOf(const PexFile& file) {
  PapyrusScript script;
  if (file.objects.empty()) return script;
  const PexObject& o = file.objects.front();
  script.name = file.text(o.name);
  for (const PexState& s : o.states) {
    if (!file.text(s.name).empty()) continue;
    for (const PexNamedFunction& f : s.functions) {
      PapyrusFunction& declared = script.functions.emplace_back();
      declared.name = file.text(f.name);
      declared.resultType = file.text(f.function.returnType);
      if (EqualsIgnoringAsciiCase(declared.resultType, "None")) declared.resultType.clear();
      for (const PexNamedType& p : f.function.params)
        declared.params.push_back({file.text(p.type), file.text(p.name)});
      declared.global = f.function.global();
      declared.native = f.function.native();
    }
  }
  return script;
}

std::vector<Finding> CheckCompiledScript(const PexFile& file, const CheckOptions& options) {
  std::vector<Finding> findings;
  const PapyrusScript declarations = DeclarationsOf(file);
  if (IsNativeClass(declarations.name)) {
    CheckOptions asDeclarations = options;
    asDeclarations.fileName.clear();  // the game finds a compiled script by its object's name
    findings = CheckScript(declarations, asDeclarations);
  }
  for (const PexObject& o : file.objects) {
    for (const PexProperty& p : o.properties) {
      if (p.automatic()) continue;
      if (p.readable()) CallCheck(file, {o, "", file.text(p.name), 1, p.getter}, &findings).Run();
      if (p.writable()) CallCheck(file, {o, "", file.text(p.name), 2, p.setter}, &findings).Run();
    }
    for (const PexState& s : o.states)
      for (const PexNamedFunction& f : s.functions)
        CallCheck(file, {o, file.text(s.name), file.text(f.name), 0, f.function}, &findings).Run();
  }
  std::stable_sort(findings.begin(), findings.end(),
                   [](const Finding& a, const Finding& b) { return a.line < b.line; });
  return findings;
}

}  // namespace cw::papyrus
