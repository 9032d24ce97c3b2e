#pragma once
// The natives of the three script classes, in registration order. This table is
// the one source of truth: registration, the host simulator's `natives` listing,
// the generated script declarations and the natives' reference all come from it.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "plugin/native_function.h"
#include "plugin/vm_abi.h"

namespace cw {

// Natives take at most this many parameters.
inline constexpr std::size_t kMaxParams = 7;

struct NativeEntry {
  const char* className;
  const char* name;
  binding::OperationTable* (*operations)();
  void* callback;
  std::uint16_t paramCount;
  Kind params[kMaxParams];
  Kind result;
  // The parameter names of the script declarations, in the game's convention:
  // "a", a letter of the kind (s String, i Int, f Float, b Bool, k Form or Quest)
  // and a capitalised name, so that no name can be a word of the script language.
  const char* paramNames[kMaxParams];
  // What the native answers, for mod authors: the file or folder it works on,
  // its answer on every failure and the codes it returns. One paragraph of plain
  // text without braces (it becomes a documentation comment of the declarations).
  const char* description;
};

template <auto Fn>
struct EntryFor;
template <class R, class... A, R (*Fn)(StaticFunctionTag*, A...)>
struct EntryFor<Fn> {
  static_assert(sizeof...(A) <= kMaxParams);
  static binding::OperationTable* Ops() {
    return &NativeFunction<StaticFunctionTag, R(A...)>::Operations();
  }
  // One name for each parameter of the plain function, in order.
  template <class... Names>
  static NativeEntry Make(const char* className, const char* name, const char* description,
                          Names... paramNames) {
    static_assert(sizeof...(Names) == sizeof...(A), "one name for each parameter");
    return NativeEntry{className,
                       name,
                       &Ops,
                       reinterpret_cast<void*>(Fn),
                       static_cast<std::uint16_t>(sizeof...(A)),
                       {KindFor<A>()...},
                       KindFor<R>(),
                       {static_cast<const char*>(paramNames)...},
                       description};
  }
};

inline constexpr const char* kClassUtility = "FWUtility";
inline constexpr const char* kClassChildEnchant = "FWChildEnchant";
inline constexpr const char* kClassTextContents = "FWTextContents";

// Every native, in table order.
std::span<const NativeEntry> Natives();

// Creates, registers and flags one native; false when the engine heap had no room.
bool RegisterNative(vm::Registry* registry, const NativeEntry& entry);

// The registration callbacks, handed to the host in this order.
bool RegisterFWUtility(vm::Registry* registry);
bool RegisterNothing(vm::Registry* registry);
bool RegisterFWChildEnchant(vm::Registry* registry);
bool RegisterFWTextContents(vm::Registry* registry);

}  // namespace cw
