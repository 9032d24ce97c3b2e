#pragma once
// The simulated script virtual machine: class registry, object-handle and bind
// policies, script objects bound to handles and the registered native function
// objects. It also watches what the plugin hands it: a call that the real engine
// would misread, or that leaves a script object damaged, is a fault that the
// machine records (and prints), so that tests see it.
#include <array>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "host/engine/data_records.h"
#include "host/engine/vm_records.h"

namespace cw::sim {

class Machine {
 public:
  Machine();
  ~Machine();
  Machine(const Machine&) = delete;
  Machine& operator=(const Machine&) = delete;

  TableObject* registry() { return &registry_; }
  TableObject* handlePolicy() { return &handlePolicy_; }
  TableObject* bindPolicy() { return &bindPolicy_; }

  // Natives in the order the registry received them.
  std::vector<NativeFunctionHead*> Natives() const;
  NativeFunctionHead* Find(const std::string& className, const std::string& name) const;

  // Parameter and result types of a function, asked through its table as the engine does.
  struct Signature {
    std::vector<std::uint64_t> parameters;
    std::uint64_t result = type_word::kNone;
  };
  static Signature SignatureOf(NativeFunctionHead* function);

  // Runs the marshal-and-dispatch operation of a native with the given arguments.
  void Call(NativeFunctionHead* native, const std::vector<Value>& arguments, Value* result);

  // An Object value for a form, as a script holding that form would pass it;
  // `formType` 0 binds it as a Form, 77 as a Quest. The caller cleans it up.
  Value FormValue(std::uint32_t formID, std::uint32_t formType);
  // The form ID behind an Object value, if its handle resolves.
  bool FormIDOf(const Value& value, std::uint32_t* formID);

  // The class description of a form type (0 Form, 77 Quest), or null.
  ClassDescription* ClassForFormType(std::uint32_t formType) const;
  // Destroys every registered native through its slot 0.
  void DestroyNatives();

  // Counters and findings for tests.
  std::uint64_t liveObjects() const;
  std::int64_t keptHandles(std::uint64_t handle) const;
  std::vector<std::string> Faults() const;
  void Fault(const std::string& what);

  // Registry operations (the table's slots call these).
  bool GetClassForTypeId(std::uint32_t typeId, ClassDescription** out);
  bool TypeIdOf(const char* className, std::uint32_t* out);
  bool CreateObject(const char* className, ScriptObject** out);
  void RegisterFunction(NativeFunctionHead* function);
  void SetCallableFromTasklets(const char* className, const char* name, bool callable);
  bool FindBoundObject(std::uint64_t handle, const char* className, ScriptObject** out);
  void Bind(ScriptObject* object, std::uint64_t handle);
  void AddReference(ScriptObject* object);
  void DropReference(ScriptObject* object);
  void Forget(ScriptObject* object);

  // Handle policy operations.
  static constexpr std::uint64_t kInvalidHandle = 0xFFFF00000000ull;
  bool HandleIsType(std::uint32_t formType, std::uint64_t handle) const;
  bool HandleIsValid(std::uint64_t handle) const;
  std::uint64_t MakeHandle(std::uint32_t formType, const void* form) const;
  void* Resolve(std::uint32_t formType, std::uint64_t handle) const;
  void Keep(std::uint64_t handle);
  void Release(std::uint64_t handle);

 private:
  ClassDescription* KnownClass(const char* name) const;
  // Records a fault when the fields the engine owns no longer hold what it put there;
  // gives the class the object was made of (null for an object not made here).
  ClassDescription* CheckIntact(const ScriptObject* object, const char* when);

  TableObject registry_;
  TableObject handlePolicy_;
  TableObject bindPolicy_;
  ClassDescription* formClass_;
  ClassDescription* questClass_;
  mutable std::mutex lock_;
  std::vector<NativeFunctionHead*> natives_;
  struct Binding {
    ScriptObject* object;
    std::uint64_t boundAt;
  };
  std::map<std::pair<std::uint64_t, std::string>, Binding> bound_;
  struct Created {
    std::uint64_t at;
    ClassDescription* description;
  };
  std::map<const ScriptObject*, Created> created_;
  std::uint64_t clock_ = 0;
  mutable std::mutex kept_lock_;
  std::map<std::uint64_t, std::int64_t> kept_;
  mutable std::mutex faults_lock_;
  std::vector<std::string> faults_;
};

// The machine that the engine's free functions (bind, destroy, values) work on.
Machine& TheMachine();

}  // namespace cw::sim
