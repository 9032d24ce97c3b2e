#include "papyrus/vm/vm.h"

#include <algorithm>
#include <cstdio>
#include <exception>

#include "papyrus/vm/opcodes.h"

namespace cw::papyrus::vm {
namespace {

// Deeper calls are a script error: the VM's stack is memory like any other.
constexpr std::size_t kMaxFrames = 20000;
// An error's stack lists this many frames, innermost first, and then their number.
constexpr std::size_t kMaxStackLines = 64;
// Arrays made with `new` hold 1 to 128 elements.
constexpr std::int32_t kMaxArray = 128;
// Texts longer than this are cut, with a script error: a text doubled again and
// again would take the memory of the machine.
constexpr std::size_t kMaxText = std::size_t{1} << 24;

const Value kNone;

inline std::int32_t IntOf(const Value& v) {
  return v.kind == Kind::Int ? v.i : ToInt(v);
}
inline float FloatOf(const Value& v) {
  return v.kind == Kind::Float ? v.f : ToFloat(v);
}
inline std::int32_t Wrap(std::int64_t v) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
}

// An argument or answer given to a declared type: Int where a Float is declared
// becomes that Float, as the game converts it.
inline Value Fit(const Value& v, const Type& type) {
  if (v.kind == Kind::Int && type.kind == Kind::Float && !type.array)
    return Value::Float(static_cast<float>(v.i));
  return v;
}

std::string Hex8(std::uint32_t v) {
  char text[16];
  std::snprintf(text, sizeof text, "%08X", v);
  return text;
}

}  // namespace

std::string DescribeObject(const Instance* object) {
  if (!object) return "None";
  if (object->formID == 0) return "[" + object->cls->name + "]";
  return "[" + object->cls->name + " <(" + Hex8(object->formID) + ")>]";
}

bool IsA(const Instance* object, std::string_view lowerName) {
  for (const Class* c = object ? object->cls : nullptr; c; c = c->parent) {
    if (c->name.size() != lowerName.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < lowerName.size() && same; ++i)
      same = (c->name[i] | 0x20) == (lowerName[i] | 0x20);
    if (same) return true;
  }
  return false;
}

const char* EngineClassOfFormType(std::uint8_t formType) {
  switch (formType) {
    case 4:
      return "Keyword";
    case 9:
      return "GlobalVariable";
    case 11:
      return "Faction";
    case 18:
      return "MagicEffect";
    case 21:
      return "Enchantment";
    case 22:
      return "Spell";
    case 24:
      return "Activator";
    case 26:
      return "Armor";
    case 27:
      return "Book";
    case 28:
      return "Container";
    case 29:
      return "Door";
    case 30:
      return "Ingredient";
    case 31:
      return "Light";
    case 32:
      return "MiscObject";
    case 34:
      return "Static";
    case 41:
      return "Weapon";
    case 43:
      return "ActorBase";
    case 45:
      return "Key";
    case 46:
      return "Potion";
    case 60:
      return "Cell";
    case 61:
      return "ObjectReference";
    case 62:
      return "Actor";
    case 77:
      return "Quest";
    case 91:
      return "FormList";
    default:
      return "Form";
  }
}

Vm::Vm(Library& library, const FormWorld* world, std::uint64_t seed)
    : library_(library), world_(world), random_(static_cast<std::uint32_t>(seed)) {}

Vm::~Vm() = default;

void Vm::Log(const std::string& line) {
  if (log_) log_(line);
}

void Vm::Warning(const std::string& text) {
  Log("warning: " + text);
}

void Vm::WarnOnce(const std::string& key, const std::string& text) {
  if (warned_.insert(key).second) Warning(text);
}

Instance* Vm::NewObject(const Class* cls, std::uint32_t formID) {
  Instance& o = objects_.emplace_back();
  o.cls = cls;
  o.formID = formID;
  o.variables = cls->variableStart;
  o.state = cls->autoState;
  o.stateName = Value::String(library_.Text(cls->autoStateText));
  return &o;
}

std::optional<std::uint8_t> Vm::FormType(std::uint32_t formID) const {
  if (world_)
    if (auto type = world_->FormType(formID)) return type;
  const auto it = forms_.find(formID);
  if (it == forms_.end()) return std::nullopt;
  return static_cast<std::uint8_t>(IsA(it->second, "quest") ? 77 : 0);
}

Instance* Vm::FormObject(std::uint32_t formID) {
  if (const auto it = forms_.find(formID); it != forms_.end()) return it->second;
  const auto type = FormType(formID);
  if (!type || formID == 0) return nullptr;
  Instance* object = NewObject(library_.Find(EngineClassOfFormType(*type)), formID);
  forms_[formID] = object;
  return object;
}

void Vm::Attach(Instance* object) {
  if (object->formID) forms_[object->formID] = object;
}

// Threads and the clock.

Thread* Vm::Start(const Function* fn, Instance* self, const std::vector<Value>& arguments) {
  auto owned = std::make_unique<Thread>();
  Thread* t = owned.get();
  t->id = nextThread_++;
  t->keep = true;
  threads_[t->id] = std::move(owned);
  if (Enter(*t, fn, self, arguments.data(), static_cast<std::uint32_t>(arguments.size()),
            {Operand::kDiscard, 0}))
    ready_.push_back(t);
  else
    t->finished = true;
  return t;
}

bool Vm::SendEvent(Instance* object, std::string_view name, const std::vector<Value>& arguments) {
  const Function* fn = object->cls->Method(object->state, library_.Name(name));
  if (!fn || fn->native) return false;
  auto owned = std::make_unique<Thread>();
  Thread* t = owned.get();
  t->id = nextThread_++;
  threads_[t->id] = std::move(owned);
  if (Enter(*t, fn, object, arguments.data(), static_cast<std::uint32_t>(arguments.size()),
            {Operand::kDiscard, 0}))
    ready_.push_back(t);
  else
    threads_.erase(t->id);
  return true;
}

void Vm::Schedule(double at, Timer timer) {
  timers_.emplace(std::pair{at, ++timerSequence_}, timer);
}

void Vm::Suspend(Thread& thread, double seconds) {
  thread.suspended = true;
  Schedule(now_ + std::max(0.0, seconds), {Timer::kWake, thread.id, nullptr, 0});
}

void Vm::RegisterForUpdate(Instance* object, double interval, bool repeat) {
  Update& u = updates_[object];
  u.generation = ++timerSequence_;
  u.interval = std::max(0.0, interval);
  u.repeat = repeat;
  Schedule(now_ + u.interval, {Timer::kUpdate, 0, object, u.generation});
}

void Vm::UnregisterForUpdate(Instance* object) {
  updates_.erase(object);
}

void Vm::RunUntil(double until, const std::function<bool()>& done) {
  interrupted_ = false;
  for (;;) {
    while (!ready_.empty()) {
      Thread* t = ready_.front();
      ready_.pop_front();
      try {
        Run(*t);
      } catch (const std::exception& e) {
        // Out of memory (a text doubled again and again): the thread ends with an error.
        Error(*t, std::string("The script stopped: ") + e.what());
        t->frames.clear();
        t->slots.clear();
        t->finished = true;
      }
      if (interrupted_) {
        if (!t->finished && !t->suspended) ready_.push_front(t);
        return;
      }
      if (t->finished && !t->keep) threads_.erase(t->id);
      if (done && done()) return;
    }
    if ((done && done()) || timers_.empty()) return;
    const auto next = timers_.begin();
    if (next->first.first > until) {
      now_ = std::max(now_, until);
      return;
    }
    const double at = next->first.first;
    const Timer timer = next->second;
    timers_.erase(next);
    if (timer.kind == Timer::kWake) {
      const auto it = threads_.find(timer.thread);
      if (it == threads_.end()) continue;
      now_ = std::max(now_, at);
      it->second->suspended = false;
      ready_.push_back(it->second.get());
      continue;
    }
    // An update whose registration was replaced or dropped since does not come.
    const auto it = updates_.find(timer.object);
    if (it == updates_.end() || it->second.generation != timer.generation) continue;
    now_ = std::max(now_, at);
    if (it->second.repeat)
      Schedule(now_ + std::max(it->second.interval, 0.001), timer);
    else
      updates_.erase(it);
    SendEvent(timer.object, "OnUpdate");
  }
}

// Frames.

bool Vm::Enter(Thread& t, const Function* fn, Instance* self, const Value* arguments,
               std::uint32_t count, Operand result) {
  if (t.frames.size() >= kMaxFrames) {
    Error(t, "Stack overflow: more than " + std::to_string(kMaxFrames) +
                 " nested calls, aborting function call");
    return false;
  }
  const auto base = static_cast<std::uint32_t>(t.slots.size());
  const std::uint32_t size = fn->frameSize();
  t.slots.resize(base + size);
  Value* slots = t.slots.data() + base;
  for (std::uint32_t i = 0; i < size; ++i)
    slots[i] = i < fn->parameterCount && i < count
                   ? Fit(arguments[i], fn->slotTypes[i])
                   : DefaultOf(fn->slotTypes[i], library_.EmptyText());
  t.frames.push_back({fn, self, base, 0, result});
  return true;
}

void Vm::SetState(Instance* object, const Value& name) {
  if (!object) return;
  object->stateName = name.kind == Kind::String ? name : Text(ToText(name));
  object->state = library_.Name(*object->stateName.s);
}

namespace {

struct Access {
  Thread& t;
  Vm& vm;
  const Value& emptyText;
  Value& self;

  const Value& Read(const Frame& f, const Operand& o) const {
    switch (o.where) {
      case Operand::kLocal:
        return t.slots[f.base + o.index];
      case Operand::kConstant:
        return f.fn->constants[o.index];
      case Operand::kVariable:
        return f.self ? f.self->variables[o.index] : kNone;
      case Operand::kSelf:
        self = Value::Object(f.self);
        return self;
      case Operand::kState:
        return f.self ? f.self->stateName : emptyText;
      default:
        return kNone;
    }
  }
};

}  // namespace

void Vm::Leave(Thread& t, Value value) {
  const Frame f = t.frames.back();
  t.frames.pop_back();
  t.slots.resize(f.base);
  value = Fit(value, f.fn->returnType);
  if (t.frames.empty()) {
    t.result = value;
    t.finished = true;
    return;
  }
  WriteResult(t, f.result, value);
}

std::string Vm::FrameText(const Frame& frame) const {
  const Function& fn = *frame.fn;
  std::string text = frame.self ? DescribeObject(frame.self) : "<unknown self>";
  text += "." + fn.owner->name + "." + fn.name;
  if (fn.kind == 1) text += ".get";
  if (fn.kind == 2) text += ".set";
  text += "()";
  const std::uint32_t at = frame.ip ? frame.ip - 1 : 0;
  if (fn.owner->sourceName.empty()) return text + " - \"<native>\" ?";
  text += " - \"" + fn.owner->sourceName + "\" Line ";
  text += at < fn.lines.size() ? std::to_string(fn.lines[at]) : std::string("?");
  return text;
}

void Vm::Error(Thread& t, const std::string& message) {
  ScriptError error{message, {}};
  for (auto f = t.frames.rbegin(); f != t.frames.rend(); ++f) {
    if (error.stack.size() == kMaxStackLines) {
      error.stack.push_back("... and " + std::to_string(t.frames.rend() - f) + " more frames");
      break;
    }
    error.stack.push_back(FrameText(*f));
  }
  ++t.errors;
  Log("error: " + message);
  Log("stack:");
  for (const std::string& line : error.stack) Log("\t" + line);
  errors_.push_back(std::move(error));
}

Value Vm::Cast(const Value& v, const Type& type) {
  if (type.array) return v.kind == Kind::Array ? v : Value();
  switch (type.kind) {
    case Kind::Int:
      return Value::Int(IntOf(v));
    case Kind::Float:
      return Value::Float(FloatOf(v));
    case Kind::Bool:
      return Value::Bool(ToBool(v));
    case Kind::String:
      return v.kind == Kind::String ? v : Text(ToText(v));
    case Kind::Object:
      return v.kind == Kind::Object && IsA(v.o, type.className) ? v : Value();
    default:
      return v;
  }
}

void Vm::CallNative(Thread& t, Native* native, const Function* fn, Value self,
                    const Value* arguments, std::uint32_t count, const Type& resultType,
                    Operand result) {
  const Type& type = fn && fn->returnType.kind != Kind::None ? fn->returnType : resultType;
  NativeCall call{*this, t, self, arguments, count, type};
  Value answer;
  try {
    answer = native->Call(call);
  } catch (...) {
    answer = DefaultOf(type, library_.EmptyText());
  }
  WriteResult(t, result, answer);
}

void Vm::WriteResult(Thread& t, Operand result, const Value& value) {
  Frame& caller = t.frames.back();
  switch (result.where) {
    case Operand::kLocal:
      t.slots[caller.base + result.index] = value;
      break;
    case Operand::kVariable:
      if (caller.self) caller.self->variables[result.index] = value;
      break;
    case Operand::kState:
      SetState(caller.self, value);
      break;
    default:
      break;
  }
}

void Vm::Call(Thread& t, const CallSite& constSite, std::uint8_t opcode, Value selfValue,
              Operand result) {
  auto& s = const_cast<CallSite&>(constSite);
  const Value* args = arguments_.data();
  const auto count = static_cast<std::uint32_t>(arguments_.size());
  auto fail = [&](const std::string& message) {
    Error(t, message);
    WriteResult(t, result, DefaultOf(s.resultType, library_.EmptyText()));
  };
  // The natives of a class chain: the engine's of each class, whether or not a
  // script of it is at hand.
  auto nativeOnChain = [&](const Class* cls) -> Native* {
    for (const Class* c = cls; c; c = c->parent)
      if (Native* n = library_.FindNative(c->name, s.nameText)) return n;
    for (const Class* c = cls; c; c = c->parent)
      if (!c->scripted) return library_.Unbound(c->name, s.nameText);
    return nullptr;
  };
  auto bind = [&](const Function* fn) {
    if (!fn->bound) {
      fn->binding = library_.FindNative(fn->owner->name, fn->name);
      if (!fn->binding) fn->binding = library_.Unbound(fn->owner->name, fn->name);
      fn->bound = true;
    }
    return fn->binding;
  };
  if (opcode == op::kCallStatic) {
    if (!s.resolved) {
      const Class* cls = library_.Find(s.classText);
      if (!cls) cls = library_.Find("Form");
      s.seenClass = cls;
      s.target = cls->Global(s.name);
      if (s.target && s.target->native) s.native = bind(s.target);
      if (!s.target) {
        s.native = library_.FindNative(cls->name, s.nameText);
        if (!s.native && !cls->scripted) s.native = library_.Unbound(cls->name, s.nameText);
      }
      s.resolved = true;
    }
    if (s.target && !s.target->native) {
      Enter(t, s.target, nullptr, args, count, result);
    } else if (s.native) {
      CallNative(t, s.native, s.target, Value(), args, count, s.resultType, result);
    } else {
      fail("Unable to call " + s.nameText + " - " + s.seenClass->name +
           " has no global function of that name, aborting function call");
    }
    return;
  }
  Instance* self = selfValue.kind == Kind::Object ? selfValue.o : nullptr;
  const Class* cls = nullptr;
  if (opcode == op::kCallParent) {
    cls = t.frames.back().fn->owner->parent;
    if (!cls) {
      fail("Unable to call Parent." + s.nameText + " - " + t.frames.back().fn->owner->name +
           " has no parent, aborting function call");
      return;
    }
  } else {
    if (!self) {
      fail("Cannot call " + s.nameText + "() on a None object, aborting function call");
      return;
    }
    cls = self->cls;
  }
  const std::uint32_t state = self ? self->state : 0;
  if (!s.resolved || s.seenClass != cls || s.seenState != state) {
    s.target = cls->Method(state, s.name);
    if (!s.target) s.target = library_.Builtin(s.name);
    s.native = nullptr;
    if (s.target && s.target->native) s.native = bind(s.target);
    if (!s.target) s.native = nativeOnChain(cls);
    s.seenClass = cls;
    s.seenState = state;
    s.resolved = true;
  }
  if (s.target && !s.target->native) {
    Enter(t, s.target, self, args, count, result);
  } else if (s.native) {
    CallNative(t, s.native, s.target, selfValue, args, count, s.resultType, result);
  } else {
    fail("Method " + s.nameText + " not found on " + cls->name +
         ". Aborting call and returning None");
  }
}

// The interpreter.

void Vm::Run(Thread& t) {
  t.suspended = false;
  const Value emptyText = Value::String(library_.EmptyText());
  Access access{t, *this, emptyText, self_};
  while (!t.frames.empty()) {
    Frame* f = &t.frames.back();
    const Function* fn = f->fn;
    const Instruction* code = fn->code.data();
    const auto size = static_cast<std::uint32_t>(fn->code.size());
    Value* slots = t.slots.data() + f->base;
    Instance* self = f->self;
#define CW_READ(o) ((o).where == Operand::kLocal ? slots[(o).index] : access.Read(*f, (o)))
#define CW_WRITE(o, v)                                             \
  do {                                                             \
    const Value cw_value_ = (v);                                   \
    if ((o).where == Operand::kLocal)                              \
      slots[(o).index] = cw_value_;                                \
    else if ((o).where == Operand::kVariable)                      \
      (self ? self->variables[(o).index] = cw_value_ : cw_value_); \
    else if ((o).where == Operand::kState)                         \
      SetState(self, cw_value_);                                   \
  } while (0)
    for (;;) {
      if (f->ip >= size) {
        Leave(t, Value());
        break;
      }
      ++instructions_;
      if (++work_ >= nextInterrupt_) {
        nextInterrupt_ = work_ + interruptEvery_;
        if (interrupt_ && interrupt_()) {
          interrupted_ = true;
          return;
        }
      }
      const Instruction& in = code[f->ip++];
      switch (in.op) {
        case op::kNop:
          continue;
        case op::kIAdd:
          CW_WRITE(in.a, Value::Int(Wrap(static_cast<std::int64_t>(IntOf(CW_READ(in.b))) +
                                         IntOf(CW_READ(in.c)))));
          continue;
        case op::kISub:
          CW_WRITE(in.a, Value::Int(Wrap(static_cast<std::int64_t>(IntOf(CW_READ(in.b))) -
                                         IntOf(CW_READ(in.c)))));
          continue;
        case op::kIMul:
          CW_WRITE(in.a, Value::Int(Wrap(static_cast<std::int64_t>(IntOf(CW_READ(in.b))) *
                                         IntOf(CW_READ(in.c)))));
          continue;
        case op::kIDiv:
        case op::kIMod: {
          const std::int64_t x = IntOf(CW_READ(in.b)), y = IntOf(CW_READ(in.c));
          if (y == 0) {
            Error(t, "Divide by zero");
            CW_WRITE(in.a, Value::Int(0));
            continue;
          }
          CW_WRITE(in.a, Value::Int(Wrap(in.op == op::kIDiv ? x / y : x % y)));
          continue;
        }
        case op::kFAdd:
          CW_WRITE(in.a, Value::Float(FloatOf(CW_READ(in.b)) + FloatOf(CW_READ(in.c))));
          continue;
        case op::kFSub:
          CW_WRITE(in.a, Value::Float(FloatOf(CW_READ(in.b)) - FloatOf(CW_READ(in.c))));
          continue;
        case op::kFMul:
          CW_WRITE(in.a, Value::Float(FloatOf(CW_READ(in.b)) * FloatOf(CW_READ(in.c))));
          continue;
        case op::kFDiv: {
          const float y = FloatOf(CW_READ(in.c));
          if (y == 0) {
            Error(t, "Divide by zero");
            CW_WRITE(in.a, Value::Float(0));
            continue;
          }
          CW_WRITE(in.a, Value::Float(FloatOf(CW_READ(in.b)) / y));
          continue;
        }
        case op::kNot:
          CW_WRITE(in.a, Value::Bool(!ToBool(CW_READ(in.b))));
          continue;
        case op::kINeg:
          CW_WRITE(in.a, Value::Int(Wrap(-static_cast<std::int64_t>(IntOf(CW_READ(in.b))))));
          continue;
        case op::kFNeg:
          CW_WRITE(in.a, Value::Float(-FloatOf(CW_READ(in.b))));
          continue;
        case op::kAssign:
          CW_WRITE(in.a, CW_READ(in.b));
          continue;
        case op::kCast:
          CW_WRITE(in.a, Cast(CW_READ(in.b), fn->types[in.extra]));
          continue;
        case op::kCmpEq:
          CW_WRITE(in.a, Value::Bool(ValuesEqual(CW_READ(in.b), CW_READ(in.c))));
          continue;
        case op::kCmpLt:
          CW_WRITE(in.a, Value::Bool(CompareValues(CW_READ(in.b), CW_READ(in.c)) < 0));
          continue;
        case op::kCmpLe:
          CW_WRITE(in.a, Value::Bool(CompareValues(CW_READ(in.b), CW_READ(in.c)) <= 0));
          continue;
        case op::kCmpGt:
          CW_WRITE(in.a, Value::Bool(CompareValues(CW_READ(in.b), CW_READ(in.c)) > 0));
          continue;
        case op::kCmpGe:
          CW_WRITE(in.a, Value::Bool(CompareValues(CW_READ(in.b), CW_READ(in.c)) >= 0));
          continue;
        case op::kJmp:
          f->ip = in.extra;
          continue;
        case op::kJmpt:
          if (ToBool(CW_READ(in.a))) f->ip = in.extra;
          continue;
        case op::kJmpf:
          if (!ToBool(CW_READ(in.a))) f->ip = in.extra;
          continue;
        case op::kStrcat: {
          const Value& x = CW_READ(in.b);
          const Value& y = CW_READ(in.c);
          std::string text = x.kind == Kind::String ? *x.s : ToText(x);
          text += y.kind == Kind::String ? *y.s : ToText(y);
          if (text.size() > kMaxText) {
            Error(t, "A text of " + std::to_string(text.size()) +
                         " bytes is too long (at most 16 MiB), aborting function call");
            text.resize(kMaxText);
          }
          work_ += text.size() >> 10;
          CW_WRITE(in.a, Value::String(library_.Keep(std::move(text))));
          continue;
        }
        case op::kReturn:
          Leave(t, CW_READ(in.a));
          break;
        case op::kArrayCreate: {
          const std::int32_t n = IntOf(CW_READ(in.b));
          if (n < 1 || n > kMaxArray) {
            Error(t, "Cannot create an array of " + std::to_string(n) +
                         " elements: an array holds 1 to 128");
            CW_WRITE(in.a, Value());
            continue;
          }
          Array& array = arrays_.emplace_back();
          array.element = fn->types[in.extra];
          array.element.array = false;
          array.items.assign(static_cast<std::size_t>(n),
                             DefaultOf(array.element, library_.EmptyText()));
          CW_WRITE(in.a, Value::ArrayOf(&array));
          continue;
        }
        case op::kArrayLength: {
          const Value& a = CW_READ(in.b);
          CW_WRITE(
              in.a,
              Value::Int(a.kind == Kind::Array ? static_cast<std::int32_t>(a.a->items.size()) : 0));
          continue;
        }
        case op::kArrayGet:
        case op::kArraySet: {
          const bool get = in.op == op::kArrayGet;
          const Value& a = CW_READ(get ? in.b : in.a);
          const std::int32_t index = IntOf(CW_READ(get ? in.c : in.b));
          if (a.kind != Kind::Array) {
            Error(t, "Cannot access an element of a None array, aborting function call");
            if (get) CW_WRITE(in.a, DefaultOf(fn->types[in.extra], library_.EmptyText()));
            continue;
          }
          Array& array = *a.a;
          const auto n = static_cast<std::int32_t>(array.items.size());
          if (index < 0 || index >= n) {
            Error(t, "Array index " + std::to_string(index) + " is out of range (0-" +
                         std::to_string(n - 1) + ")");
            if (get) CW_WRITE(in.a, DefaultOf(array.element, library_.EmptyText()));
            continue;
          }
          if (get)
            CW_WRITE(in.a, array.items[static_cast<std::size_t>(index)]);
          else
            array.items[static_cast<std::size_t>(index)] = Fit(CW_READ(in.c), array.element);
          continue;
        }
        case op::kArrayFind:
        case op::kArrayRFind: {
          const Value& a = CW_READ(in.a);
          const Value wanted = CW_READ(in.c);
          std::int32_t start = IntOf(CW_READ(in.d));
          std::int32_t found = -1;
          if (a.kind != Kind::Array) {
            Error(t, "Cannot search a None array, aborting function call");
            CW_WRITE(in.b, Value::Int(-1));
            continue;
          }
          const auto& items = a.a->items;
          const auto n = static_cast<std::int32_t>(items.size());
          if (in.op == op::kArrayFind) {
            for (std::int32_t i = std::max(start, 0); i < n && found < 0; ++i)
              if (ValuesEqual(items[static_cast<std::size_t>(i)], wanted)) found = i;
          } else {
            if (start < 0 || start >= n) start = n - 1;
            for (std::int32_t i = start; i >= 0 && found < 0; --i)
              if (ValuesEqual(items[static_cast<std::size_t>(i)], wanted)) found = i;
          }
          CW_WRITE(in.b, Value::Int(found));
          continue;
        }
        case op::kCallMethod:
        case op::kCallParent:
        case op::kCallStatic:
        case op::kPropGet:
        case op::kPropSet: {
          const CallSite& site = fn->sites[in.extra];
          arguments_.clear();
          for (std::uint32_t i = 0; i < site.argumentCount; ++i)
            arguments_.push_back(CW_READ(fn->arguments[site.firstArgument + i]));
          Value target = in.op == op::kCallParent   ? Value::Object(self)
                         : in.op == op::kCallStatic ? Value()
                                                    : CW_READ(in.a);
          if (in.op == op::kPropGet || in.op == op::kPropSet)
            PropertyAccess(t, site, in.op == op::kPropGet, target, in.b,
                           in.op == op::kPropSet ? CW_READ(in.b) : Value());
          else
            Call(t, site, in.op, target, in.b);
          break;
        }
        default:
          Error(t, "Unknown instruction " + std::to_string(in.op));
          continue;
      }
      break;  // the frame changed: reload
    }
#undef CW_READ
#undef CW_WRITE
    if (t.suspended || interrupted_) return;
  }
  t.finished = true;
}

void Vm::PropertyAccess(Thread& t, const CallSite& constSite, bool get, Value target,
                        Operand operand, Value value) {
  auto& s = const_cast<CallSite&>(constSite);
  if (target.kind != Kind::Object) {
    Error(t, std::string("Cannot ") + (get ? "get" : "set") + " " + s.nameText +
                 " on a None object, aborting function call");
    if (get) WriteResult(t, operand, DefaultOf(s.resultType, library_.EmptyText()));
    return;
  }
  Instance* object = target.o;
  if (!s.resolved || s.seenClass != object->cls) {
    const auto it = object->cls->properties.find(s.name);
    s.property = it == object->cls->properties.end() ? nullptr : &it->second;
    s.seenClass = object->cls;
    s.resolved = true;
  }
  const struct Property* p = s.property;
  if (!p || (get ? !p->getter && p->variable < 0 : !p->setter && p->variable < 0)) {
    Error(t, "Property " + s.nameText + " not found on " + object->cls->name +
                 (get ? " to read" : " to write") + ", aborting function call");
    if (get) WriteResult(t, operand, DefaultOf(s.resultType, library_.EmptyText()));
    return;
  }
  if (p->variable >= 0) {
    if (get)
      WriteResult(t, operand, object->variables[static_cast<std::size_t>(p->variable)]);
    else
      object->variables[static_cast<std::size_t>(p->variable)] = Fit(value, p->type);
    return;
  }
  if (get)
    Enter(t, p->getter, object, nullptr, 0, operand);
  else
    Enter(t, p->setter, object, &value, 1, {Operand::kDiscard, 0});
}

}  // namespace cw::papyrus::vm
