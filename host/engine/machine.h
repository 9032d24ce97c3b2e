#pragma once
// The simulated script virtual machine: class registry, object-handle and bind
// policies, bound objects and the registered native function objects.
#include <array>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "plugin/vm_abi.h"

namespace cw::sim {

struct RegisteredNative {
  vm::NativeFunctionObject* object;
  std::uint32_t flags;
};

class Machine {
 public:
  Machine();
  ~Machine();
  Machine(const Machine&) = delete;
  Machine& operator=(const Machine&) = delete;

  vm::Registry* registry() { return &registry_; }
  vm::HandlePolicy* policy() { return &policy_; }

  // Natives in the order the registry received them.
  std::vector<RegisteredNative> Natives() const;
  vm::NativeFunctionObject* Find(const std::string& className, const std::string& name) const;

  // Runs Dispatch of a native with the given arguments; fills `result`.
  void Call(vm::NativeFunctionObject* native, const std::vector<vm::VMValue>& arguments,
            vm::VMValue* result);

  // An Object value for a form, as a script holding that form would pass it;
  // `formType` 0 binds it as a Form, 77 as a Quest. The caller cleans it up.
  vm::VMValue FormValue(std::uint32_t formID, std::uint32_t formType);
  // The form ID behind an Object value, if its handle resolves.
  bool FormIDOf(const vm::VMValue& value, std::uint32_t* formID);

  vm::ClassInfo* ClassForFormType(std::uint32_t formType);
  // Destroys every registered native through its slot 0.
  void DestroyNatives();

  // Counters for tests.
  std::uint64_t liveBoundObjects() const;
  std::int64_t keptHandles(std::uint64_t handle) const;

  // Registry operations (the table's slots call these).
  bool GetClassForFormType(std::uint32_t formType, vm::ClassInfo** out);
  bool TypeIdOf(const char* className, std::uint32_t* out) const;
  bool CreateObject(const char* className, vm::BoundObject** out);
  void RegisterNative(vm::NativeFunctionObject* object);
  void SetFlags(const char* className, const char* name, std::uint32_t flags);
  bool BoundObjectFor(std::uint64_t handle, const char* className, vm::BoundObject** out);
  void Bind(vm::BoundObject* object, std::uint64_t handle);
  void AddReference(vm::BoundObject* object);
  void DropReference(vm::BoundObject* object);
  void Forget(vm::BoundObject* object);

  // Handle policy operations.
  static constexpr std::uint64_t kInvalidHandle = 0xFFFF00000000ull;
  bool HandleIsType(std::uint32_t formType, std::uint64_t handle) const;
  bool HandleIsValid(std::uint64_t handle) const;
  std::uint64_t MakeHandle(std::uint32_t formType, const void* form) const;
  void* Resolve(std::uint32_t formType, std::uint64_t handle) const;
  void Keep(std::uint64_t handle);
  void Release(std::uint64_t handle);

 private:
  vm::Registry registry_;
  vm::HandlePolicy policy_;
  vm::BindPolicy bindPolicy_;
  vm::ClassInfo* formClass_;
  vm::ClassInfo* questClass_;
  mutable std::mutex lock_;
  std::vector<RegisteredNative> natives_;
  std::map<std::pair<std::uint64_t, std::string>, vm::BoundObject*> bound_;
  mutable std::mutex kept_lock_;
  std::map<std::uint64_t, std::int64_t> kept_;
  std::uint64_t liveObjects_ = 0;
  friend vm::BindPolicy* BindPolicyOf(Machine*);
};

// The machine that the engine's free functions (bind, destroy, values) work on.
Machine& TheMachine();

}  // namespace cw::sim
