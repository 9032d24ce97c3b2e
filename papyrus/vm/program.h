#pragma once
// Scripts as the VM runs them: classes linked to their parents, functions whose
// operands are slots (a local, a constant, an object variable), and the objects
// made of them. A class is loaded once per library and shared by every VM that
// runs it; the objects belong to one VM.
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "papyrus/vm/value.h"

namespace cw::papyrus::vm {

class Native;

// Where an instruction's operand lives once its identifier is resolved.
struct Operand {
  enum Where : std::uint8_t {
    kNone,      // a literal None
    kLocal,     // a parameter or local of the frame
    kConstant,  // a literal of the function
    kVariable,  // a variable of the object (index over the whole class chain)
    kSelf,      // the object the function runs on
    kState,     // ::State, the object's state name
    kDiscard,   // ::NoneVar: written values are dropped
  };
  Where where = kNone;
  std::uint32_t index = 0;
};

// A call instruction's target, resolved when first run and kept for the next time.
struct CallSite {
  std::uint32_t name = 0;       // function name id
  std::uint32_t className = 0;  // callstatic: class name id
  std::string nameText;
  std::string classText;
  Type resultType;
  std::uint32_t firstArgument = 0;  // into Function::arguments
  std::uint32_t argumentCount = 0;
  // The last target: for callmethod, valid for that class and state.
  const Class* seenClass = nullptr;
  std::uint32_t seenState = 0;
  const struct Function* target = nullptr;
  Native* native = nullptr;
  const struct Property* property = nullptr;
  bool resolved = false;
};

struct Instruction {
  std::uint8_t op = 0;
  Operand a, b, c, d;
  // Jumps: the target index; calls and properties: the call site; cast,
  // array_create and array_getelement: the type of the result (into Function::types).
  std::uint32_t extra = 0;
};

struct Function {
  const Class* owner = nullptr;
  std::string name;
  std::string state;      // "" for the empty state
  std::uint8_t kind = 0;  // 0 plain, 1 property getter, 2 property setter
  bool global = false;
  bool native = false;
  Type returnType;
  std::vector<Type> slotTypes;  // parameters first, then locals
  std::uint32_t parameterCount = 0;
  std::vector<Instruction> code;
  std::vector<Value> constants;
  std::vector<Operand> arguments;
  std::vector<Type> types;
  std::vector<std::uint16_t> lines;  // empty without debug info
  mutable std::vector<CallSite> sites;
  // A native function's binding, found when first called.
  mutable Native* binding = nullptr;
  mutable bool bound = false;

  std::uint32_t frameSize() const { return static_cast<std::uint32_t>(slotTypes.size()); }
};

struct Property {
  std::string name;
  Type type;
  std::int32_t variable = -1;  // auto properties
  const Function* getter = nullptr;
  const Function* setter = nullptr;
};

class Class {
 public:
  std::string name;
  std::uint32_t nameId = 0;
  const Class* parent = nullptr;
  bool scripted = false;   // false: an engine class, no script functions
  std::string sourceName;  // the script's source file, for stacks
  std::uint32_t variableBase = 0;
  std::vector<Type> variableTypes;  // the whole chain's, parents first
  std::vector<Value> variableStart;
  std::uint32_t autoState = 0;  // state name id
  std::string autoStateText;
  std::vector<std::unique_ptr<Function>> functions;
  // Functions by (state id << 32 | name id), inherited ones included; the
  // empty state's id is 0.
  std::unordered_map<std::uint64_t, const Function*> methods;
  std::unordered_map<std::uint32_t, Property> properties;  // by name id, inherited ones included
  std::unordered_map<std::uint32_t, std::int32_t> variablesByName;  // own variables

  const Function* Method(std::uint32_t state, std::uint32_t name) const;
  const Function* Global(std::uint32_t name) const;
  bool DerivesFrom(std::uint32_t nameId) const;
  bool HasScriptlessAncestor() const;
};

// An object: a script attached to a form, or a form of an engine class.
struct Instance {
  const Class* cls = nullptr;
  std::uint32_t formID = 0;  // 0: not a form
  std::uint32_t state = 0;   // state name id
  Value stateName;           // as assigned
  std::vector<Value> variables;
};

// "[CwStateQuest <(FF000800)>]": how the log and texts name an object.
std::string DescribeObject(const Instance* object);

}  // namespace cw::papyrus::vm
