// `cradlewright-host test PATH...`: every global function named Test... that
// takes nothing and answers a Bool, each on a fresh VM. A test passes when it
// answers True and no script error happened while it ran.
#include <algorithm>
#include <chrono>

#include "host/commands/script_run.h"
#include "papyrus/vm/vm.h"
#include "platform/ascii.h"

namespace cw::sim {
namespace vm = papyrus::vm;

namespace {

// A test that neither answers nor waits stops after this much virtual time.
constexpr double kMaxVirtualSeconds = 24 * 3600.0;

struct Test {
  std::string script;
  const vm::Function* function;
};

bool IsTest(const vm::Function& fn) {
  return fn.global && !fn.native && fn.state.empty() && fn.kind == 0 && fn.parameterCount == 0 &&
         fn.returnType.kind == vm::Kind::Bool && !fn.returnType.array && fn.name.size() >= 4 &&
         EqualsIgnoringAsciiCase(std::string_view(fn.name).substr(0, 4), "test");
}

bool NameLess(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return LowerAscii(x) < LowerAscii(y); });
}

struct Outcome {
  bool passed = false;
  std::string why;
  std::vector<std::string> stack;
};

Outcome RunOne(ScriptRun& run, const Test& test, const ScriptRunOptions& options,
               std::vector<std::string>* log) {
  vm::Vm machine(run.library(), &run.forms(), options.seed);
  machine.SetLog([log](const std::string& line) { log->push_back(line); });
  const auto deadline = std::chrono::steady_clock::now() +
                        std::chrono::duration<double>(options.timeout > 0 ? options.timeout : 1e9);
  machine.SetInterrupt([deadline] { return std::chrono::steady_clock::now() > deadline; });
  vm::Thread* thread = machine.Start(test.function, nullptr, {});
  machine.RunUntil(kMaxVirtualSeconds, [thread] { return thread->finished; });
  Outcome outcome;
  if (!machine.errors().empty()) {
    const vm::ScriptError& first = machine.errors().front();
    outcome.why = "error: " + first.message;
    if (machine.errors().size() > 1)
      outcome.why += " (and " + std::to_string(machine.errors().size() - 1) + " more errors)";
    outcome.stack = first.stack;
  } else if (!thread->finished) {
    outcome.why = machine.interrupted()
                      ? "no answer within " +
                            vm::ToText(vm::Value::Float(static_cast<float>(options.timeout))) +
                            " seconds"
                      : "no answer: the test waits for ever";
  } else if (thread->result.kind != vm::Kind::Bool) {
    outcome.why = "answered " + vm::ToText(thread->result) + ", not a Bool";
  } else if (!thread->result.b) {
    outcome.why = "answered False";
  } else {
    outcome.passed = true;
  }
  return outcome;
}

}  // namespace

int RunTestCommand(const SessionOptions& session, const std::vector<std::string>& args,
                   std::ostream& out, std::ostream& err) {
  std::string error;
  const auto options = ParseScriptRunOptions(args, 10, &error);
  if (!options) {
    err << "cradlewright-host: test: " << error << "\n";
    return kScriptsBadInput;
  }
  const std::unique_ptr<ScriptRun> run = ScriptRun::Start(session, options->paths, &error);
  if (!run) {
    err << "cradlewright-host: test: " << error << "\n";
    return kScriptsBadInput;
  }
  std::vector<Test> tests;
  for (const std::string& script : run->named()) {
    const vm::Class* cls = run->library().Find(script);
    std::vector<Test> own;
    for (const auto& fn : cls->functions)
      if (IsTest(*fn)) own.push_back({cls->name, fn.get()});
    std::sort(own.begin(), own.end(), [](const Test& a, const Test& b) {
      return NameLess(a.function->name, b.function->name);
    });
    tests.insert(tests.end(), own.begin(), own.end());
  }
  std::stable_sort(tests.begin(), tests.end(),
                   [](const Test& a, const Test& b) { return NameLess(a.script, b.script); });
  if (tests.empty()) {
    err << "cradlewright-host: test: no test functions (global Bool functions named Test... "
           "without parameters)\n";
    return kScriptsBadInput;
  }
  int passed = 0, failed = 0;
  for (const Test& test : tests) {
    std::vector<std::string> log;
    const Outcome outcome = RunOne(*run, test, *options, &log);
    const std::string name = test.script + "." + test.function->name;
    if (outcome.passed) {
      ++passed;
      out << "[ OK ] " << name << "\n";
    } else {
      ++failed;
      out << "[FAIL] " << name << ": " << outcome.why << "\n";
      for (const std::string& line : outcome.stack) out << "         " << line << "\n";
    }
    for (const std::string& line : log)
      if (options->verbose || line.rfind("warning: ", 0) == 0) out << "       " << line << "\n";
    out.flush();
  }
  out << passed << " passed, " << failed << " failed\n";
  return failed == 0 ? kScriptsPassed : kScriptsFailed;
}

}  // namespace cw::sim
