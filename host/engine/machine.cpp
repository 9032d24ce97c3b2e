#include "host/engine/machine.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <thread>

#include "host/engine/call_stack.h"
#include "host/engine/functions.h"

namespace cw::sim {
namespace {

constexpr std::uint32_t kLiveObjectFlags =
    object_flag::kConstructed | object_flag::kInitialized | object_flag::kValid;

// What a script object's lock-structure field points to.
std::uint64_t g_lockStructure[4];

// The last handle this thread looked for without finding an object, and when.
struct Lookup {
  std::uint64_t handle = 0;
  std::uint64_t time = 0;
};
thread_local Lookup t_lastMiss;

// The reference-count word at 0x28: the engine takes it with a compare-exchange
// that sets the top bit, and stores the new count (top bit clear) to let go.
std::int32_t LockObject(ScriptObject* object) {
  std::atomic_ref<std::int32_t> word(object->referenceCount);
  for (;;) {
    std::int32_t seen = word.load();
    if (seen < 0) {
      std::this_thread::yield();
      continue;
    }
    if (word.compare_exchange_weak(seen, seen | INT32_MIN)) return seen;
  }
}
void UnlockObject(ScriptObject* object, std::int32_t count) {
  std::atomic_ref<std::int32_t>(object->referenceCount).store(count & INT32_MAX);
}

// What a parameter's type word holds before "parameter at" writes it: no type
// word has this value.
constexpr std::uint64_t kUnwrittenType = ~std::uint64_t{0};

[[noreturn]] void UnexpectedSlot() {
  std::fputs("cradlewright-host: the plugin called an engine slot the simulator lacks\n", stderr);
  std::abort();
}

// A text that the plugin handed over, shown safely: printable ASCII as is, other
// bytes as \xHH, at most 32 bytes.
std::string Shown(const char* text) {
  std::string shown;
  for (int i = 0; text && i < 32 && text[i]; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c < 0x7F) {
      shown += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      shown += hex;
    }
  }
  return shown;
}

// Registry slots.
bool RegClassForTypeId(TableObject*, std::uint32_t typeId, ClassDescription** out) {
  return TheMachine().GetClassForTypeId(typeId, out);
}
bool RegTypeIdForName(TableObject*, const EngineString* name, std::uint32_t* out) {
  return TheMachine().TypeIdOf(name->c_str(), out);
}
bool RegCreateObject(TableObject*, const EngineString* name, ScriptObject** out) {
  return TheMachine().CreateObject(name->c_str(), out);
}
bool RegRegisterFunction(TableObject*, NativeFunctionHead* function) {
  TheMachine().RegisterFunction(function);
  return true;
}
void RegSetCallable(TableObject*, const char* className, const char* name, bool callable) {
  TheMachine().SetCallableFromTasklets(className, name, callable);
}
bool RegFindBoundObject(TableObject*, std::uint64_t handle, const char* className,
                        ScriptObject** out) {
  return TheMachine().FindBoundObject(handle, className, out);
}
TableObject* RegHandlePolicy(TableObject*) {
  return TheMachine().handlePolicy();
}
TableObject* RegBindPolicy(TableObject*) {
  return TheMachine().bindPolicy();
}

// Handle policy slots.
bool PolIsType(TableObject*, std::uint32_t type, std::uint64_t handle) {
  return TheMachine().HandleIsType(type, handle);
}
bool PolAvailable(TableObject*, std::uint64_t handle) {
  return TheMachine().HandleIsValid(handle);
}
std::uint64_t PolEmpty(TableObject*) {
  return Machine::kInvalidHandle;
}
std::uint64_t PolHandleFor(TableObject*, std::uint32_t type, const void* form) {
  return TheMachine().MakeHandle(type, form);
}
void* PolObjectFor(TableObject*, std::uint32_t type, std::uint64_t handle) {
  return TheMachine().Resolve(type, handle);
}
void PolPersist(TableObject*, std::uint64_t handle) {
  TheMachine().Keep(handle);
}
void PolRelease(TableObject*, std::uint64_t handle) {
  TheMachine().Release(handle);
}

template <std::size_t N>
std::array<void*, N> TrapTable() {
  std::array<void*, N> table;
  table.fill(reinterpret_cast<void*>(&UnexpectedSlot));
  return table;
}
template <class F>
void* Entry(F* f) {
  return reinterpret_cast<void*>(f);
}

void* const* RegistryTable() {
  static const std::array<void*, registry_slot::kCount> table = [] {
    auto t = TrapTable<registry_slot::kCount>();
    namespace s = registry_slot;
    t[s::kClassForTypeId] = Entry(&RegClassForTypeId);
    t[s::kTypeIdForName] = Entry(&RegTypeIdForName);
    t[s::kCreateObject] = Entry(&RegCreateObject);
    t[s::kRegisterFunction] = Entry(&RegRegisterFunction);
    t[s::kSetCallableFromTasklets] = Entry(&RegSetCallable);
    t[s::kFindBoundObject] = Entry(&RegFindBoundObject);
    t[s::kHandlePolicy] = Entry(&RegHandlePolicy);
    t[s::kBindPolicy] = Entry(&RegBindPolicy);
    return t;
  }();
  return table.data();
}

void* const* HandlePolicyTable() {
  static const std::array<void*, handle_slot::kCount> table = [] {
    auto t = TrapTable<handle_slot::kCount>();
    namespace s = handle_slot;
    t[s::kHandleIsType] = Entry(&PolIsType);
    t[s::kHandleAvailable] = Entry(&PolAvailable);
    t[s::kEmptyHandle] = Entry(&PolEmpty);
    t[s::kHandleForObject] = Entry(&PolHandleFor);
    t[s::kObjectForHandle] = Entry(&PolObjectFor);
    t[s::kPersistHandle] = Entry(&PolPersist);
    t[s::kReleaseHandle] = Entry(&PolRelease);
    return t;
  }();
  return table.data();
}

void* const* BindPolicyTable() {
  static const std::array<void*, 4> table = TrapTable<4>();
  return table.data();
}

ClassDescription* NewClass(const char* name) {
  auto* description = static_cast<ClassDescription*>(
      HeapAllocate(&EngineHeap(), sizeof(ClassDescription), 0, false));
  new (description) ClassDescription{};
  description->referenceCount = 1;  // the registry's own reference
  StringFromText(&description->name, name);
  return description;
}

}  // namespace

Machine::Machine()
    : registry_{RegistryTable()},
      handlePolicy_{HandlePolicyTable()},
      bindPolicy_{BindPolicyTable()},
      formClass_(NewClass("Form")),
      questClass_(NewClass("Quest")) {}

Machine::~Machine() {
  DestroyNatives();
  for (auto& [key, binding] : bound_) HeapFree(&EngineHeap(), binding.object, false);
  HeapFree(&EngineHeap(), formClass_, false);
  HeapFree(&EngineHeap(), questClass_, false);
}

Machine& TheMachine() {
  static Machine* machine = new Machine;  // lives until process end
  return *machine;
}

std::vector<NativeFunctionHead*> Machine::Natives() const {
  std::lock_guard<std::mutex> guard(lock_);
  return natives_;
}

NativeFunctionHead* Machine::Find(const std::string& className, const std::string& name) const {
  std::lock_guard<std::mutex> guard(lock_);
  for (NativeFunctionHead* f : natives_) {
    // Through the function's own table, as the engine asks it.
    auto nameOf = reinterpret_cast<FnStringField>(f->table[function_slot::kName]);
    auto classOf = reinterpret_cast<FnStringField>(f->table[function_slot::kClassName]);
    if (className == classOf(f)->c_str() && name == nameOf(f)->c_str()) return f;
  }
  return nullptr;
}

Machine::Signature Machine::SignatureOf(NativeFunctionHead* function) {
  Signature signature;
  const auto count =
      reinterpret_cast<FnCount>(function->table[function_slot::kParameterCount])(function);
  auto parameterAt = reinterpret_cast<FnParameterAt>(function->table[function_slot::kParameterAt]);
  for (std::uint32_t i = 0; i < count; ++i) {
    // The operation returns nothing: what it wrote is checked against the entry.
    EngineString name;
    std::uint64_t type = kUnwrittenType;
    parameterAt(function, i, &name, &type);
    const ParameterEntry* entry =
        i < function->parameterCount && function->parameters ? &function->parameters[i] : nullptr;
    if (!entry || name.text != entry->name.text || type != entry->type) {
      TheMachine().Fault("parameter at (slot 6) of " + Shown(function->className.c_str()) + "." +
                         Shown(function->name.c_str()) + " did not give parameter " +
                         std::to_string(i) + " of its table");
      break;
    }
    signature.parameters.push_back(type);
  }
  reinterpret_cast<FnReturnType>(function->table[function_slot::kReturnType])(function,
                                                                              &signature.result);
  return signature;
}

void Machine::Call(NativeFunctionHead* native, const std::vector<Value>& arguments, Value* result) {
  Stack stack;
  // Some values in front of the arguments, so that the argument offset matters.
  stack.values.assign(3, Value{type_word::kNone, 0});
  stack.values.insert(stack.values.end(), arguments.begin(), arguments.end());
  Frame frame{{&stack}, 3};
  auto dispatch =
      reinterpret_cast<FnMarshalAndDispatch>(native->table[function_slot::kMarshalAndDispatch]);
  dispatch(native, nullptr, &registry_, 1, result, &frame.head);
}

Value Machine::FormValue(std::uint32_t formID, std::uint32_t formType) {
  Value value{type_word::kNone, 0};
  Form* form = LookupForm(formID);
  ClassDescription* description = formType == kQuestFormType ? questClass_ : formClass_;
  const std::uint64_t handle =
      form ? MakeHandle(formType, form) : ((static_cast<std::uint64_t>(formType) << 32) | formID);
  ScriptObject* object = nullptr;
  if (!FindBoundObject(handle, description->name.c_str(), &object)) {
    CreateObject(description->name.c_str(), &object);
    Bind(object, handle);
  }
  value.type = reinterpret_cast<std::uint64_t>(description);
  value.data = reinterpret_cast<std::uint64_t>(object);
  return value;  // carries the local reference
}

bool Machine::FormIDOf(const Value& value, std::uint32_t* formID) {
  if (!type_word::IsObject(value.type) || !value.data) return false;
  auto* object = reinterpret_cast<ScriptObject*>(value.data);
  CheckIntact(object, "a result");
  const std::int32_t seen = LockObject(object);
  const std::uint64_t handle = object->handle;
  UnlockObject(object, seen);
  auto* form = static_cast<Form*>(Resolve(0, handle));
  if (!form) return false;
  *formID = form->formID;
  return true;
}

ClassDescription* Machine::ClassForFormType(std::uint32_t formType) const {
  if (formType == 0) return formClass_;
  if (formType == kQuestFormType) return questClass_;
  return nullptr;
}

ClassDescription* Machine::KnownClass(const char* name) const {
  if (!name) return nullptr;
  if (std::strcmp(name, "Form") == 0) return formClass_;
  if (std::strcmp(name, "Quest") == 0) return questClass_;
  return nullptr;
}

void Machine::DestroyNatives() {
  std::vector<NativeFunctionHead*> natives;
  {
    std::lock_guard<std::mutex> guard(lock_);
    natives.swap(natives_);
  }
  for (NativeFunctionHead* f : natives)
    reinterpret_cast<FnDeletingDestructor>(f->table[function_slot::kDeletingDestructor])(f, 1);
}

std::uint64_t Machine::liveObjects() const {
  std::lock_guard<std::mutex> guard(lock_);
  return created_.size();
}

std::int64_t Machine::keptHandles(std::uint64_t handle) const {
  std::lock_guard<std::mutex> guard(kept_lock_);
  auto it = kept_.find(handle);
  return it == kept_.end() ? 0 : it->second;
}

std::vector<std::string> Machine::Faults() const {
  std::lock_guard<std::mutex> guard(faults_lock_);
  return faults_;
}

void Machine::Fault(const std::string& what) {
  std::fprintf(stderr, "cradlewright-host: engine fault: %s\n", what.c_str());
  std::lock_guard<std::mutex> guard(faults_lock_);
  faults_.push_back(what);
}

ClassDescription* Machine::CheckIntact(const ScriptObject* object, const char* when) {
  ClassDescription* description = nullptr;
  {
    std::lock_guard<std::mutex> guard(lock_);
    // Only objects this machine made carry its contents.
    auto it = created_.find(object);
    if (it == created_.end()) return nullptr;
    description = it->second.description;
  }
  if (object->flags != kLiveObjectFlags || object->classDescription != description ||
      object->lockStructure != g_lockStructure) {
    char line[160];
    std::snprintf(line, sizeof line,
                  "script object %p damaged (seen at %s): flags %08X, class %p, lock %p",
                  static_cast<const void*>(object), when, object->flags,
                  static_cast<const void*>(object->classDescription), object->lockStructure);
    Fault(line);
  }
  return description;
}

bool Machine::GetClassForTypeId(std::uint32_t typeId, ClassDescription** out) {
  ClassDescription* description = ClassForFormType(typeId);
  if (!description) return false;
  std::atomic_ref<std::int32_t>(description->referenceCount).fetch_add(1);
  *out = description;
  return true;
}

bool Machine::TypeIdOf(const char* className, std::uint32_t* out) {
  ClassDescription* description = KnownClass(className);
  if (!description) return false;
  *out = description == questClass_ ? kQuestFormType : 0;
  return true;
}

bool Machine::CreateObject(const char* className, ScriptObject** out) {
  ClassDescription* description = KnownClass(className);
  if (!description) return false;
  auto* object =
      static_cast<ScriptObject*>(HeapAllocate(&EngineHeap(), sizeof(ScriptObject), 0, false));
  if (!object) return false;
  new (object) ScriptObject{};
  object->flags = kLiveObjectFlags;
  object->classDescription = description;
  StringFromText(&object->stateName, "");
  object->lockStructure = g_lockStructure;
  object->handle = kInvalidHandle;
  object->referenceCount = 1;  // the caller's reference
  {
    std::lock_guard<std::mutex> guard(lock_);
    created_[object] = Created{++clock_, description};
  }
  *out = object;
  return true;
}

void Machine::RegisterFunction(NativeFunctionHead* function) {
  if (!function->table || function->table[-1] != NativeFunctionTypeRecord())
    Fault("the native function " + Shown(function->className.c_str()) + "." +
          Shown(function->name.c_str()) +
          " carries no type record of the engine before its table (table[-1]): crash loggers "
          "cannot name it");
  std::lock_guard<std::mutex> guard(lock_);
  natives_.push_back(function);
}

void Machine::SetCallableFromTasklets(const char* className, const char* name, bool callable) {
  NativeFunctionHead* function = Find(className ? className : "", name ? name : "");
  if (!function) {
    Fault("set callable from tasklets (registry slot 26) for an unknown function " +
          Shown(className) + "." + Shown(name));
    return;
  }
  reinterpret_cast<void (*)(NativeFunctionHead*, std::uint8_t)>(
      function->table[function_slot::kSetCallableFromTasklets])(function, callable ? 1 : 0);
}

bool Machine::FindBoundObject(std::uint64_t handle, const char* className, ScriptObject** out) {
  if (!KnownClass(className)) {
    Fault("find bound object (registry slot 28) was handed \"" + Shown(className) +
          "\", which names no class");
    return false;
  }
  ScriptObject* object = nullptr;
  {
    std::lock_guard<std::mutex> guard(lock_);
    auto it = bound_.find({handle, className});
    if (it == bound_.end()) {
      t_lastMiss = {handle, ++clock_};
      return false;
    }
    object = it->second.object;
    AddReference(object);  // the caller's reference, taken while the registry holds its own
  }
  *out = object;
  return true;
}

void Machine::Bind(ScriptObject* object, std::uint64_t handle) {
  const ClassDescription* description = CheckIntact(object, "bind");
  if (!description) {
    Fault("bind of an object the registry did not make");
    return;
  }
  const std::int32_t seen = LockObject(object);
  object->handle = handle;
  UnlockObject(object, seen);
  const std::string className = description->name.c_str();
  bool duplicate = false, added = false;
  {
    std::lock_guard<std::mutex> guard(lock_);
    auto it = bound_.find({handle, className});
    if (it != bound_.end()) {
      // Two threads may look, miss and bind at once: the first binding stays and the
      // later object lives only as long as its own references. A binding that was
      // already there when this thread looked should have been found instead.
      duplicate = t_lastMiss.handle != handle || it->second.boundAt < t_lastMiss.time;
    } else {
      bound_.emplace(std::pair{handle, className}, Binding{object, ++clock_});
      added = true;
    }
  }
  if (duplicate) {
    char line[128];
    std::snprintf(line, sizeof line,
                  "a second %s object was bound to handle %016llX, which already had one",
                  className.c_str(), static_cast<unsigned long long>(handle));
    Fault(line);
  }
  if (!added) return;
  AddReference(object);  // the registry's reference
}

void Machine::AddReference(ScriptObject* object) {
  const std::int32_t seen = LockObject(object);
  const std::int32_t count = (seen & INT32_MAX) + 1;
  if (count == 2) Keep(object->handle);
  UnlockObject(object, count);
}

void Machine::DropReference(ScriptObject* object) {
  const std::int32_t seen = LockObject(object);
  const std::int32_t count = (seen & INT32_MAX) - 1;
  if (count == 1) Release(object->handle);
  UnlockObject(object, count);
  if (count == 0) {
    DestroyObject(object);
    HeapFree(&EngineHeap(), object, false);
  }
}

void Machine::Forget(ScriptObject* object) {
  CheckIntact(object, "destruction");
  std::lock_guard<std::mutex> guard(lock_);
  for (auto it = bound_.begin(); it != bound_.end(); ++it)
    if (it->second.object == object) {
      bound_.erase(it);
      break;
    }
  created_.erase(object);
}

bool Machine::HandleIsType(std::uint32_t formType, std::uint64_t handle) const {
  if (handle == kInvalidHandle) return false;
  // Every form is a Form; other types must match the handle's own.
  return formType == 0 || (handle >> 32) == formType;
}

bool Machine::HandleIsValid(std::uint64_t handle) const {
  return handle != kInvalidHandle && LookupForm(static_cast<std::uint32_t>(handle)) != nullptr;
}

std::uint64_t Machine::MakeHandle(std::uint32_t formType, const void* form) const {
  if (!form) return kInvalidHandle;
  const auto* f = static_cast<const Form*>(form);
  const std::uint32_t type = formType ? formType : f->formType;
  return (static_cast<std::uint64_t>(type) << 32) | f->formID;
}

void* Machine::Resolve(std::uint32_t formType, std::uint64_t handle) const {
  if (!HandleIsType(formType, handle) || !HandleIsValid(handle)) return nullptr;
  return LookupForm(static_cast<std::uint32_t>(handle));
}

void Machine::Keep(std::uint64_t handle) {
  std::lock_guard<std::mutex> guard(kept_lock_);
  ++kept_[handle];
}

void Machine::Release(std::uint64_t handle) {
  std::lock_guard<std::mutex> guard(kept_lock_);
  --kept_[handle];
}

// The engine's free functions that work on the machine.

void BindObject(TableObject*, ScriptObject** object, std::uint64_t handle) {
  if (object && *object) TheMachine().Bind(*object, handle);
}

void DestroyObject(ScriptObject* object) {
  TheMachine().Forget(object);
}

void DestroyClassDescription(ClassDescription* description) {
  description->name.text = nullptr;
}

void CleanValue(Value* value) {
  if (type_word::IsObject(value->type) && value->data)
    TheMachine().DropReference(reinterpret_cast<ScriptObject*>(value->data));
  value->type = type_word::kNone;
  value->data = 0;
}

Value* CopyValue(Value* destination, const Value* source) {
  if (destination == source) return destination;
  CleanValue(destination);
  *destination = *source;
  if (type_word::IsObject(source->type) && source->data)
    TheMachine().AddReference(reinterpret_cast<ScriptObject*>(source->data));
  return destination;
}

}  // namespace cw::sim
