#include "host/commands/script_natives.h"

#include <cstring>

#include "host/engine/call_stack.h"
#include "host/engine/functions.h"
#include "host/engine_data.h"
#include "natives/utility/text.h"
#include "papyrus/vm/vm.h"
#include "platform/ascii.h"

namespace cw::sim {
namespace vm = papyrus::vm;
namespace tw = type_word;

namespace {

// Values in front of a call's arguments on its stack, so that the frame's
// argument offset matters as it does in the engine.
constexpr std::uint32_t kLead = 2;

class PluginNative : public vm::Native {
 public:
  PluginNative(Machine& machine, NativeFunctionHead* function)
      : machine_(machine),
        function_(function),
        dispatch_(reinterpret_cast<FnMarshalAndDispatch>(
            function->table[function_slot::kMarshalAndDispatch])),
        signature_(Machine::SignatureOf(function)) {
    stack_.values.assign(kLead + signature_.parameters.size(), Value{tw::kNone, 0});
    frame_ = Frame{{&stack_}, kLead};
  }

  vm::Value Call(vm::NativeCall& call) override {
    const std::size_t count = signature_.parameters.size();
    for (std::size_t i = 0; i < count; ++i) stack_.values[kLead + i] = ToEngine(call.argument(i));
    Value base{tw::kNone, 0};
    Value result{tw::kNone, 0};
    dispatch_(function_, &base, machine_.registry(), 1, &result, &frame_.head);
    vm::Value answer = FromEngine(call.vm, result);
    CleanValue(&result);
    for (std::size_t i = 0; i < count; ++i) CleanValue(&stack_.values[kLead + i]);
    return answer;
  }

 private:
  // A script's value as the engine holds it: texts become engine strings, forms
  // the objects bound to their handles.
  Value ToEngine(const vm::Value& v) {
    Value out{tw::kNone, 0};
    switch (v.kind) {
      case vm::Kind::Int:
        out = {tw::kInt, static_cast<std::uint32_t>(v.i)};
        break;
      case vm::Kind::Float: {
        std::uint32_t bits;
        std::memcpy(&bits, &v.f, sizeof bits);
        out = {tw::kFloat, bits};
        break;
      }
      case vm::Kind::Bool:
        out = {tw::kBool, v.b ? 1u : 0u};
        break;
      case vm::Kind::String:
        out.type = tw::kString;
        SetStringFromText(reinterpret_cast<EngineString*>(&out.data), v.s->c_str());
        break;
      case vm::Kind::Object:
        if (v.o->formID)
          out = machine_.FormValue(v.o->formID, vm::IsA(v.o, "quest") ? kQuestFormType : 0);
        break;
      default:
        break;
    }
    return out;
  }

  vm::Value FromEngine(vm::Vm& machineVm, const Value& v) {
    switch (v.type) {
      case tw::kString: {
        const char* text = reinterpret_cast<const char*>(v.data);
        return machineVm.Text(text ? text : "");
      }
      case tw::kInt:
        return vm::Value::Int(static_cast<std::int32_t>(static_cast<std::uint32_t>(v.data)));
      case tw::kFloat: {
        const auto bits = static_cast<std::uint32_t>(v.data);
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return vm::Value::Float(f);
      }
      case tw::kBool:
        return vm::Value::Bool((v.data & 0xFF) != 0);
      default:
        break;
    }
    std::uint32_t formID = 0;
    if (tw::IsObject(v.type) && machine_.FormIDOf(v, &formID))
      return vm::Value::Object(machineVm.FormObject(formID));
    return vm::Value();
  }

  Machine& machine_;
  NativeFunctionHead* function_;
  FnMarshalAndDispatch dispatch_;
  Machine::Signature signature_;
  Stack stack_;
  Frame frame_{};
};

}  // namespace

PluginNatives::PluginNatives(Machine& machine) {
  for (NativeFunctionHead* f : machine.Natives()) {
    auto nameOf = reinterpret_cast<FnStringField>(f->table[function_slot::kName]);
    auto classOf = reinterpret_cast<FnStringField>(f->table[function_slot::kClassName]);
    natives_[text::ToLowerAscii(std::string(classOf(f)->c_str()) + "." + nameOf(f)->c_str())] =
        std::make_unique<PluginNative>(machine, f);
  }
}

PluginNatives::~PluginNatives() = default;

vm::Native* PluginNatives::Find(std::string_view lowerClass, std::string_view lowerName) {
  const auto it = natives_.find(std::string(lowerClass) + "." + std::string(lowerName));
  return it == natives_.end() ? nullptr : it->second.get();
}

std::optional<std::uint8_t> SimulatorForms::FormType(std::uint32_t formID) const {
  const Form* form = LookupForm(formID);
  if (!form) return std::nullopt;
  return form->formType;
}

std::optional<std::uint32_t> SimulatorForms::FormInFile(std::uint32_t localID,
                                                        std::string_view fileName) const {
  const EngineData* data = EngineData::Current();
  if (!data) return std::nullopt;
  const DataHandler* handler = data->Handler();
  std::optional<std::uint32_t> id;
  for (std::uint32_t i = 0; i < handler->loadedRegular.count && !id; ++i)
    if (EqualsIgnoringAsciiCase(handler->loadedRegular.data[i]->name, fileName))
      id = (i << 24) | (localID & 0xFFFFFF);
  for (std::uint32_t j = 0; j < handler->loadedLight.count && !id; ++j)
    if (EqualsIgnoringAsciiCase(handler->loadedLight.data[j]->name, fileName))
      id = 0xFE000000u | (j << 12) | (localID & 0xFFF);
  if (!id || !LookupForm(*id)) return std::nullopt;
  return id;
}

}  // namespace cw::sim
