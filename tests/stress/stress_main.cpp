// cw_stress [SECONDS]: loads the plugin into this process and calls all of its
// natives from 8 threads at once for SECONDS (default 3), while the same threads
// switch the translation language and write INI files. Every answer must be one
// that the call may give; afterwards every thread's INI writes must be there.
// Exit status 0 when all answers were valid, 1 otherwise, 2 on a usage error.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "host/engine/functions.h"
#include "host/engine_data.h"
#include "host/in_process.h"
#include "tests/stress/stress_cases.h"
#include "tests/support/game_folder.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace cw::stress {
namespace {

constexpr int kThreads = 8;
constexpr std::size_t kReportedFailures = 10;

struct PreparedCase {
  const StressCase* stressCase;
  std::unique_ptr<sim::PreparedCall> call;
};

class Failures {
 public:
  void Add(const StressCase& c, const std::string& answer, const char* when) {
    const std::lock_guard<std::mutex> guard(lock_);
    if (++count_ > kReportedFailures) return;
    std::string line = std::string(when) + ": " + c.native + "(";
    for (std::size_t i = 0; i < c.arguments.size(); ++i)
      line += (i ? ", \"" : "\"") + c.arguments[i] + "\"";
    line += ") answered \"" + answer + "\", expected one of:";
    for (const std::string& a : c.answers) line += " \"" + a + "\"";
    lines_.push_back(line);
  }
  std::size_t count() const {
    const std::lock_guard<std::mutex> guard(lock_);
    return count_;
  }
  void Print() const {
    const std::lock_guard<std::mutex> guard(lock_);
    for (const std::string& line : lines_) std::fprintf(stderr, "cw_stress: %s\n", line.c_str());
    if (count_ > lines_.size())
      std::fprintf(stderr, "cw_stress: ... and %zu more\n", count_ - lines_.size());
  }

 private:
  mutable std::mutex lock_;
  std::size_t count_ = 0;
  std::vector<std::string> lines_;
};

bool Valid(const StressCase& c, const std::string& answer) {
  return std::find(c.answers.begin(), c.answers.end(), answer) != c.answers.end();
}

std::vector<PreparedCase> Prepare(sim::Machine& machine, const std::vector<StressCase>& cases,
                                  std::string* error) {
  std::vector<PreparedCase> prepared;
  for (const StressCase& c : cases) {
    auto call = sim::PreparedCall::Make(machine, c.native, c.arguments, error);
    if (!call) return {};
    prepared.push_back({&c, std::move(call)});
  }
  return prepared;
}

// Runs each case once on this thread; true when every answer was valid.
bool RunOnce(std::vector<PreparedCase>& cases, Failures& failures, const char* when) {
  bool ok = true;
  for (PreparedCase& c : cases) {
    const std::string answer = c.call->RunText();
    if (!Valid(*c.stressCase, answer)) {
      failures.Add(*c.stressCase, answer, when);
      ok = false;
    }
  }
  return ok;
}

std::uint64_t Hammer(std::vector<PreparedCase>& cases, int thread, const std::atomic<bool>& go,
                     const std::atomic<bool>& stop, Failures& failures) {
  while (!go.load()) std::this_thread::yield();
  std::uint64_t calls = 0;
  // Threads start at different places of the list, so different natives overlap.
  std::size_t next = static_cast<std::size_t>(thread) * 7 % cases.size();
  // At least one pass through the list, so that every write is made before the
  // writes are checked, however slow the writes are on this machine.
  while (!stop.load(std::memory_order_relaxed) || calls < cases.size()) {
    PreparedCase& c = cases[next];
    const std::string answer = c.call->RunText();
    if (!Valid(*c.stressCase, answer)) failures.Add(*c.stressCase, answer, "under load");
    ++calls;
    next = (next + 1) % cases.size();
  }
  return calls;
}

bool ReferencesBalanced(sim::Machine& machine) {
  bool balanced = true;
  for (const BoundForm& f : BoundForms()) {
    const std::uint64_t handle = machine.MakeHandle(f.formType, sim::LookupForm(f.formID));
    if (const std::int64_t kept = machine.keptHandles(handle); kept != 0) {
      std::fprintf(stderr, "cw_stress: handle %016llx is kept %lld times, not 0\n",
                   static_cast<unsigned long long>(handle), static_cast<long long>(kept));
      balanced = false;
    }
  }
  const std::uint64_t live = machine.liveObjects();
  if (live != BoundForms().size()) {
    std::fprintf(stderr, "cw_stress: %llu bound objects live, not %zu\n",
                 static_cast<unsigned long long>(live), BoundForms().size());
    balanced = false;
  }
  if (!machine.Faults().empty()) balanced = false;  // each was printed when it happened
  return balanced;
}

// Goes back to the folder the program started in, so that the game folder can go.
class ReturnToStartFolder {
 public:
  ReturnToStartFolder() : folder_(std::filesystem::current_path()) {}
  ~ReturnToStartFolder() {
    std::error_code ec;
    std::filesystem::current_path(folder_, ec);
  }

 private:
  std::filesystem::path folder_;
};

int Run(double seconds) {
  test::GameFolder game;
  game.CopyExamples();
  WriteStressFiles(game.path());
  const ReturnToStartFolder returnLater;

  sim::SessionOptions options;
  options.gameDir = game.str();
  AddEngineData(&options);
  std::string error;
  std::unique_ptr<sim::InProcessHost> host = sim::InProcessHost::Start(options, &error);
  if (!host) {
    std::fprintf(stderr, "cw_stress: %s\n", error.c_str());
    return 1;
  }
  sim::Machine& machine = host->machine();

  // Every thread's cases and the checks of its writes, prepared before any runs.
  std::vector<std::vector<StressCase>> specs, written;
  for (int t = 0; t < kThreads; ++t) {
    specs.push_back(StressCases(t));
    written.push_back(WrittenValues(t));
  }
  std::set<std::string> natives;
  for (const StressCase& c : specs[0]) natives.insert(c.native);
  if (natives.size() != static_cast<std::size_t>(kNativeCount)) {
    std::fprintf(stderr, "cw_stress: the cases call %zu natives, not %d\n", natives.size(),
                 kNativeCount);
    return 1;
  }
  std::vector<std::vector<PreparedCase>> cases;
  for (int t = 0; t < kThreads; ++t) {
    cases.push_back(Prepare(machine, specs[t], &error));
    if (cases.back().empty()) {
      std::fprintf(stderr, "cw_stress: %s\n", error.c_str());
      return 1;
    }
  }

  // One language is loaded before the threads start, so every look-up has an answer.
  Failures failures;
  {
    auto load =
        sim::PreparedCall::Make(machine, "FWTextContents.IOReadTranslation", {"ENGLISH"}, &error);
    if (load) load->Run();
  }
  // Alone first: a wrong answer here is no matter of threads.
  if (!RunOnce(cases[0], failures, "alone")) {
    failures.Print();
    return 1;
  }

  std::atomic<bool> go{false}, stop{false};
  std::vector<std::uint64_t> calls(kThreads, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] { calls[t] = Hammer(cases[t], t, go, stop, failures); });
  const auto started = std::chrono::steady_clock::now();
  go.store(true);
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  stop.store(true);
  for (std::thread& thread : threads) thread.join();
  const double elapsed =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

  for (int t = 0; t < kThreads; ++t) {
    std::vector<PreparedCase> checks = Prepare(machine, written[t], &error);
    if (checks.empty()) {
      std::fprintf(stderr, "cw_stress: %s\n", error.c_str());
      return 1;
    }
    RunOnce(checks, failures, "afterwards");
  }

  std::uint64_t total = 0;
  for (std::uint64_t n : calls) total += n;

  // With every call's last result dropped, each bound object is held by the
  // registry alone: no reference taken or dropped under load went astray.
  cases.clear();
  const bool referencesBalanced = ReferencesBalanced(machine);
  if (failures.count() != 0 || !referencesBalanced) {
    failures.Print();
    return 1;
  }
  std::printf("cw_stress: %d threads, %.1f s, %llu calls (%.0f per second), all answers valid\n",
              kThreads, elapsed, static_cast<unsigned long long>(total),
              static_cast<double>(total) / elapsed);
  return 0;
}

}  // namespace
}  // namespace cw::stress

int main(int argc, char** argv) {
#if defined(_WIN32)
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
#endif
  double seconds = 3;
  if (argc > 2 || (argc == 2 && (seconds = std::atof(argv[1])) <= 0)) {
    std::fprintf(stderr, "usage: cw_stress [SECONDS]\n");
    return 2;
  }
  try {
    return cw::stress::Run(seconds);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "cw_stress: %s\n", e.what());
    return 1;
  }
}
