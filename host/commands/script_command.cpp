// `cradlewright-host script SCRIPT.pex [--seconds N]`: the script attached to a
// quest, sent OnInit, then its events and waits run on the virtual clock for N
// seconds, the Papyrus log printed as it goes.
#include <chrono>
#include <ctime>

#include "host/commands/script_run.h"
#include "host/engine_data.h"
#include "papyrus/vm/vm.h"

namespace cw::sim {
namespace vm = papyrus::vm;

namespace {

// A quest form of the run's own when no --quest names one: a form made at run time.
constexpr std::uint32_t kOwnQuest = 0xFF000800;

// "[12/09/2026 - 01:47:13PM] ", the log's time stamp.
std::string Stamp(std::time_t when) {
  std::tm parts{};
#ifdef _WIN32
  localtime_s(&parts, &when);
#else
  localtime_r(&when, &parts);
#endif
  char text[40];
  std::strftime(text, sizeof text, "[%m/%d/%Y - %I:%M:%S%p] ", &parts);
  return text;
}

}  // namespace

int RunScriptCommand(const SessionOptions& session, const std::vector<std::string>& args,
                     std::ostream& out, std::ostream& err) {
  std::string error;
  const auto options = ParseScriptRunOptions(args, 0, &error);
  if (options && options->paths.size() != 1) error = "script takes one compiled script";
  if (!options || options->paths.size() != 1) {
    err << "cradlewright-host: script: " << error << "\n";
    return kScriptsBadInput;
  }
  const std::unique_ptr<ScriptRun> run = ScriptRun::Start(session, options->paths, &error);
  if (!run) {
    err << "cradlewright-host: script: " << error << "\n";
    return kScriptsBadInput;
  }
  const vm::Class* cls = run->library().Find(run->named().front());
  std::uint32_t questID = session.quests.empty() ? kOwnQuest : session.quests.front();
  if (session.quests.empty()) EngineData::Current()->AddQuest(questID);

  vm::Vm machine(run->library(), &run->forms(), options->seed);
  const std::time_t start = std::time(nullptr);
  machine.SetLog([&](const std::string& line) {
    out << Stamp(start + static_cast<std::time_t>(machine.now())) << line << "\n";
    out.flush();
  });
  if (options->timeout > 0) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::duration<double>(options->timeout);
    machine.SetInterrupt([deadline] { return std::chrono::steady_clock::now() > deadline; });
  }
  vm::Instance* object = machine.NewObject(cls, questID);
  machine.Attach(object);
  machine.SendEvent(object, "OnInit");
  machine.RunUntil(options->seconds);
  if (machine.interrupted()) {
    err << "cradlewright-host: script: stopped after " << options->timeout
        << " seconds of real time\n";
    return kScriptsFailed;
  }
  return machine.errors().empty() ? kScriptsPassed : kScriptsFailed;
}

}  // namespace cw::sim
