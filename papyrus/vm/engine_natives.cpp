#include "papyrus/vm/engine_natives.h"

#include "papyrus/vm/vm.h"

namespace cw::papyrus::vm {
namespace {

// Game time runs 20 times as fast as real time.
constexpr double kTimeScale = 20.0;

class FunctionNative : public Native {
 public:
  explicit FunctionNative(Value (*fn)(NativeCall&)) : fn_(fn) {}
  Value Call(NativeCall& call) override { return fn_(call); }

 private:
  Value (*fn_)(NativeCall&);
};

std::string TextOf(const Value& v) {
  return v.kind == Kind::String ? *v.s : ToText(v);
}

Instance* SelfOf(NativeCall& c) {
  return c.self.kind == Kind::Object ? c.self.o : nullptr;
}

Value FormValue(NativeCall& c, std::uint32_t formID) {
  return Value::Object(c.vm.FormObject(formID));
}

// A random number in [0, 2^32) from the run's seeded generator, the same on
// every platform.
std::uint32_t Random(NativeCall& c) {
  return static_cast<std::uint32_t>(c.vm.random()());
}

const std::pair<const char*, Value (*)(NativeCall&)> kNatives[] = {
    {"debug.trace",
     [](NativeCall& c) {
       c.vm.Log(TextOf(c.argument(0)));
       return Value();
     }},
    {"debug.notification",
     [](NativeCall& c) {
       c.vm.Log("Notification: " + TextOf(c.argument(0)));
       return Value();
     }},
    {"debug.messagebox",
     [](NativeCall& c) {
       c.vm.Log("MessageBox: " + TextOf(c.argument(0)));
       return Value();
     }},
    {"utility.wait",
     [](NativeCall& c) {
       c.vm.Suspend(c.thread, ToFloat(c.argument(0)));
       return Value();
     }},
    {"utility.waitmenumode",
     [](NativeCall& c) {
       c.vm.Suspend(c.thread, ToFloat(c.argument(0)));
       return Value();
     }},
    {"utility.waitgametime",
     [](NativeCall& c) {
       c.vm.Suspend(c.thread, ToFloat(c.argument(0)) * 3600.0 / kTimeScale);
       return Value();
     }},
    {"utility.getcurrentrealtime",
     [](NativeCall& c) { return Value::Float(static_cast<float>(c.vm.now())); }},
    {"utility.getcurrentgametime",
     [](NativeCall& c) {
       return Value::Float(static_cast<float>(c.vm.now() * kTimeScale / 86400.0));
     }},
    {"utility.randomint",
     [](NativeCall& c) {
       std::int64_t low = c.count > 0 ? ToInt(c.argument(0)) : 0;
       std::int64_t high = c.count > 1 ? ToInt(c.argument(1)) : 100;
       if (high < low) std::swap(low, high);
       const auto span = static_cast<std::uint64_t>(high - low) + 1;
       return Value::Int(
           static_cast<std::int32_t>(low + static_cast<std::int64_t>(Random(c) % span)));
     }},
    {"utility.randomfloat",
     [](NativeCall& c) {
       const float low = c.count > 0 ? ToFloat(c.argument(0)) : 0.0f;
       const float high = c.count > 1 ? ToFloat(c.argument(1)) : 1.0f;
       const double unit = Random(c) / 4294967296.0;
       return Value::Float(static_cast<float>(low + (high - low) * unit));
     }},
    {"game.getplayer",
     [](NativeCall& c) {
       Instance* player = c.vm.FormObject(kPlayerFormID);
       if (!player) {
         player = c.vm.NewObject(c.vm.library().Find("Actor"), kPlayerFormID);
         c.vm.Attach(player);
       }
       return Value::Object(player);
     }},
    {"game.getform",
     [](NativeCall& c) { return FormValue(c, static_cast<std::uint32_t>(ToInt(c.argument(0)))); }},
    {"game.getformfromfile",
     [](NativeCall& c) {
       const FormWorld* world = c.vm.world();
       const auto id = world ? world->FormInFile(static_cast<std::uint32_t>(ToInt(c.argument(0))),
                                                 TextOf(c.argument(1)))
                             : std::nullopt;
       return id ? FormValue(c, *id) : Value();
     }},
    {"form.getformid",
     [](NativeCall& c) {
       const Instance* self = SelfOf(c);
       return Value::Int(self ? static_cast<std::int32_t>(self->formID) : 0);
     }},
    {"form.gettype",
     [](NativeCall& c) {
       const Instance* self = SelfOf(c);
       const auto type = self ? c.vm.FormType(self->formID) : std::nullopt;
       return Value::Int(type ? *type : 0);
     }},
    {"form.registerforsingleupdate",
     [](NativeCall& c) {
       if (Instance* self = SelfOf(c)) c.vm.RegisterForUpdate(self, ToFloat(c.argument(0)), false);
       return Value();
     }},
    {"form.registerforupdate",
     [](NativeCall& c) {
       if (Instance* self = SelfOf(c)) c.vm.RegisterForUpdate(self, ToFloat(c.argument(0)), true);
       return Value();
     }},
    {"form.unregisterforupdate",
     [](NativeCall& c) {
       if (Instance* self = SelfOf(c)) c.vm.UnregisterForUpdate(self);
       return Value();
     }},
    {"quest.start",
     [](NativeCall& c) {
       if (Instance* self = SelfOf(c)) c.vm.StateOf(self->formID).running = true;
       return Value::Bool(SelfOf(c) != nullptr);
     }},
    {"quest.stop",
     [](NativeCall& c) {
       if (Instance* self = SelfOf(c)) c.vm.StateOf(self->formID).running = false;
       return Value();
     }},
    {"quest.isrunning",
     [](NativeCall& c) {
       Instance* self = SelfOf(c);
       return Value::Bool(self && c.vm.StateOf(self->formID).running);
     }},
    {"quest.getstage",
     [](NativeCall& c) {
       Instance* self = SelfOf(c);
       return Value::Int(self ? c.vm.StateOf(self->formID).stage : 0);
     }},
    {"quest.setstage",
     [](NativeCall& c) {
       Instance* self = SelfOf(c);
       if (self) c.vm.StateOf(self->formID).stage = ToInt(c.argument(0));
       return Value::Bool(self != nullptr);
     }},
    {"globalvariable.getvalue",
     [](NativeCall& c) {
       Instance* self = SelfOf(c);
       return Value::Float(self ? c.vm.StateOf(self->formID).value : 0.0f);
     }},
    {"globalvariable.setvalue",
     [](NativeCall& c) {
       if (Instance* self = SelfOf(c)) c.vm.StateOf(self->formID).value = ToFloat(c.argument(0));
       return Value();
     }},
    {"globalvariable.getvalueint",
     [](NativeCall& c) {
       Instance* self = SelfOf(c);
       return Value::Int(self ? TruncateFloat(c.vm.StateOf(self->formID).value) : 0);
     }},
    {"globalvariable.setvalueint",
     [](NativeCall& c) {
       if (Instance* self = SelfOf(c))
         c.vm.StateOf(self->formID).value = static_cast<float>(ToInt(c.argument(0)));
       return Value();
     }},
};

}  // namespace

EngineNatives::EngineNatives() {
  for (const auto& [name, fn] : kNatives) natives_[name] = std::make_unique<FunctionNative>(fn);
}

EngineNatives::~EngineNatives() = default;

Native* EngineNatives::Find(std::string_view lowerClass, std::string_view lowerName) {
  const auto it = natives_.find(std::string(lowerClass) + "." + std::string(lowerName));
  return it == natives_.end() ? nullptr : it->second.get();
}

}  // namespace cw::papyrus::vm
