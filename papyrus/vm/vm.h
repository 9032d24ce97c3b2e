#pragma once
// One run of the Papyrus VM: objects, script threads on a virtual clock, update
// registrations, and the Papyrus log with its errors. Threads run one at a time;
// Utility.Wait suspends one and lets the others run.
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "papyrus/vm/form_world.h"
#include "papyrus/vm/library.h"

namespace cw::papyrus::vm {

struct Frame {
  const Function* fn;
  Instance* self;
  std::uint32_t base;  // of its slots in the thread's
  std::uint32_t ip;    // the next instruction
  Operand result;      // where the caller wants the answer
};

struct Thread {
  std::uint64_t id = 0;
  std::vector<Value> slots;
  std::vector<Frame> frames;
  Value result;
  bool finished = false;
  bool suspended = false;
  bool keep = false;         // stays after it finished, for whoever started it
  std::uint64_t errors = 0;  // script errors while it ran
};

// A script error as the log reports it: the message and the stack, innermost first.
struct ScriptError {
  std::string message;
  std::vector<std::string> stack;
};

class Vm {
 public:
  // `world` may be null: no form is loaded then.
  Vm(Library& library, const FormWorld* world, std::uint64_t seed = 0);
  ~Vm();
  Vm(const Vm&) = delete;
  Vm& operator=(const Vm&) = delete;

  Library& library() { return library_; }

  // The Papyrus log: every line goes to the sink (without a time stamp).
  void SetLog(std::function<void(const std::string&)> sink) { log_ = std::move(sink); }
  void Log(const std::string& line);
  void Warning(const std::string& text);
  void WarnOnce(const std::string& key, const std::string& text);
  const std::vector<ScriptError>& errors() const { return errors_; }

  // Objects. A form's object is made when first asked and is the same object
  // afterwards; Attach makes a script's object the form's.
  Instance* NewObject(const Class* cls, std::uint32_t formID = 0);
  Instance* FormObject(std::uint32_t formID);
  void Attach(Instance* object);
  std::optional<std::uint8_t> FormType(std::uint32_t formID) const;
  const FormWorld* world() const { return world_; }

  // Threads. Start makes a thread that calls `fn` (on `self` unless global);
  // SendEvent one for the object's event of that name, if it has it.
  Thread* Start(const Function* fn, Instance* self, const std::vector<Value>& arguments);
  bool SendEvent(Instance* object, std::string_view name, const std::vector<Value>& arguments = {});
  // Runs threads and timers until the clock reaches `until`, nothing is left to
  // do, `done` says so, or the interrupt asked to stop. The clock stays at the
  // last event when nothing was left.
  void RunUntil(double until, const std::function<bool()>& done = {});
  // Asked after every 2^`everyLog2` units of work (about every million
  // instructions by default); true stops the run. An instruction is one unit, and
  // each KiB of a text an instruction makes is one more, so that a run which builds
  // long texts is asked as often in time as one that does not.
  void SetInterrupt(std::function<bool()> stop, unsigned everyLog2 = 20) {
    interrupt_ = std::move(stop);
    interruptEvery_ = std::uint64_t{1} << everyLog2;
    nextInterrupt_ = work_ + interruptEvery_;
  }
  bool interrupted() const { return interrupted_; }
  std::uint64_t instructions() const { return instructions_; }

  // The virtual clock, in seconds since the run began.
  double now() const { return now_; }
  // For natives.
  void Suspend(Thread& thread, double seconds);
  void RegisterForUpdate(Instance* object, double interval, bool repeat);
  void UnregisterForUpdate(Instance* object);
  Value Text(std::string_view text) { return Value::String(library_.Text(text)); }
  std::mt19937& random() { return random_; }
  // Quest and global variable state kept by the run, by form ID.
  struct FormState {
    bool running = false;
    std::int32_t stage = 0;
    float value = 0;
  };
  FormState& StateOf(std::uint32_t formID) { return formStates_[formID]; }

  // A script error in the thread: logged with its stack, counted in the thread.
  void Error(Thread& thread, const std::string& message);

 private:
  struct Timer {
    enum Kind { kWake, kUpdate } kind;
    std::uint64_t thread;
    Instance* object;
    std::uint64_t generation;
  };
  struct Update {
    std::uint64_t generation = 0;
    double interval = 0;
    bool repeat = false;
  };

  void Run(Thread& thread);
  bool Enter(Thread& thread, const Function* fn, Instance* self, const Value* arguments,
             std::uint32_t count, Operand result);
  void Leave(Thread& thread, Value value);
  void CallNative(Thread& thread, Native* native, const Function* fn, Value self,
                  const Value* arguments, std::uint32_t count, const Type& resultType,
                  Operand result);
  void Call(Thread& thread, const CallSite& site, std::uint8_t op, Value self, Operand result);
  void PropertyAccess(Thread& thread, const CallSite& site, bool get, Value object, Operand operand,
                      Value value);
  void WriteResult(Thread& thread, Operand result, const Value& value);
  Value Cast(const Value& v, const Type& type);
  void SetState(Instance* object, const Value& name);
  std::string FrameText(const Frame& frame) const;
  void Schedule(double at, Timer timer);

  Library& library_;
  const FormWorld* world_;
  std::function<void(const std::string&)> log_;
  std::function<bool()> interrupt_;
  std::uint64_t interruptEvery_ = std::uint64_t{1} << 20;
  std::uint64_t nextInterrupt_ = std::uint64_t{1} << 20;
  std::uint64_t work_ = 0;
  bool interrupted_ = false;
  std::uint64_t instructions_ = 0;
  std::vector<ScriptError> errors_;
  std::unordered_set<std::string> warned_;
  std::deque<Instance> objects_;
  std::deque<Array> arrays_;
  std::unordered_map<std::uint32_t, Instance*> forms_;
  std::unordered_map<std::uint64_t, std::unique_ptr<Thread>> threads_;
  std::deque<Thread*> ready_;
  std::uint64_t nextThread_ = 1;
  double now_ = 0;
  std::multimap<std::pair<double, std::uint64_t>, Timer> timers_;
  std::uint64_t timerSequence_ = 0;
  std::unordered_map<Instance*, Update> updates_;
  std::mt19937 random_;
  std::unordered_map<std::uint32_t, FormState> formStates_;
  std::vector<Value> arguments_;  // a call's arguments, gathered before its frame is made
  Value self_;                    // what a `self` operand reads
  friend class Interpreter;
};

// The engine's class of a form type ("Quest" for 77), "Form" for the others.
const char* EngineClassOfFormType(std::uint8_t formType);

}  // namespace cw::papyrus::vm
