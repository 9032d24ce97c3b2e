#pragma once
// The plugin started inside the calling program, for programs that call natives
// very often: stress runs, benchmarks, allocation counts. A process can load the
// plugin once only, so each such program is its own executable; on POSIX it must
// export its symbols (the plugin reads the running game's version texts from it),
// on Windows it must carry the host's version resource.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/engine/call_stack.h"
#include "host/engine/machine.h"
#include "host/session.h"

namespace cw::sim {

class InProcessHost {
 public:
  // Runs a Session with these options: writes the version database for this
  // program, moves into options.gameDir, loads the plugin and runs its
  // registration callbacks. Null with `error` set when the plugin does not start
  // or when this process has started it before.
  static std::unique_ptr<InProcessHost> Start(const SessionOptions& options, std::string* error);

  InProcessHost(const InProcessHost&) = delete;
  InProcessHost& operator=(const InProcessHost&) = delete;
  ~InProcessHost();  // removes the database; the plugin stays loaded

  Machine& machine() { return session_.machine(); }
  // The registered native "Class.name", or null.
  NativeFunctionHead* Find(std::string_view qualifiedName);

 private:
  explicit InProcessHost(const SessionOptions& options) : session_(options) {}
  Session session_;
};

// One call of a native with fixed arguments, built once and run many times. Run
// calls the native's Dispatch directly on a stack built up front, so it allocates
// nothing of its own. A PreparedCall is run by one thread at a time; different
// PreparedCalls of the same native may run at once.
class PreparedCall {
 public:
  // Arguments are texts as the host's command line takes them (typed literals and
  // "none" included). Null with `error` set for an unknown native, a wrong number
  // of arguments or a bad literal.
  static std::unique_ptr<PreparedCall> Make(Machine& machine, std::string_view qualifiedName,
                                            const std::vector<std::string>& arguments,
                                            std::string* error);
  PreparedCall(const PreparedCall&) = delete;
  PreparedCall& operator=(const PreparedCall&) = delete;
  ~PreparedCall();  // cleans up the argument values and the last result

  // Runs Dispatch; the result stays in result() until the next run (Dispatch
  // cleans up the previous one before it writes the new one).
  void Run() { dispatch_(native_, nullptr, machine_.registry(), 1, &result_, &frame_.head); }
  const Value& result() const { return result_; }
  // Runs and gives the result as the command line prints it.
  std::string RunText();

  NativeFunctionHead* native() const { return native_; }

 private:
  PreparedCall(Machine& machine, NativeFunctionHead* native);

  Machine& machine_;
  NativeFunctionHead* native_;
  FnMarshalAndDispatch dispatch_;
  Stack stack_;
  Frame frame_;
  Value result_{type_word::kNone, 0};
};

}  // namespace cw::sim
