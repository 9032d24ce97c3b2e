// End-to-end cases: each file in tests/e2e/cases/ is a list of native calls for
// `cradlewright-host run`, each followed by the lines it must print ("=> text").
// Directives at the top set up the run:
//   #! options ARG...          host options (--mod, --form, ...)
//   #! examples                start from a copy of the example game folder
//   #! file PATH "BYTES"       a file below the game folder (escapes as in run lines)
//   #! fixture PATH NAME       a file below the game folder with the bytes of a real
//                              file from outside (NAME below ../shared/fixtures); the
//                              case is skipped where ../shared is absent
// An expectation in double quotes may use the same escapes. A failure names the
// case file's line, the call, and the expected and actual answers; the host gets
// one input line for each line of the file, so its messages name the same lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <tuple>

#include "host/call_arguments.h"
#include "tests/support/fixtures.h"
#include "tests/support/game_folder.h"
#include "tests/support/process.h"

namespace cw::test {
namespace {
namespace fs = std::filesystem;

// One expected line of output, with the call that prints it.
struct Expectation {
  int line = 0;      // of the case file: the call's
  std::string call;  // as written
  std::string text;  // what it prints
};

struct Case {
  std::vector<std::string> options;
  bool examples = false;
  std::vector<std::pair<std::string, std::string>> files;
  std::vector<std::pair<std::string, std::string>> fixtures;  // path, name
  std::string input;                                          // the calls
  std::vector<Expectation> expected;
};

Case ReadCase(const fs::path& path) {
  Case c;
  std::ifstream in(path, std::ios::binary);
  std::string line, call;
  int lineNumber = 0, callLine = 0;
  while (std::getline(in, line)) {
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("=> ", 0) == 0 || line == "=>") {
      std::string text = line.size() > 3 ? line.substr(3) : std::string();
      if (!text.empty() && text[0] == '"') {  // a quoted expectation may use escapes
        std::string error;
        auto words = sim::SplitCallLine(text, &error);
        if (words && words->size() == 1)
          text = (*words)[0];
        else
          ADD_FAILURE() << path << ": bad expectation: " << line << " " << error;
      }
      c.expected.push_back({callLine, call, text});
      c.input += "\n";  // the host counts the lines of this file
    } else if (line.rfind("#! ", 0) == 0) {
      c.input += "\n";
      std::string error;
      auto words = sim::SplitCallLine(line.substr(3), &error);
      if (!words || words->empty()) {
        ADD_FAILURE() << path << ": bad directive: " << line << " " << error;
        continue;
      }
      const std::string kind = (*words)[0];
      if (kind == "options")
        c.options.insert(c.options.end(), words->begin() + 1, words->end());
      else if (kind == "examples")
        c.examples = true;
      else if (kind == "file" && words->size() == 3)
        c.files.emplace_back((*words)[1], (*words)[2]);
      else if (kind == "fixture" && words->size() == 3)
        c.fixtures.emplace_back((*words)[1], (*words)[2]);
      else
        ADD_FAILURE() << path << ": unknown directive: " << line;
    } else {
      // Comments and blank lines go to the host as they are, so that its own
      // messages name the line of this file too.
      const std::size_t first = line.find_first_not_of(" \t");
      if (first != std::string::npos && line[first] != '#') {
        call = line.substr(first);
        callLine = lineNumber;
      }
      c.input += line + "\n";
    }
  }
  return c;
}

std::vector<std::string> CaseNames() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(fs::path(CW_SOURCE_DIR) / "tests/e2e/cases"))
    if (entry.path().extension() == ".run") names.push_back(entry.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Every case runs in a game of each line: 1.5.97 (SE) and 1.6.1170 (AE), whose
// script extender loads the plugin its own way and whose engine has its own
// address identifiers.
struct GameLine {
  const char* name;
  std::vector<std::string> options;
};
const GameLine kLines[] = {{"SE", {}}, {"AE", {"--runtime", "1.6.1170.0"}}};

class EndToEnd : public testing::TestWithParam<std::tuple<std::string, int>> {};

TEST_P(EndToEnd, PrintsExpectedResults) {
  const auto& [name, line] = GetParam();
  const fs::path file = fs::path(CW_SOURCE_DIR) / "tests/e2e/cases" / (name + ".run");
  const Case c = ReadCase(file);
  for (const auto& fixture : c.fixtures) CW_NEED_FIXTURE(fixture.second);
  GameFolder game;
  if (c.examples) game.CopyExamples();
  for (const auto& [path, bytes] : c.files) game.Write(path, bytes);
  for (const auto& [path, name] : c.fixtures) game.Write(path, FixtureBytes(name));
  std::vector<std::string> args = {"--game-dir", game.str()};
  args.insert(args.end(), kLines[line].options.begin(), kLines[line].options.end());
  args.insert(args.end(), c.options.begin(), c.options.end());
  args.push_back("run");
  const ProcessResult result = RunHost(args, c.input);
  EXPECT_EQ(result.status, 0) << result.err;
  // Line by line, so that a failure names the call and its place in the file.
  std::istringstream got(result.out);
  std::string g;
  for (const Expectation& e : c.expected) {
    const std::string place = file.string() + ":" + std::to_string(e.line) + ": " + e.call;
    ASSERT_TRUE(std::getline(got, g)) << place << "\n  expected: " << e.text
                                      << "\n  actual:   (no more output)\nstderr: " << result.err;
    EXPECT_EQ(g, e.text) << place << "\n  expected: " << e.text << "\n  actual:   " << g;
  }
  EXPECT_FALSE(std::getline(got, g)) << file.string() << ": unexpected extra output: " << g;
}

INSTANTIATE_TEST_SUITE_P(Cases, EndToEnd,
                         testing::Combine(testing::ValuesIn(CaseNames()), testing::Values(0, 1)),
                         [](const testing::TestParamInfo<std::tuple<std::string, int>>& info) {
                           std::string name = std::get<0>(info.param);
                           for (char& ch : name)
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return name + "_" + kLines[std::get<1>(info.param)].name;
                         });

}  // namespace
}  // namespace cw::test
