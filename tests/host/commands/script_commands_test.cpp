// The `test` and `script` commands on the compiled fixtures: outcomes, errors with
// their source lines, traces and exit statuses as a mod author sees them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "tests/support/fixtures.h"
#include "tests/support/game_folder.h"
#include "tests/support/process.h"

namespace cw::test {
namespace {
namespace fs = std::filesystem;

const fs::path kFixtures = fs::path(CW_SOURCE_DIR) / ".." / "shared" / "fixtures" / "pex";
const fs::path kScripts = kFixtures / "pex";

#define CW_NEED_FIXTURES() CW_NEED_FIXTURE("pex/pex/CwNativesTest.pex")

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

ProcessResult Host(const GameFolder& game, std::vector<std::string> args) {
  args.insert(args.begin(), {"--game-dir", game.str()});
  return RunHost(args);
}

// The source line of a statement in a fixture's source.
int LineOf(const std::string& script, const std::string& statement) {
  const std::vector<std::string> lines = Lines(Read(kFixtures / "src" / (script + ".psc")));
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i].find(statement) != std::string::npos) return static_cast<int>(i) + 1;
  return -1;
}

// What `test --verbose` printed: each test's result line and the log lines under it.
struct Reported {
  std::string result;
  std::vector<std::string> stack, log;
};
std::map<std::string, Reported> Report(const std::string& out) {
  std::map<std::string, Reported> tests;
  Reported* current = nullptr;
  for (const std::string& line : Lines(out)) {
    if (line.rfind("[ OK ] ", 0) == 0 || line.rfind("[FAIL] ", 0) == 0) {
      const std::string rest = line.substr(7);
      current = &tests[rest.substr(0, rest.find(':'))];
      current->result = line;
    } else if (current && line.rfind("         ", 0) == 0) {
      current->stack.push_back(line.substr(9));
    } else if (current && line.rfind("       ", 0) == 0) {
      current->log.push_back(line.substr(7));
    }
  }
  return tests;
}

TEST(ScriptTestCommand, EveryFixtureTestHasItsExpectedOutcome) {
  CW_NEED_FIXTURES();
  GameFolder game;
  const ProcessResult r = Host(game, {"test", "--verbose", kScripts.string()});
  EXPECT_EQ(r.status, 1) << r.err;  // the failing fixtures fail
  const auto tests = Report(r.out);
  // expected/test-outcomes.txt: "Script.Test PASS|FAIL ..." and the traces under it.
  std::istringstream expected(Read(kFixtures / "expected" / "test-outcomes.txt"));
  int passes = 0, fails = 0;
  std::string name;
  std::vector<std::string> traces;
  auto check = [&] {
    if (name.empty()) return;
    const auto it = tests.find(name);
    ASSERT_NE(it, tests.end()) << name << " not reported:\n" << r.out;
    if (!traces.empty()) {
      EXPECT_EQ(it->second.log, traces) << name;
    }
    traces.clear();
  };
  for (std::string line; std::getline(expected, line);) {
    if (line.rfind("  trace: ", 0) == 0) {
      traces.push_back(line.substr(9));
      continue;
    }
    if (line.empty() || line[0] == '#' || line[0] == ' ') continue;
    check();
    std::istringstream words(line);
    std::string outcome;
    words >> name >> outcome;
    const bool pass = outcome == "PASS";
    (pass ? passes : fails)++;
    const auto it = tests.find(name);
    if (it != tests.end()) {
      EXPECT_EQ(it->second.result.substr(0, 6), pass ? "[ OK ]" : "[FAIL]") << it->second.result;
    }
  }
  check();
  EXPECT_NE(r.out.find(std::to_string(passes) + " passed, " + std::to_string(fails) + " failed"),
            std::string::npos)
      << r.out;
  // Every call of our natives reached the plugin: none is unbound.
  EXPECT_EQ(r.out.find("Unbound native"), std::string::npos) << r.out;

  // The failures name the error and the lines of the stack, innermost first.
  struct Failure {
    const char* test;
    std::string error;
    std::vector<std::pair<std::string, std::string>> stack;  // function, statement
  };
  const Failure failures[] = {
      {"TestArrayReadOutOfRange",
       "error: Array index 3 is out of range (0-2)",
       {{"TestArrayReadOutOfRange", "Int iValue = aiValues[iIndex]"}}},
      {"TestArrayWriteOutOfRange",
       "error: Array index -1 is out of range (0-2)",
       {{"TestArrayWriteOutOfRange", "aiValues[iIndex] = 5"}}},
      {"TestCallOnNone",
       "error: Cannot call GetFormID() on a None object, aborting function call",
       {{"TestCallOnNone", "Int iId = kNothing.GetFormID()"}}},
      {"TestErrorInCalledFunction",
       "error: Cannot call GetFormID() on a None object, aborting function call",
       {{"IdOfNothing", "Return kNothing.GetFormID()"},
        {"TestErrorInCalledFunction", "Int iId = IdOfNothing()"}}},
      {"TestReturnsFalse", "answered False", {}},
  };
  for (const Failure& f : failures) {
    const Reported& reported = tests.at(std::string("CwFailTest.") + f.test);
    EXPECT_EQ(reported.result, std::string("[FAIL] CwFailTest.") + f.test + ": " + f.error);
    ASSERT_EQ(reported.stack.size(), f.stack.size()) << reported.result;
    for (std::size_t i = 0; i < f.stack.size(); ++i)
      EXPECT_EQ(reported.stack[i], "<unknown self>.CwFailTest." + f.stack[i].first +
                                       "() - \"CwFailTest.psc\" Line " +
                                       std::to_string(LineOf("CwFailTest", f.stack[i].second)));
  }
}

TEST(ScriptTestCommand, NativesTraceWhatThePluginAnswers) {
  CW_NEED_FIXTURES();
  GameFolder game;
  const ProcessResult r =
      Host(game, {"test", "--verbose", (kScripts / "CwNativesTest.pex").string()});
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  // expected/CwNativesTest.traces.txt, its part for an empty Data folder.
  std::map<std::string, std::vector<std::string>> expected;
  std::string test;
  std::istringstream file(Read(kFixtures / "expected" / "CwNativesTest.traces.txt"));
  for (std::string line; std::getline(file, line);) {
    if (line.rfind("# ----", 0) == 0 && !expected.empty()) break;
    if (line.rfind("# CwNativesTest.", 0) == 0) {
      test = line.substr(2, line.find(' ', 2) - 2);
    } else if (!line.empty() && line[0] != '#' && !test.empty()) {
      expected[test].push_back(line);
    }
  }
  ASSERT_FALSE(expected.empty());
  const auto tests = Report(r.out);
  for (const auto& [name, traces] : expected) EXPECT_EQ(tests.at(name).log, traces) << name;
}

TEST(ScriptTestCommand, ExitStatusesTellPassFailAndBadInput) {
  CW_NEED_FIXTURES();
  GameFolder game;
  game.Write("broken/CwOpsTest.pex", Read(kScripts / "CwOpsTest.pex").substr(0, 1000));
  game.Write("empty/readme.txt", "no scripts here");
  const struct {
    std::vector<std::string> args;
    int status;
  } cases[] = {
      {{(kScripts / "CwOpsTest.pex").string()}, 0},
      {{(kScripts / "CwFailTest.pex").string()}, 1},
      {{(game.path() / "missing.pex").string()}, 2},
      {{(game.path() / "broken" / "CwOpsTest.pex").string()}, 2},
      {{(game.path() / "empty").string()}, 2},
      {{(kScripts / "CwStateQuest.pex").string()}, 2},  // no tests in it
      {{"--seed"}, 2},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"test"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const ProcessResult r = Host(game, args);
    EXPECT_EQ(r.status, c.status) << c.args.back() << "\n" << r.out << r.err;
  }
}

// The quest script's run: OnInit, the updates it registers for, its states; the
// parent script found in the game's Data/Scripts as well as beside it.
TEST(ScriptCommand, TheQuestScriptTracesItsExpectedRun) {
  CW_NEED_FIXTURES();
  const std::vector<std::string> expected =
      Lines(Read(kFixtures / "expected" / "CwStateQuest.expected.txt"));
  GameFolder game;
  game.Write("Data/Scripts/CwBaseQuest.pex", Read(kScripts / "CwBaseQuest.pex"));
  game.Write("alone/CwStateQuest.pex", Read(kScripts / "CwStateQuest.pex"));
  for (const fs::path& script :
       {kScripts / "CwStateQuest.pex", game.path() / "alone" / "CwStateQuest.pex"}) {
    const ProcessResult r = Host(game, {"script", script.string(), "--seconds", "30"});
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    std::vector<std::string> traces;
    for (const std::string& line : Lines(r.out)) {
      ASSERT_EQ(line[0], '[') << line;  // each line has the log's time stamp
      traces.push_back(line.substr(line.find("] ") + 2));
    }
    EXPECT_EQ(traces, expected) << script;
  }
}

}  // namespace
}  // namespace cw::test
