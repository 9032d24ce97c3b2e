#pragma once
// Native function objects: one per native, laid out as the engine expects
// (vm::NativeFunctionObject) with an explicit table of 23 operations. Slots 0 to 21
// are shared; slot 22, Dispatch, is generated per signature. As in every table of
// the engine's object model, the slot before the first operation holds the class's
// type record, which crash loggers read to name an object.
#include <array>
#include <cstddef>
#include <cstdint>
#include <tuple>
#include <type_traits>
#include <utility>

#include "plugin/engine_types.h"
#include "plugin/value_conversion.h"
#include "plugin/vm_abi.h"

namespace cw {

// Kinds of parameters and results as scripts see them.
enum class Kind : std::uint8_t { kNone, kString, kInt, kFloat, kBool, kForm, kQuest };

template <class T>
constexpr Kind KindFor() {
  if constexpr (std::is_void_v<T>)
    return Kind::kNone;
  else if constexpr (std::is_same_v<T, StringCache::Ref>)
    return Kind::kString;
  else if constexpr (std::is_same_v<T, bool>)
    return Kind::kBool;
  else if constexpr (std::is_same_v<T, std::int32_t> || std::is_same_v<T, std::uint32_t>)
    return Kind::kInt;
  else if constexpr (std::is_same_v<T, float>)
    return Kind::kFloat;
  else if constexpr (std::is_same_v<T, TESQuest*>)
    return Kind::kQuest;
  else if constexpr (std::is_same_v<T, TESForm*>)
    return Kind::kForm;
  else
    static_assert(sizeof(T) == 0, "type has no script kind");
}

const char* KindName(Kind kind);

namespace binding {

// The shared operations (slots 0 to 21) with a Dispatch slot filled in.
std::array<void*, vm::op::kCount> MakeOperations(void* dispatch);

// A function table and the type record slot before it (table[-1]).
struct OperationTable {
  void* typeRecord = nullptr;  // the engine's type record of native function objects
  std::array<void*, vm::op::kCount> slots;
};
static_assert(offsetof(OperationTable, slots) == sizeof(void*));

// Puts `table` in place of the table that the engine's base constructor installed,
// after copying that table's type record into the slot before ours.
void InstallOperations(vm::NativeFunctionObject* object, OperationTable& table);

// The class description of a form type (0 Form, 77 Quest) with the counted
// reference the registry hands out dropped at once; null when there is none.
vm::ClassInfo* ClassForFormType(vm::Registry* registry, std::uint32_t formType);

// Argument and result handling that needs the engine.
StringCache::Ref StringArgument(const vm::VMValue& value);
TESForm* FormArgument(const vm::VMValue& value);
void PackString(vm::VMValue* result, const char* text);
void PackForm(vm::Registry* registry, vm::VMValue* result, const TESForm* form,
              std::uint32_t formType);
void PackPlain(vm::VMValue* result, const vm::VMValue& value);

template <class T>
T Convert(const vm::VMValue& value) {
  if constexpr (std::is_same_v<T, StringCache::Ref>)
    return StringArgument(value);
  else if constexpr (std::is_same_v<T, bool>)
    return vm::ToBool(value);
  else if constexpr (std::is_same_v<T, std::int32_t>)
    return vm::ToInt32(value);
  else if constexpr (std::is_same_v<T, std::uint32_t>)
    return vm::ToUInt32(value);
  else if constexpr (std::is_same_v<T, float>)
    return vm::ToFloat(value);
  else if constexpr (std::is_same_v<T, TESForm*>)
    return FormArgument(value);
  else
    static_assert(sizeof(T) == 0, "unsupported parameter type");
}

template <class R>
void Pack(vm::Registry* registry, vm::VMValue* result, const R& value) {
  if constexpr (std::is_same_v<R, StringCache::Ref>)
    PackString(result, value.c_str());
  else if constexpr (std::is_same_v<R, bool>)
    PackPlain(result, vm::BoolValue(value));
  else if constexpr (std::is_same_v<R, std::int32_t> || std::is_same_v<R, std::uint32_t>)
    PackPlain(result, vm::IntValue(static_cast<std::uint32_t>(value)));
  else if constexpr (std::is_same_v<R, float>)
    PackPlain(result, vm::FloatValue(value));
  else if constexpr (std::is_same_v<R, TESQuest*>)
    PackForm(registry, result, value, kFormTypeQuest);
  else if constexpr (std::is_same_v<R, TESForm*>)
    PackForm(registry, result, value, 0);
  else
    static_assert(sizeof(R) == 0, "unsupported result type");
}

// The answer when a native fails at its edge: empty text, 0, false or None.
template <class R>
void PackFailure(vm::Registry* registry, vm::VMValue* result) {
  if constexpr (std::is_void_v<R>)
    PackPlain(result, vm::VMValue{vm::kNone, 0});
  else if constexpr (std::is_same_v<R, StringCache::Ref>)
    PackString(result, "");
  else if constexpr (std::is_pointer_v<R>)
    Pack<R>(registry, result, nullptr);
  else
    Pack<R>(registry, result, R{});
}

std::uint32_t ArgumentBase(vm::CallFrame* frame);
const vm::VMValue& ArgumentAt(vm::CallFrame* frame, std::uint32_t index, std::uint32_t base);

}  // namespace binding

// One native function class per signature: `NativeFunction<StaticFunctionTag, R(A...)>`.
template <class Tag, class Signature>
struct NativeFunction;

template <class Tag, class R, class... A>
struct NativeFunction<Tag, R(A...)> {
  using Callback = R (*)(Tag*, A...);
  static constexpr std::size_t kParamCount = sizeof...(A);

  static bool Dispatch(vm::NativeFunctionObject* self, vm::VMValue*, vm::Registry* registry,
                       std::uint32_t, vm::VMValue* result, vm::CallFrame* frame) {
    try {
      const std::uint32_t base = binding::ArgumentBase(frame);
      Call(self, registry, result, frame, base, std::index_sequence_for<A...>{});
    } catch (...) {
      try {
        binding::PackFailure<R>(registry, result);
      } catch (...) {
      }
    }
    return true;
  }

  // This signature's table; binding::InstallOperations fills in the type record
  // before its slots.
  static binding::OperationTable& Operations() {
    static binding::OperationTable table{
        nullptr, binding::MakeOperations(reinterpret_cast<void*>(&Dispatch))};
    return table;
  }

 private:
  template <std::size_t... I>
  static void Call(vm::NativeFunctionObject* self, vm::Registry* registry, vm::VMValue* result,
                   [[maybe_unused]] vm::CallFrame* frame, [[maybe_unused]] std::uint32_t base,
                   std::index_sequence<I...>) {
    // Braced initialisation converts the arguments in parameter order.
    std::tuple<A...> args{
        binding::Convert<A>(binding::ArgumentAt(frame, static_cast<std::uint32_t>(I), base))...};
    auto callback = reinterpret_cast<Callback>(self->callback);
    if constexpr (std::is_void_v<R>) {
      callback(nullptr, std::get<I>(args)...);
      binding::PackPlain(result, vm::VMValue{vm::kNone, 0});
    } else {
      binding::Pack<R>(registry, result, callback(nullptr, std::get<I>(args)...));
    }
  }
};

template <class Tag, class R>
using NativeFunction0 = NativeFunction<Tag, R()>;
template <class Tag, class R, class A1>
using NativeFunction1 = NativeFunction<Tag, R(A1)>;
template <class Tag, class R, class A1, class A2>
using NativeFunction2 = NativeFunction<Tag, R(A1, A2)>;
template <class Tag, class R, class A1, class A2, class A3>
using NativeFunction3 = NativeFunction<Tag, R(A1, A2, A3)>;
template <class Tag, class R, class A1, class A2, class A3, class A4>
using NativeFunction4 = NativeFunction<Tag, R(A1, A2, A3, A4)>;
template <class Tag, class R, class A1, class A2, class A3, class A4, class A5>
using NativeFunction5 = NativeFunction<Tag, R(A1, A2, A3, A4, A5)>;
template <class Tag, class R, class A1, class A2, class A3, class A4, class A5, class A6, class A7>
using NativeFunction7 = NativeFunction<Tag, R(A1, A2, A3, A4, A5, A6, A7)>;

}  // namespace cw
