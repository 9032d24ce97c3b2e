#include "papyrus/vm/library.h"

#include "natives/utility/text.h"
#include "papyrus/vm/opcodes.h"
#include "papyrus/vm/vm.h"
#include "platform/ascii.h"

namespace cw::papyrus::vm {
namespace {

// The engine's classes above the ones scripts extend most, for classes whose
// script is not at hand: a call on them looks for natives up this chain.
const char* EngineParent(const std::string& lowerName) {
  static const std::unordered_map<std::string, const char*> parents = {
      {"quest", "Form"},
      {"globalvariable", "Form"},
      {"objectreference", "Form"},
      {"actor", "ObjectReference"},
      {"actorbase", "Form"},
      {"weapon", "Form"},
      {"armor", "Form"},
      {"book", "Form"},
      {"miscobject", "Form"},
      {"key", "MiscObject"},
      {"spell", "Form"},
      {"enchantment", "Form"},
      {"magiceffect", "Form"},
      {"faction", "Form"},
      {"keyword", "Form"},
      {"cell", "Form"},
      {"potion", "Form"},
      {"ingredient", "Form"},
      {"activator", "Form"},
      {"container", "Form"},
      {"door", "Form"},
      {"light", "Form"},
      {"static", "Form"},
      {"formlist", "Form"},
      {"message", "Form"},
      {"referencealias", "Alias"},
      {"locationalias", "Alias"},
  };
  const auto it = parents.find(lowerName);
  return it == parents.end() ? nullptr : it->second;
}

// A native nobody provides: answers the caller's default and warns once per VM.
class UnboundNative : public Native {
 public:
  explicit UnboundNative(std::string name) : name_(std::move(name)) {}
  Value Call(NativeCall& call) override {
    call.vm.WarnOnce(name_, "Unbound native function " + name_ +
                                " called: it answers the default value (the simulator does not "
                                "provide it)");
    return DefaultOf(call.result, call.vm.library().EmptyText());
  }

 private:
  std::string name_;
};

}  // namespace

Library::Library() {
  names_[""] = 0;
  empty_ = &*texts_.emplace().first;
  MakeBuiltins();
}

Library::~Library() = default;

void Library::AddFolder(const std::filesystem::path& folder) {
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::filesystem::path& path = it->path();
    if (!EqualsIgnoringAsciiCase(path.extension().string(), ".pex")) continue;
    if (!it->is_regular_file(ec)) continue;
    files_.emplace(text::ToLowerAscii(path.stem().string()), path);
  }
}

bool Library::AddScript(PexFile file, std::string* error) {
  if (file.objects.empty()) {
    *error = file.sourceName + ": the compiled script holds no object";
    return false;
  }
  const std::string lower = text::ToLowerAscii(file.text(file.objects[0].name));
  if (classes_.count(lower) || given_.count(lower)) {
    *error = "two scripts of the class " + file.text(file.objects[0].name);
    return false;
  }
  given_.emplace(lower, std::move(file));
  return true;
}

std::uint32_t Library::Name(std::string_view name) {
  std::string lower = text::ToLowerAscii(name);
  const auto it = names_.find(lower);
  if (it != names_.end()) return it->second;
  const auto id = static_cast<std::uint32_t>(names_.size());
  names_.emplace(std::move(lower), id);
  return id;
}

const std::string* Library::Text(std::string_view text) {
  const auto it = texts_.find(std::string(text));
  if (it != texts_.end()) return &*it;
  return &*texts_.emplace(text).first;
}

const std::string* Library::Keep(std::string&& text) {
  return &*texts_.emplace(std::move(text)).first;
}

const Function* Library::Builtin(std::uint32_t name) const {
  const auto it = builtins_.find(name);
  return it == builtins_.end() ? nullptr : it->second;
}

Native* Library::FindNative(std::string_view className, std::string_view name) {
  const std::string c = text::ToLowerAscii(className), n = text::ToLowerAscii(name);
  for (NativeSource* source : sources_)
    if (Native* native = source->Find(c, n)) return native;
  return nullptr;
}

Native* Library::Unbound(std::string_view className, std::string_view name) {
  const std::string key = std::string(className) + "." + std::string(name);
  const std::string lower = text::ToLowerAscii(key);
  auto& native = unbound_[lower];
  if (!native) native = std::make_unique<UnboundNative>(key);
  return native.get();
}

const Class* Library::Find(std::string_view name) {
  const std::string lower = text::ToLowerAscii(name);
  if (const auto it = classes_.find(lower); it != classes_.end()) return it->second.get();
  if (loading_.count(lower)) {
    loadErrors_.push_back("the script " + std::string(name) + " extends itself");
    return nullptr;
  }
  if (const auto it = given_.find(lower); it != given_.end()) {
    PexFile file = std::move(it->second);
    given_.erase(it);
    const std::string origin = file.sourceName;
    return Load(lower, std::move(file), origin);
  }
  const auto path = files_.find(lower);
  if (path == files_.end()) return EngineClass(lower, std::string(name));
  PexReadResult read = ReadPexFile(path->second);
  if (!read.ok()) {
    loadErrors_.push_back(read.error);
    return EngineClass(lower, std::string(name));
  }
  return Load(lower, std::move(read.file), path->second.string());
}

const Class* Library::EngineClass(const std::string& lowerName, const std::string& shownName) {
  auto cls = std::make_unique<Class>();
  cls->name = shownName;
  cls->nameId = Name(lowerName);
  if (const char* parent = EngineParent(lowerName)) cls->parent = Find(parent);
  if (cls->parent) {
    cls->variableTypes = cls->parent->variableTypes;
    cls->variableStart = cls->parent->variableStart;
    cls->methods = cls->parent->methods;
    cls->properties = cls->parent->properties;
  }
  Class* raw = cls.get();
  classes_[lowerName] = std::move(cls);
  return raw;
}

const Class* Library::Load(const std::string& lowerName, PexFile file, const std::string& origin) {
  const PexObject* object = nullptr;
  for (const PexObject& o : file.objects)
    if (EqualsIgnoringAsciiCase(file.text(o.name), lowerName)) object = &o;
  if (!object && !file.objects.empty()) object = &file.objects[0];
  if (!object) {
    loadErrors_.push_back(origin + ": the compiled script holds no object");
    return EngineClass(lowerName, lowerName);
  }
  loading_.insert(lowerName);
  auto cls = std::make_unique<Class>();
  cls->name = file.text(object->name);
  cls->nameId = Name(lowerName);
  cls->scripted = true;
  cls->sourceName = file.sourceName;
  const std::string parent = file.text(object->parent);
  if (!parent.empty()) cls->parent = Find(parent);
  loading_.erase(lowerName);
  std::string error;
  if (!Link(*cls, file, *object, &error)) {
    loadErrors_.push_back(origin + ": " + error);
    return EngineClass(lowerName, cls->name);
  }
  Class* raw = cls.get();
  classes_[lowerName] = std::move(cls);
  return raw;
}

bool Library::Link(Class& cls, const PexFile& file, const PexObject& object, std::string* error) {
  if (cls.parent) {
    cls.variableTypes = cls.parent->variableTypes;
    cls.variableStart = cls.parent->variableStart;
    cls.methods = cls.parent->methods;
    cls.properties = cls.parent->properties;
  }
  cls.variableBase = static_cast<std::uint32_t>(cls.variableTypes.size());
  for (const PexVariable& v : object.variables) {
    const Type type = Type::Parse(file.text(v.type));
    Value start = DefaultOf(type, empty_);
    switch (v.initial.kind) {
      case PexValue::Kind::Int:
        start = type.kind == Kind::Float ? Value::Float(static_cast<float>(v.initial.integer))
                                         : Value::Int(v.initial.integer);
        break;
      case PexValue::Kind::Float:
        start = Value::Float(v.initial.real);
        break;
      case PexValue::Kind::Bool:
        start = Value::Bool(v.initial.boolean);
        break;
      case PexValue::Kind::String:
        start = Value::String(Text(file.text(v.initial.string)));
        break;
      default:
        break;
    }
    cls.variablesByName[Name(file.text(v.name))] =
        static_cast<std::int32_t>(cls.variableTypes.size());
    cls.variableTypes.push_back(type);
    cls.variableStart.push_back(start);
  }
  cls.autoStateText = file.text(object.autoState);
  cls.autoState = Name(cls.autoStateText);
  for (const PexState& state : object.states) {
    const std::string stateName = file.text(state.name);
    const std::uint32_t stateId = Name(stateName);
    for (const PexNamedFunction& f : state.functions) {
      auto fn = std::make_unique<Function>();
      const std::string name = file.text(f.name);
      if (!Compile(cls, file, object, stateName, f.function, name, 0, fn.get(), error))
        return false;
      cls.methods[(static_cast<std::uint64_t>(stateId) << 32) | Name(name)] = fn.get();
      cls.functions.push_back(std::move(fn));
    }
  }
  for (const PexProperty& p : object.properties) {
    Property property;
    property.name = file.text(p.name);
    property.type = Type::Parse(file.text(p.type));
    if (p.automatic()) {
      const auto v = cls.variablesByName.find(Name(file.text(p.autoVariable)));
      if (v == cls.variablesByName.end()) {
        *error = "the property " + property.name + " names no variable of the script";
        return false;
      }
      property.variable = v->second;
    } else {
      for (int k = 1; k <= 2; ++k) {
        const bool wanted = k == 1 ? p.readable() : p.writable();
        if (!wanted) continue;
        auto fn = std::make_unique<Function>();
        if (!Compile(cls, file, object, "", k == 1 ? p.getter : p.setter, property.name,
                     static_cast<std::uint8_t>(k), fn.get(), error))
          return false;
        (k == 1 ? property.getter : property.setter) = fn.get();
        cls.functions.push_back(std::move(fn));
      }
    }
    cls.properties[Name(property.name)] = std::move(property);
  }
  return true;
}

bool Library::Compile(Class& cls, const PexFile& file, const PexObject& object,
                      const std::string& state, const PexFunction& source, const std::string& name,
                      std::uint8_t kind, Function* fn, std::string* error) {
  fn->owner = &cls;
  fn->name = name;
  fn->state = state;
  fn->kind = kind;
  fn->global = source.global();
  fn->native = source.native();
  fn->returnType = Type::Parse(file.text(source.returnType));
  std::unordered_map<std::uint32_t, std::uint32_t> slots;
  for (const PexNamedType& p : source.params) {
    slots.emplace(Name(file.text(p.name)), static_cast<std::uint32_t>(fn->slotTypes.size()));
    fn->slotTypes.push_back(Type::Parse(file.text(p.type)));
  }
  fn->parameterCount = static_cast<std::uint32_t>(fn->slotTypes.size());
  for (const PexNamedType& l : source.locals) {
    slots.emplace(Name(file.text(l.name)), static_cast<std::uint32_t>(fn->slotTypes.size()));
    fn->slotTypes.push_back(Type::Parse(file.text(l.type)));
  }
  // Source lines from the debug info, when it has this function (the game's compiler
  // writes none for GetState and GotoState).
  if (const PexDebugFunction* debug = FindPexDebug(file, file.text(object.name), state, name, kind))
    fn->lines = debug->lines;
  const std::uint32_t selfId = Name("self"), stateVar = Name("::State"),
                      noneVar = Name("::NoneVar");
  const std::string where = cls.name + "." + name;
  auto identifier = [&](const PexValue& v) -> std::string {
    return v.kind == PexValue::Kind::Identifier ? file.text(v.string) : std::string();
  };
  auto operand = [&](const PexValue& v, Operand* out) -> bool {
    switch (v.kind) {
      case PexValue::Kind::None:
        *out = {Operand::kNone, 0};
        return true;
      case PexValue::Kind::Identifier: {
        const std::uint32_t id = Name(file.text(v.string));
        if (const auto s = slots.find(id); s != slots.end()) {
          *out = {Operand::kLocal, s->second};
        } else if (id == selfId) {
          *out = {Operand::kSelf, 0};
        } else if (id == stateVar) {
          *out = {Operand::kState, 0};
        } else if (id == noneVar) {
          *out = {Operand::kDiscard, 0};
        } else {
          for (const Class* c = &cls; c; c = c->parent) {
            const auto var = c->variablesByName.find(id);
            if (var == c->variablesByName.end()) continue;
            *out = {Operand::kVariable, static_cast<std::uint32_t>(var->second)};
            return true;
          }
          *error = where + ": unknown identifier " + file.text(v.string);
          return false;
        }
        return true;
      }
      case PexValue::Kind::String:
        fn->constants.push_back(Value::String(Text(file.text(v.string))));
        break;
      case PexValue::Kind::Int:
        fn->constants.push_back(Value::Int(v.integer));
        break;
      case PexValue::Kind::Float:
        fn->constants.push_back(Value::Float(v.real));
        break;
      case PexValue::Kind::Bool:
        fn->constants.push_back(Value::Bool(v.boolean));
        break;
    }
    *out = {Operand::kConstant, static_cast<std::uint32_t>(fn->constants.size() - 1)};
    return true;
  };
  auto typeOf = [&](const Operand& o) -> Type {
    if (o.where == Operand::kLocal) return fn->slotTypes[o.index];
    if (o.where == Operand::kVariable) return cls.variableTypes[o.index];
    if (o.where == Operand::kState) return Type::Parse("String");
    return Type();
  };
  const auto count = static_cast<std::uint32_t>(source.code.size());
  for (std::uint32_t ip = 0; ip < count; ++ip) {
    const PexInstruction& in = source.code[ip];
    const int fixed = PexOperandCount(in.opcode);
    if (fixed < 0 || in.operands.size() < static_cast<std::size_t>(fixed)) {
      *error = where + ": instruction " + std::to_string(ip) + " is not one of Skyrim's";
      return false;
    }
    Instruction out;
    out.op = in.opcode;
    auto jump = [&](const PexValue& offset) -> bool {
      const std::int64_t target = static_cast<std::int64_t>(ip) + offset.integer;
      if (offset.kind != PexValue::Kind::Int || target < 0 || target > count) {
        *error = where + ": instruction " + std::to_string(ip) + " jumps outside the function";
        return false;
      }
      out.extra = static_cast<std::uint32_t>(target);
      return true;
    };
    auto site = [&](const PexValue& fnName, const PexValue* className, const Operand& result,
                    std::size_t firstArgument) -> bool {
      CallSite s;
      s.nameText = identifier(fnName);
      if (s.nameText.empty()) {
        *error = where + ": instruction " + std::to_string(ip) + " names no function";
        return false;
      }
      s.name = Name(s.nameText);
      if (className) {
        s.classText = identifier(*className);
        s.className = Name(s.classText);
      }
      s.resultType = typeOf(result);
      s.firstArgument = static_cast<std::uint32_t>(fn->arguments.size());
      for (std::size_t i = firstArgument; i < in.operands.size(); ++i) {
        Operand a;
        if (!operand(in.operands[i], &a)) return false;
        fn->arguments.push_back(a);
      }
      s.argumentCount = static_cast<std::uint32_t>(fn->arguments.size()) - s.firstArgument;
      out.extra = static_cast<std::uint32_t>(fn->sites.size());
      fn->sites.push_back(std::move(s));
      return true;
    };
    const auto& o = in.operands;
    bool ok = true;
    switch (in.opcode) {
      case op::kJmp:
        ok = jump(o[0]);
        break;
      case op::kJmpt:
      case op::kJmpf:
        ok = operand(o[0], &out.a) && jump(o[1]);
        break;
      case op::kCallMethod:
        ok = operand(o[1], &out.a) && operand(o[2], &out.b) && site(o[0], nullptr, out.b, 3);
        break;
      case op::kCallParent:
        ok = operand(o[1], &out.b) && site(o[0], nullptr, out.b, 2);
        break;
      case op::kCallStatic:
        ok = operand(o[2], &out.b) && site(o[1], &o[0], out.b, 3);
        break;
      case op::kPropGet:
      case op::kPropSet:
        ok = operand(o[1], &out.a) && operand(o[2], &out.b) && site(o[0], nullptr, out.b, 3);
        break;
      default: {
        Operand* slots4[] = {&out.a, &out.b, &out.c, &out.d};
        for (int k = 0; k < fixed && ok; ++k) ok = operand(o[k], slots4[k]);
        if (ok && (in.opcode == op::kCast || in.opcode == op::kArrayCreate ||
                   in.opcode == op::kArrayGet)) {
          out.extra = static_cast<std::uint32_t>(fn->types.size());
          fn->types.push_back(typeOf(out.a));
        }
      }
    }
    if (!ok) return false;
    fn->code.push_back(out);
  }
  return true;
}

void Library::MakeBuiltins() {
  builtinOwner_ = std::make_unique<Class>();
  builtinOwner_->name = "Form";
  auto make = [&](const char* name) {
    auto fn = std::make_unique<Function>();
    fn->owner = builtinOwner_.get();
    fn->name = name;
    Function* raw = fn.get();
    builtins_[Name(name)] = raw;
    builtinOwner_->functions.push_back(std::move(fn));
    return raw;
  };
  Function* getState = make("GetState");
  getState->returnType = Type::Parse("String");
  Instruction ret;
  ret.op = op::kReturn;
  ret.a = {Operand::kState, 0};
  getState->code.push_back(ret);

  Function* gotoState = make("GotoState");
  gotoState->slotTypes = {Type::Parse("String")};
  gotoState->parameterCount = 1;
  for (const char* event : {"OnEndState", "", "OnBeginState"}) {
    Instruction in;
    if (*event) {
      CallSite s;
      s.nameText = event;
      s.name = Name(event);
      in.op = op::kCallMethod;
      in.a = {Operand::kSelf, 0};
      in.b = {Operand::kDiscard, 0};
      in.extra = static_cast<std::uint32_t>(gotoState->sites.size());
      gotoState->sites.push_back(s);
    } else {
      in.op = op::kAssign;
      in.a = {Operand::kState, 0};
      in.b = {Operand::kLocal, 0};
    }
    gotoState->code.push_back(in);
  }
  make("OnBeginState");
  make("OnEndState");
}

// Class lookups.

const Function* Class::Method(std::uint32_t state, std::uint32_t name) const {
  if (state != 0) {
    const auto it = methods.find((static_cast<std::uint64_t>(state) << 32) | name);
    if (it != methods.end()) return it->second;
  }
  const auto it = methods.find(name);
  return it == methods.end() ? nullptr : it->second;
}

const Function* Class::Global(std::uint32_t name) const {
  const auto it = methods.find(name);
  return it == methods.end() ? nullptr : it->second;
}

bool Class::DerivesFrom(std::uint32_t id) const {
  for (const Class* c = this; c; c = c->parent)
    if (c->nameId == id) return true;
  return false;
}

bool Class::HasScriptlessAncestor() const {
  for (const Class* c = this; c; c = c->parent)
    if (!c->scripted) return true;
  return false;
}

}  // namespace cw::papyrus::vm
