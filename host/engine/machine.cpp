#include "host/engine/machine.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "host/engine/call_stack.h"
#include "host/engine/heap.h"
#include "plugin/bound_object_lock.h"
#include "plugin/engine_api.h"

namespace cw::sim {
namespace {

using StringRef = StringCache::Ref;

[[noreturn]] void UnexpectedSlot() {
  std::fputs("cradlewright-host: the plugin called an engine slot the simulator lacks\n", stderr);
  std::abort();
}

// Registry slots.
bool RegClassForFormType(vm::Registry*, std::uint32_t formType, vm::ClassInfo** out) {
  return TheMachine().GetClassForFormType(formType, out);
}
bool RegTypeIdOf(vm::Registry*, const StringRef* name, std::uint32_t* out) {
  return TheMachine().TypeIdOf(name->c_str(), out);
}
bool RegCreateObject(vm::Registry*, const StringRef* name, vm::BoundObject** out) {
  return TheMachine().CreateObject(name->c_str(), out);
}
void RegRegisterNative(vm::Registry*, vm::NativeFunctionObject* object) {
  TheMachine().RegisterNative(object);
}
void RegSetFlags(vm::Registry*, const char* className, const char* name, std::uint32_t flags) {
  TheMachine().SetFlags(className, name, flags);
}
bool RegBoundObject(vm::Registry*, std::uint64_t handle, const StringRef* name,
                    vm::BoundObject** out) {
  return TheMachine().BoundObjectFor(handle, name->c_str(), out);
}
vm::HandlePolicy* RegHandlePolicy(vm::Registry*) {
  return TheMachine().policy();
}
vm::BindPolicy* RegBindPolicy(vm::Registry*);

// Handle policy slots.
bool PolIsType(vm::HandlePolicy*, std::uint32_t type, std::uint64_t handle) {
  return TheMachine().HandleIsType(type, handle);
}
bool PolIsValid(vm::HandlePolicy*, std::uint64_t handle) {
  return TheMachine().HandleIsValid(handle);
}
std::uint64_t PolInvalid(vm::HandlePolicy*) {
  return Machine::kInvalidHandle;
}
std::uint64_t PolMake(vm::HandlePolicy*, std::uint32_t type, const void* form) {
  return TheMachine().MakeHandle(type, form);
}
void* PolResolve(vm::HandlePolicy*, std::uint32_t type, std::uint64_t handle) {
  return TheMachine().Resolve(type, handle);
}
void PolKeep(vm::HandlePolicy*, std::uint64_t handle) {
  TheMachine().Keep(handle);
}
void PolRelease(vm::HandlePolicy*, std::uint64_t handle) {
  TheMachine().Release(handle);
}

template <std::size_t N>
std::array<void*, N> TrapTable() {
  std::array<void*, N> table;
  table.fill(reinterpret_cast<void*>(&UnexpectedSlot));
  return table;
}

void** RegistryTable() {
  static std::array<void*, vm::registry_slot::kCount> table = [] {
    auto t = TrapTable<vm::registry_slot::kCount>();
    namespace s = vm::registry_slot;
    t[s::kClassForFormType] = reinterpret_cast<void*>(&RegClassForFormType);
    t[s::kTypeIdOf] = reinterpret_cast<void*>(&RegTypeIdOf);
    t[s::kCreateObject] = reinterpret_cast<void*>(&RegCreateObject);
    t[s::kRegisterNative] = reinterpret_cast<void*>(&RegRegisterNative);
    t[s::kSetFunctionFlags] = reinterpret_cast<void*>(&RegSetFlags);
    t[s::kBoundObject] = reinterpret_cast<void*>(&RegBoundObject);
    t[s::kHandlePolicy] = reinterpret_cast<void*>(&RegHandlePolicy);
    t[s::kBindPolicy] = reinterpret_cast<void*>(&RegBindPolicy);
    return t;
  }();
  return table.data();
}

void** PolicyTable() {
  static std::array<void*, vm::policy_slot::kCount> table = [] {
    auto t = TrapTable<vm::policy_slot::kCount>();
    namespace s = vm::policy_slot;
    t[s::kIsType] = reinterpret_cast<void*>(&PolIsType);
    t[s::kIsValid] = reinterpret_cast<void*>(&PolIsValid);
    t[s::kInvalid] = reinterpret_cast<void*>(&PolInvalid);
    t[s::kMake] = reinterpret_cast<void*>(&PolMake);
    t[s::kResolve] = reinterpret_cast<void*>(&PolResolve);
    t[s::kKeep] = reinterpret_cast<void*>(&PolKeep);
    t[s::kRelease] = reinterpret_cast<void*>(&PolRelease);
    return t;
  }();
  return table.data();
}

void** BindPolicyTable() {
  static std::array<void*, 4> table = TrapTable<4>();
  return table.data();
}

vm::ClassInfo* NewClass(const char* name) {
  auto* info = static_cast<vm::ClassInfo*>(
      engine::decl::HeapAllocate(&EngineHeap(), sizeof(vm::ClassInfo), 0, false));
  new (info) vm::ClassInfo{};
  info->refCount = 1;  // the registry's own reference
  engine::decl::CreateString(&info->name, name);
  return info;
}

std::uint32_t FormTypeOfClass(const char* name) {
  return std::strcmp(name, "Quest") == 0 ? kFormTypeQuest : 0;
}

}  // namespace

vm::BindPolicy* BindPolicyOf(Machine* machine) {
  return &machine->bindPolicy_;
}

namespace {
vm::BindPolicy* RegBindPolicy(vm::Registry*) {
  return BindPolicyOf(&TheMachine());
}
}  // namespace

Machine::Machine() {
  registry_.vtbl = RegistryTable();
  policy_.vtbl = PolicyTable();
  bindPolicy_.vtbl = BindPolicyTable();
  formClass_ = NewClass("Form");
  questClass_ = NewClass("Quest");
}

Machine::~Machine() {
  DestroyNatives();
  for (auto& [key, object] : bound_) engine::decl::HeapFree(&EngineHeap(), object, false);
  engine::decl::HeapFree(&EngineHeap(), formClass_, false);
  engine::decl::HeapFree(&EngineHeap(), questClass_, false);
}

Machine& TheMachine() {
  static Machine* machine = new Machine;  // lives until process end
  return *machine;
}

std::vector<RegisteredNative> Machine::Natives() const {
  std::lock_guard<std::mutex> guard(lock_);
  return natives_;
}

vm::NativeFunctionObject* Machine::Find(const std::string& className,
                                        const std::string& name) const {
  std::lock_guard<std::mutex> guard(lock_);
  for (const RegisteredNative& n : natives_)
    if (className == n.object->className.c_str() && name == n.object->name.c_str()) return n.object;
  return nullptr;
}

void Machine::Call(vm::NativeFunctionObject* native, const std::vector<vm::VMValue>& arguments,
                   vm::VMValue* result) {
  Stack stack;
  // Some values in front of the arguments, so that the argument offset matters.
  stack.values.assign(3, vm::VMValue{vm::kNone, 0});
  stack.values.insert(stack.values.end(), arguments.begin(), arguments.end());
  Frame frame{{&stack}, 3};
  auto dispatch = reinterpret_cast<vm::OpDispatch>(native->ops[vm::op::kDispatch]);
  dispatch(native, nullptr, &registry_, 1, result, &frame.base);
}

vm::VMValue Machine::FormValue(std::uint32_t formID, std::uint32_t formType) {
  vm::VMValue value{vm::kNone, 0};
  TESForm* form = engine::decl::LookupFormByID(formID);
  vm::ClassInfo* info = formType == kFormTypeQuest ? questClass_ : formClass_;
  const std::uint64_t handle =
      form ? MakeHandle(formType, form) : ((static_cast<std::uint64_t>(formType) << 32) | formID);
  vm::BoundObject* object = nullptr;
  if (!BoundObjectFor(handle, info->name.c_str(), &object)) {
    CreateObject(info->name.c_str(), &object);
    Bind(object, handle);
  }
  value.type = reinterpret_cast<std::uint64_t>(info);
  value.data = reinterpret_cast<std::uint64_t>(object);
  return value;  // carries the local reference
}

bool Machine::FormIDOf(const vm::VMValue& value, std::uint32_t* formID) {
  if (vm::KindOf(value.type) != vm::kObject || !value.data) return false;
  auto* object = reinterpret_cast<vm::BoundObject*>(value.data);
  const std::int32_t seen = vm::LockBoundObject(object);
  const std::uint64_t handle = object->handle;
  vm::UnlockBoundObject(object, seen);
  auto* form = static_cast<TESForm*>(Resolve(0, handle));
  if (!form) return false;
  *formID = form->formID;
  return true;
}

vm::ClassInfo* Machine::ClassForFormType(std::uint32_t formType) {
  if (formType == 0) return formClass_;
  if (formType == kFormTypeQuest) return questClass_;
  return nullptr;
}

void Machine::DestroyNatives() {
  std::vector<RegisteredNative> natives;
  {
    std::lock_guard<std::mutex> guard(lock_);
    natives.swap(natives_);
  }
  for (const RegisteredNative& n : natives)
    reinterpret_cast<vm::OpDestroy>(n.object->ops[vm::op::kDestroy])(n.object, 1);
}

std::uint64_t Machine::liveBoundObjects() const {
  std::lock_guard<std::mutex> guard(lock_);
  return liveObjects_;
}

std::int64_t Machine::keptHandles(std::uint64_t handle) const {
  std::lock_guard<std::mutex> guard(kept_lock_);
  auto it = kept_.find(handle);
  return it == kept_.end() ? 0 : it->second;
}

bool Machine::GetClassForFormType(std::uint32_t formType, vm::ClassInfo** out) {
  vm::ClassInfo* info = ClassForFormType(formType);
  if (!info) return false;
  std::atomic_ref<std::int32_t>(info->refCount).fetch_add(1);
  *out = info;
  return true;
}

bool Machine::TypeIdOf(const char* className, std::uint32_t* out) const {
  if (std::strcmp(className, "Form") != 0 && std::strcmp(className, "Quest") != 0) return false;
  *out = FormTypeOfClass(className);
  return true;
}

bool Machine::CreateObject(const char* className, vm::BoundObject** out) {
  vm::ClassInfo* info = std::strcmp(className, "Quest") == 0  ? questClass_
                        : std::strcmp(className, "Form") == 0 ? formClass_
                                                              : nullptr;
  if (!info) return false;
  auto* object = static_cast<vm::BoundObject*>(
      engine::decl::HeapAllocate(&EngineHeap(), sizeof(vm::BoundObject), 0, false));
  if (!object) return false;
  object->handle = kInvalidHandle;
  object->lockWord = 1;  // the caller's reference
  object->pad0C = 0;
  object->classInfo = info;
  {
    std::lock_guard<std::mutex> guard(lock_);
    ++liveObjects_;
  }
  *out = object;
  return true;
}

void Machine::RegisterNative(vm::NativeFunctionObject* object) {
  std::lock_guard<std::mutex> guard(lock_);
  natives_.push_back({object, 0});
}

void Machine::SetFlags(const char* className, const char* name, std::uint32_t flags) {
  std::lock_guard<std::mutex> guard(lock_);
  for (RegisteredNative& n : natives_)
    if (std::strcmp(className, n.object->className.c_str()) == 0 &&
        std::strcmp(name, n.object->name.c_str()) == 0)
      n.flags = flags;
}

bool Machine::BoundObjectFor(std::uint64_t handle, const char* className, vm::BoundObject** out) {
  vm::BoundObject* object = nullptr;
  {
    std::lock_guard<std::mutex> guard(lock_);
    auto it = bound_.find({handle, className});
    if (it == bound_.end()) return false;
    object = it->second;
    AddReference(object);  // the caller's reference, taken while the registry holds its own
  }
  *out = object;
  return true;
}

void Machine::Bind(vm::BoundObject* object, std::uint64_t handle) {
  const std::int32_t seen = vm::LockBoundObject(object);
  object->handle = handle;
  vm::UnlockBoundObject(object, seen);
  const auto* info = static_cast<const vm::ClassInfo*>(object->classInfo);
  {
    std::lock_guard<std::mutex> guard(lock_);
    // Two threads may bind new objects for one handle at once: the first binding
    // stays, and the later object lives only as long as its own references.
    if (!bound_.emplace(std::pair{handle, std::string(info->name.c_str())}, object).second) return;
  }
  AddReference(object);  // the registry's reference
}

void Machine::AddReference(vm::BoundObject* object) {
  const std::int32_t seen = vm::LockBoundObject(object);
  const std::int32_t count = (seen & 0x7FFFFFFF) + 1;
  if (count == 2) Keep(object->handle);
  vm::UnlockBoundObject(object, count);
}

void Machine::DropReference(vm::BoundObject* object) {
  const std::int32_t seen = vm::LockBoundObject(object);
  const std::int32_t count = (seen & 0x7FFFFFFF) - 1;
  if (count == 1) Release(object->handle);
  vm::UnlockBoundObject(object, count);
  if (count == 0) {
    engine::decl::DestroyBoundObject(object);
    engine::decl::HeapFree(&EngineHeap(), object, false);
  }
}

void Machine::Forget(vm::BoundObject* object) {
  std::lock_guard<std::mutex> guard(lock_);
  for (auto it = bound_.begin(); it != bound_.end(); ++it)
    if (it->second == object) {
      bound_.erase(it);
      break;
    }
  --liveObjects_;
}

bool Machine::HandleIsType(std::uint32_t formType, std::uint64_t handle) const {
  if (handle == kInvalidHandle) return false;
  // Every form is a Form; other types must match the handle's own.
  return formType == 0 || (handle >> 32) == formType;
}

bool Machine::HandleIsValid(std::uint64_t handle) const {
  return handle != kInvalidHandle &&
         engine::decl::LookupFormByID(static_cast<std::uint32_t>(handle)) != nullptr;
}

std::uint64_t Machine::MakeHandle(std::uint32_t formType, const void* form) const {
  if (!form) return kInvalidHandle;
  const auto* f = static_cast<const TESForm*>(form);
  const std::uint32_t type = formType ? formType : f->formType;
  return (static_cast<std::uint64_t>(type) << 32) | f->formID;
}

void* Machine::Resolve(std::uint32_t formType, std::uint64_t handle) const {
  if (!HandleIsType(formType, handle) || !HandleIsValid(handle)) return nullptr;
  return engine::decl::LookupFormByID(static_cast<std::uint32_t>(handle));
}

void Machine::Keep(std::uint64_t handle) {
  std::lock_guard<std::mutex> guard(kept_lock_);
  ++kept_[handle];
}

void Machine::Release(std::uint64_t handle) {
  std::lock_guard<std::mutex> guard(kept_lock_);
  --kept_[handle];
}

}  // namespace cw::sim

namespace cw::engine::decl {

void BindObject(vm::BindPolicy*, vm::BoundObject** object, std::uint64_t handle) {
  if (object && *object) sim::TheMachine().Bind(*object, handle);
}

void DestroyBoundObject(vm::BoundObject* object) {
  sim::TheMachine().Forget(object);
}

void DestroyClassInfo(vm::ClassInfo* info) {
  info->name.data = nullptr;
}

void CleanValue(vm::VMValue* value) {
  if (vm::KindOf(value->type) == vm::kObject && value->data)
    sim::TheMachine().DropReference(reinterpret_cast<vm::BoundObject*>(value->data));
  value->type = vm::kNone;
  value->data = 0;
}

vm::VMValue* CopyValue(vm::VMValue* destination, const vm::VMValue* source) {
  if (destination == source) return destination;
  CleanValue(destination);
  *destination = *source;
  if (vm::KindOf(source->type) == vm::kObject && source->data)
    sim::TheMachine().AddReference(reinterpret_cast<vm::BoundObject*>(source->data));
  return destination;
}

}  // namespace cw::engine::decl
