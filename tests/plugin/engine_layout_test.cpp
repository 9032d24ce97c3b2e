// The plugin's engine declarations held against the simulator's, which are written
// from the description of the real engine: a layout, slot or identifier that the
// plugin guessed differently fails here before any call runs.
#include <gtest/gtest.h>

#include <cstddef>
#include <type_traits>

#include "host/engine/data_records.h"
#include "host/engine/functions.h"
#include "host/engine/identifiers.h"
#include "host/engine/vm_records.h"
#include "host/skse_records.h"
#include "plugin/engine_api.h"
#include "plugin/engine_types.h"
#include "plugin/skse_abi.h"
#include "plugin/vm_abi.h"

namespace cw {
namespace {

#define SAME_OFFSET(A, a, B, b) static_assert(offsetof(A, a) == offsetof(B, b), #A "::" #a)

// Script objects: the plugin reads the handle and takes the reference-count word.
SAME_OFFSET(vm::BoundObject, handle, sim::ScriptObject, handle);
SAME_OFFSET(vm::BoundObject, lockWord, sim::ScriptObject, referenceCount);
SAME_OFFSET(vm::BoundObject, classInfo, sim::ScriptObject, classDescription);
SAME_OFFSET(vm::ClassInfo, refCount, sim::ClassDescription, referenceCount);
SAME_OFFSET(vm::ClassInfo, name, sim::ClassDescription, name);
static_assert(sizeof(vm::VMValue) == sizeof(sim::Value));

// Native function objects: the engine's part of the plugin's objects.
SAME_OFFSET(vm::NativeFunctionObject, name, sim::NativeFunctionHead, name);
SAME_OFFSET(vm::NativeFunctionObject, className, sim::NativeFunctionHead, className);
SAME_OFFSET(vm::NativeFunctionObject, stateName, sim::NativeFunctionHead, stateName);
SAME_OFFSET(vm::NativeFunctionObject, returnType, sim::NativeFunctionHead, returnType);
SAME_OFFSET(vm::NativeFunctionObject, params, sim::NativeFunctionHead, parameters);
SAME_OFFSET(vm::NativeFunctionObject, paramCount, sim::NativeFunctionHead, parameterCount);
SAME_OFFSET(vm::NativeFunctionObject, totalEntries, sim::NativeFunctionHead, totalEntries);
SAME_OFFSET(vm::NativeFunctionObject, isStatic, sim::NativeFunctionHead, isStatic);
SAME_OFFSET(vm::NativeFunctionObject, noWait, sim::NativeFunctionHead, noWait);
SAME_OFFSET(vm::NativeFunctionObject, userFlags, sim::NativeFunctionHead, userFlags);
SAME_OFFSET(vm::NativeFunctionObject, docString, sim::NativeFunctionHead, docString);
static_assert(offsetof(vm::NativeFunctionObject, callback) >= sizeof(sim::NativeFunctionHead),
              "the plugin's own fields follow the engine's part");
static_assert(sizeof(vm::ParamEntry) == sizeof(sim::ParameterEntry));

// Loaded data.
SAME_OFFSET(TESForm, formID, sim::Form, formID);
SAME_OFFSET(TESForm, formType, sim::Form, formType);
SAME_OFFSET(TESFile, fileName, sim::PluginFile, name);
SAME_OFFSET(TESFile, compileIndex, sim::PluginFile, compileIndex);
SAME_OFFSET(TESFile, lightIndex, sim::PluginFile, lightIndex);
static_assert(offsetof(DataHandler, quests) ==
              offsetof(sim::DataHandler, formsOfType) + sim::kQuestFormType * 0x18);
SAME_OFFSET(DataHandler, files, sim::DataHandler, files);
SAME_OFFSET(DataHandler, loadedMods, sim::DataHandler, loadedRegular);
SAME_OFFSET(DataHandler, loadedLightMods, sim::DataHandler, loadedLight);
static_assert(kLightCompileIndex == sim::kLightCompileIndex);
static_assert(kNotLoadedCompileIndex == sim::kNotLoadedIndex);
static_assert(kFormTypeQuest == sim::kQuestFormType);

// Script extender records.
SAME_OFFSET(skse::PluginInfo, name, sim::skse::PluginInfo, name);
SAME_OFFSET(skse::PluginInfo, version, sim::skse::PluginInfo, version);
SAME_OFFSET(skse::Interface, runtimeVersion, sim::skse::Interface, runtimeVersion);
SAME_OFFSET(skse::Interface, isEditor, sim::skse::Interface, isEditor);
SAME_OFFSET(skse::Interface, QueryInterface, sim::skse::Interface, QueryInterface);
SAME_OFFSET(skse::Interface, GetPluginHandle, sim::skse::Interface, GetPluginHandle);
SAME_OFFSET(skse::PapyrusInterface, Register, sim::skse::PapyrusInterface, Register);
SAME_OFFSET(skse::SerializationInterface, SetUniqueID, sim::skse::SerializationInterface,
            SetUniqueID);
static_assert(skse::kInterfacePapyrus == sim::skse::kInterfacePapyrus);
static_assert(skse::kInterfaceSerialization == sim::skse::kInterfaceSerialization);

// Slots of the registry, the handle policy and the function objects.
static_assert(vm::registry_slot::kClassForFormType == sim::registry_slot::kClassForTypeId);
static_assert(vm::registry_slot::kTypeIdOf == sim::registry_slot::kTypeIdForName);
static_assert(vm::registry_slot::kCreateObject == sim::registry_slot::kCreateObject);
static_assert(vm::registry_slot::kRegisterNative == sim::registry_slot::kRegisterFunction);
static_assert(vm::registry_slot::kSetFunctionFlags == sim::registry_slot::kSetCallableFromTasklets);
static_assert(vm::registry_slot::kBoundObject == sim::registry_slot::kFindBoundObject);
static_assert(vm::registry_slot::kHandlePolicy == sim::registry_slot::kHandlePolicy);
static_assert(vm::registry_slot::kBindPolicy == sim::registry_slot::kBindPolicy);
static_assert(vm::policy_slot::kIsType == sim::handle_slot::kHandleIsType);
static_assert(vm::policy_slot::kIsValid == sim::handle_slot::kHandleAvailable);
static_assert(vm::policy_slot::kInvalid == sim::handle_slot::kEmptyHandle);
static_assert(vm::policy_slot::kMake == sim::handle_slot::kHandleForObject);
static_assert(vm::policy_slot::kResolve == sim::handle_slot::kObjectForHandle);
static_assert(vm::policy_slot::kKeep == sim::handle_slot::kPersistHandle);
static_assert(vm::policy_slot::kRelease == sim::handle_slot::kReleaseHandle);
static_assert(vm::op::kCount == sim::function_slot::kCount);
static_assert(vm::op::kDispatch == sim::function_slot::kMarshalAndDispatch);
static_assert(vm::op::kSetNoWait == sim::function_slot::kSetCallableFromTasklets);
static_assert(vm::op::kParamAt == sim::function_slot::kParameterAt);

// What the slots return: "parameter at" (slot 6) and "set callable from tasklets"
// (registry slot 26) nothing, "register a native" (registry slot 24) a bool.
template <class F>
struct ReturnOf;
template <class R, class... A>
struct ReturnOf<R (*)(A...)> {
  using type = R;
};
static_assert(std::is_void_v<ReturnOf<vm::OpParamAt>::type>);
static_assert(std::is_void_v<ReturnOf<sim::FnParameterAt>::type>);
static_assert(std::is_void_v<ReturnOf<decltype(&engine::decl::NativeParamAt)>::type>);
static_assert(std::is_void_v<ReturnOf<decltype(&sim::NativeParameterAt)>::type>);
static_assert(std::is_same_v<ReturnOf<vm::RegistryRegisterNative>::type, bool>);
static_assert(std::is_void_v<ReturnOf<vm::RegistrySetFunctionFlags>::type>);

// Identifiers: each declaration of the plugin names the engine item it means.
TEST(EngineIdentifiers, EveryDeclarationNamesTheEngineItemItMeans) {
  using I = sim::EngineItem;
  const std::pair<engine::Id, I> pairs[] = {
      {engine::kHeap, I::kHeap},
      {engine::kHeapAllocate, I::kHeapAllocate},
      {engine::kHeapFree, I::kHeapFree},
      {engine::kCreateString, I::kStringFromText},
      {engine::kSetString, I::kSetStringFromText},
      {engine::kCleanValue, I::kCleanValue},
      {engine::kCopyValue, I::kCopyValue},
      {engine::kArgBaseOffset, I::kArgumentBase},
      {engine::kArgAt, I::kArgumentAt},
      {engine::kNativeBaseConstruct, I::kNativeConstruct},
      {engine::kNativeBaseDestroy, I::kNativeDestruct},
      {engine::kNativeParamAt, I::kNativeParameterAt},
      {engine::kNativeInvoke, I::kNativeInvoke},
      {engine::kNativeSourceFile, I::kNativeSourceFile},
      {engine::kNativeLocalNameAt, I::kNativeLocalNameAt},
      {engine::kBindObject, I::kBindObject},
      {engine::kDestroyBoundObject, I::kDestroyObject},
      {engine::kDestroyClassInfo, I::kDestroyClassDescription},
      {engine::kHandlePolicy, I::kHandlePolicyGlobal},
      {engine::kDataHandler, I::kDataHandlerGlobal},
      {engine::kLookupFormByID, I::kLookupForm},
  };
  static_assert(std::size(pairs) == engine::kIdCount);
  static_assert(sim::kEngineItemCount == engine::kIdCount);
  for (const auto& [id, item] : pairs) {
    const sim::EngineIdentifier& engineItem = sim::kEngineIdentifiers[static_cast<int>(item)];
    ASSERT_EQ(engineItem.item, item);
    EXPECT_EQ(engine::kDeclarations[id].se, engineItem.se) << "declaration " << id;
    EXPECT_EQ(engine::kDeclarations[id].ae, engineItem.ae) << "declaration " << id;
  }
}

}  // namespace
}  // namespace cw
