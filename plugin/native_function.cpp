#include "plugin/native_function.h"

#include <atomic>

#include "plugin/bound_object_lock.h"
#include "plugin/engine_api.h"

namespace cw {

const char* KindName(Kind kind) {
  switch (kind) {
    case Kind::kNone:
      return "None";
    case Kind::kString:
      return "String";
    case Kind::kInt:
      return "Int";
    case Kind::kFloat:
      return "Float";
    case Kind::kBool:
      return "Bool";
    case Kind::kForm:
      return "Form";
    case Kind::kQuest:
      return "Quest";
  }
  return "?";
}

namespace binding {
namespace {

using vm::NativeFunctionObject;
using Obj = NativeFunctionObject;

void* Destroy(Obj* self, std::uint32_t flags) {
  engine::NativeBaseDestroy(self);
  if (flags & 1) engine::HeapFree(engine::Heap.get(), self, false);
  return self;
}
const StringCache::Ref* Name(Obj* self) {
  return &self->name;
}
const StringCache::Ref* ClassName(Obj* self) {
  return &self->className;
}
const StringCache::Ref* StateName(Obj* self) {
  return &self->stateName;
}
std::uint64_t* ReturnType(Obj* self, std::uint64_t* out) {
  *out = self->returnType;
  return out;
}
std::uint32_t ParamCount(Obj* self) {
  return self->totalEntries;
}
void ParamAt(Obj* self, std::uint32_t index, StringCache::Ref* name, std::uint64_t* type) {
  engine::NativeParamAt(self, index, name, type);
}
std::uint32_t FrameSize(Obj* self) {
  return self->totalEntries;
}
bool IsNative(Obj*) {
  return true;
}
bool IsStatic(Obj* self) {
  return self->isStatic != 0;
}
bool IsEmpty(Obj*) {
  return false;
}
std::uint32_t FunctionKind(Obj*) {
  return 0;
}
std::uint32_t UserFlags(Obj* self) {
  return self->userFlags;
}
const StringCache::Ref* DocString(Obj* self) {
  return &self->docString;
}
void AddLocals(Obj*, void*) {}
std::uint32_t Invoke(Obj* self, void* a, void* b, void* c, void* d) {
  return engine::NativeInvoke(self, a, b, c, d);
}
const StringCache::Ref* SourceFile(Obj* self) {
  return engine::NativeSourceFile(self);
}
bool LineOfIP(Obj*, std::uint32_t, std::uint32_t* line) {
  *line = 0;
  return false;
}
bool LocalNameAt(Obj* self, std::uint32_t index, StringCache::Ref* out) {
  return engine::NativeLocalNameAt(self, index, out);
}
bool NoWait(Obj* self) {
  return self->noWait != 0;
}
void SetNoWait(Obj* self, std::uint8_t value) {
  self->noWait = value;
}
bool HasCallback(Obj* self) {
  return self->callback != nullptr;
}

template <class F>
void* Entry(F f) {
  return reinterpret_cast<void*>(f);
}

using vm::LockBoundObject;
using vm::UnlockBoundObject;

std::uint64_t ReadHandle(vm::BoundObject* object) {
  const std::int32_t seen = LockBoundObject(object);
  const std::uint64_t handle = object->handle;
  UnlockBoundObject(object, seen);
  return handle;
}

// Adds `delta` (+1 or -1) to the reference count kept in the lock word's low 31 bits.
void ChangeReferences(vm::Registry* registry, vm::BoundObject* object, int delta) {
  const std::int32_t seen = LockBoundObject(object);
  const std::int32_t before = seen & 0x7FFFFFFF;
  const std::int32_t after = before + delta;
  auto* policy =
      vm::Slot<vm::RegistryHandlePolicy>(registry, vm::registry_slot::kHandlePolicy)(registry);
  if (before == 1 && after == 2 && policy)
    vm::Slot<vm::PolicyKeep>(policy, vm::policy_slot::kKeep)(policy, object->handle);
  if (before == 2 && after == 1 && policy)
    vm::Slot<vm::PolicyRelease>(policy, vm::policy_slot::kRelease)(policy, object->handle);
  UnlockBoundObject(object, after);
  if (after == 0) {
    engine::DestroyBoundObject(object);
    engine::HeapFree(engine::Heap.get(), object, false);
  }
}

}  // namespace

// The class description of a form type, its counted reference dropped at once.
vm::ClassInfo* ClassForFormType(vm::Registry* registry, std::uint32_t formType) {
  vm::ClassInfo* info = nullptr;
  if (!vm::Slot<vm::RegistryClassForFormType>(registry, vm::registry_slot::kClassForFormType)(
          registry, formType, &info) ||
      !info)
    return nullptr;
  std::atomic_ref<std::int32_t> count(info->refCount);
  if (count.fetch_sub(1) == 1) {
    // The registry keeps its own reference, so this only happens when it has none.
    engine::DestroyClassInfo(info);
    engine::HeapFree(engine::Heap.get(), info, false);
    return nullptr;
  }
  return info;
}

std::array<void*, vm::op::kCount> MakeOperations(void* dispatch) {
  return {Entry(&Destroy),
          Entry(&Name),
          Entry(&ClassName),
          Entry(&StateName),
          Entry(&ReturnType),
          Entry(&ParamCount),
          Entry(&ParamAt),
          Entry(&FrameSize),
          Entry(&IsNative),
          Entry(&IsStatic),
          Entry(&IsEmpty),
          Entry(&FunctionKind),
          Entry(&UserFlags),
          Entry(&DocString),
          Entry(&AddLocals),
          Entry(&Invoke),
          Entry(&SourceFile),
          Entry(&LineOfIP),
          Entry(&LocalNameAt),
          Entry(&NoWait),
          Entry(&SetNoWait),
          Entry(&HasCallback),
          dispatch};
}

void InstallOperations(vm::NativeFunctionObject* object, OperationTable& table) {
  // The engine's type record for native function objects, found before the table
  // that its base constructor installed; the same for every native.
  if (object->ops && object->ops[-1])
    std::atomic_ref<void*>(table.typeRecord).store(object->ops[-1], std::memory_order_relaxed);
  object->ops = table.slots.data();
}

std::uint32_t ArgumentBase(vm::CallFrame* frame) {
  return engine::ArgBaseOffset(frame->stack, frame);
}

const vm::VMValue& ArgumentAt(vm::CallFrame* frame, std::uint32_t index, std::uint32_t base) {
  return *engine::ArgAt(frame->stack, frame, index, base);
}

StringCache::Ref StringArgument(const vm::VMValue& value) {
  StringCache::Ref ref;
  engine::CreateString(&ref, "");
  engine::SetString(&ref, vm::TextOf(value));
  return ref;
}

TESForm* FormArgument(const vm::VMValue& value) {
  if (vm::KindOf(value.type) != vm::kObject || value.data == 0) return nullptr;
  const std::uint64_t handle = ReadHandle(reinterpret_cast<vm::BoundObject*>(value.data));
  vm::HandlePolicy* policy = *engine::HandlePolicyGlobal.get();
  if (!policy) return nullptr;
  if (!vm::Slot<vm::PolicyIsType>(policy, vm::policy_slot::kIsType)(policy, 0, handle) ||
      !vm::Slot<vm::PolicyIsValid>(policy, vm::policy_slot::kIsValid)(policy, handle))
    return nullptr;
  return static_cast<TESForm*>(
      vm::Slot<vm::PolicyResolve>(policy, vm::policy_slot::kResolve)(policy, 0, handle));
}

void PackPlain(vm::VMValue* result, const vm::VMValue& value) {
  engine::CleanValue(result);
  *result = value;
}

void PackString(vm::VMValue* result, const char* text) {
  engine::CleanValue(result);
  result->type = vm::kString;
  result->data = 0;
  engine::SetString(reinterpret_cast<StringCache::Ref*>(&result->data), text);
}

void PackForm(vm::Registry* registry, vm::VMValue* result, const TESForm* form,
              std::uint32_t formType) {
  PackPlain(result, vm::VMValue{vm::kNone, 0});
  if (!form) return;
  vm::ClassInfo* info = ClassForFormType(registry, formType);
  if (!info) return;
  auto* policy =
      vm::Slot<vm::RegistryHandlePolicy>(registry, vm::registry_slot::kHandlePolicy)(registry);
  if (!policy) return;
  const std::uint64_t handle =
      vm::Slot<vm::PolicyMake>(policy, vm::policy_slot::kMake)(policy, formType, form);

  vm::BoundObject* object = nullptr;
  if (!vm::Slot<vm::RegistryBoundObject>(registry, vm::registry_slot::kBoundObject)(
          registry, handle, info->name.c_str(), &object) ||
      !object) {
    object = nullptr;
    if (vm::Slot<vm::RegistryCreateObject>(registry, vm::registry_slot::kCreateObject)(
            registry, &info->name, &object) &&
        object) {
      std::uint32_t typeId = 0;
      const bool known = vm::Slot<vm::RegistryTypeIdOf>(registry, vm::registry_slot::kTypeIdOf)(
          registry, &info->name, &typeId);
      const bool ofType = known && vm::Slot<vm::PolicyIsType>(policy, vm::policy_slot::kIsType)(
                                       policy, typeId, handle);
      const bool invalid =
          handle == vm::Slot<vm::PolicyInvalid>(policy, vm::policy_slot::kInvalid)(policy);
      if (ofType || invalid) {
        auto* bind =
            vm::Slot<vm::RegistryBindPolicy>(registry, vm::registry_slot::kBindPolicy)(registry);
        if (bind) engine::BindObject(bind, &object, handle);
      }
    }
  }
  if (!object) return;
  ChangeReferences(registry, object, +1);
  result->type = reinterpret_cast<std::uint64_t>(info);
  result->data = reinterpret_cast<std::uint64_t>(object);
  ChangeReferences(registry, object, -1);
}

}  // namespace binding
}  // namespace cw
