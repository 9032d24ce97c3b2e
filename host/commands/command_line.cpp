#include "host/commands/command_line.h"

#include <charconv>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>

#include "address/version_database.h"
#include "host/call_arguments.h"
#include "host/commands/load_order_command.h"
#include "host/commands/script_run.h"
#include "host/engine/functions.h"
#include "host/runtime_host.h"
#include "host/session.h"
#include "papyrus/script_check.h"
#include "papyrus/script_declarations.h"
#include "platform/ascii.h"

namespace cw::sim {
namespace {

constexpr int kDone = 0, kNotLoaded = 1, kUsage = 2, kEngineFault = 3;

const char* const kUsageText =
    "usage: cradlewright-host [OPTIONS] call CLASS.NATIVE [ARG]...  (or CLASS.NATIVE(ARG, ...))\n"
    "       cradlewright-host [OPTIONS] run [FILE|-]   calls from FILE or standard input, one a "
    "line\n"
    "       cradlewright-host [OPTIONS] natives        the registered natives\n"
    "       cradlewright-host [OPTIONS] query          query and load only: accepted or refused\n"
    "       cradlewright-host [--game-dir DIR] [--plugins FILE] load-order\n"
    "                                                  what the game folder would load, in order\n"
    "       cradlewright-host database FILE [ID]...    reads a version database\n"
    "       cradlewright-host declarations FOLDER      writes the natives' script declarations\n"
    "       cradlewright-host reference FILE           writes the natives' reference page\n"
    "       cradlewright-host check-scripts [--all] FILE|FOLDER...  checks script sources\n"
    "                                                  and compiled scripts (.psc, .pex)\n"
    "       cradlewright-host [OPTIONS] test [--verbose] [--seed N] [--timeout S] PATH...\n"
    "                                                  runs the Test functions of compiled "
    "scripts\n"
    "       cradlewright-host [OPTIONS] script SCRIPT.pex [--seconds N] [--seed N]\n"
    "                                                  runs a quest script's events on a clock\n"
    "options:\n"
    "  --game-dir DIR      the game folder holding Data/ (default: the current folder)\n"
    "  --plugins FILE      the game's Plugins.txt (default: the game's own place on Windows,\n"
    "                      GAME/Plugins.txt elsewhere)\n"
    "  --plugin PATH       the plugin to load (default: the one built beside this program)\n"
    "  --runtime A.B.C.D   the running game version (default 1.5.97.0; 1.6 and later play\n"
    "                      the Anniversary Edition's script extender, 1.4.x Skyrim VR)\n"
    "  --editor            the script extender runs in the editor\n"
    "  --omit-id N         leave address identifier N out of the database written\n"
    "  --no-database       write no database: start-up reads what the game folder holds\n"
    "                      (one that this program did not write is refused)\n"
    "  --mod NAME          a loaded plugin file, in load order (repeatable)\n"
    "  --light-mod NAME    a loaded light plugin file (ESL), in load order\n"
    "  --inactive-mod NAME a plugin file found but not loaded\n"
    "  --form ID           a loaded form of that hexadecimal form ID\n"
    "  --quest ID          a loaded quest of that hexadecimal form ID\n"
    "  --verbose           also show the plugin's start-up log after a good start\n"
    "  --help              this text\n"
    "exit status: 0 done, 1 not loaded or refused, 2 usage error, 3 engine fault,\n"
    "             4 crashed\n";

// The status of a command, or kEngineFault when the plugin did something to the
// engine that the real one would misread (each fault was printed when it happened).
int Checked(const Machine& machine, int status, std::ostream& err) {
  const std::size_t faults = machine.Faults().size();
  if (faults == 0) return status;
  err << "cradlewright-host: " << faults << " engine fault(s)\n";
  return kEngineFault;
}

int Usage(std::ostream& err, const std::string& what) {
  err << "cradlewright-host: " << what << "\n";
  return kUsage;
}

bool ParseU64(const std::string& text, std::uint64_t* value) {
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *value, 10);
  return !text.empty() && ec == std::errc() && end == text.data() + text.size();
}

// The native of that class and name; the script engine ignores letter case in both.
NativeFunctionHead* FindNative(Machine& machine, const std::string& className,
                               const std::string& name) {
  if (NativeFunctionHead* exact = machine.Find(className, name)) return exact;
  for (NativeFunctionHead* f : machine.Natives())
    if (EqualsIgnoringAsciiCase(f->className.c_str(), className) &&
        EqualsIgnoringAsciiCase(f->name.c_str(), name))
      return f;
  return nullptr;
}

// The registered spelling of a class name given in any letter case.
std::string RegisteredClassName(Machine& machine, const std::string& className) {
  for (NativeFunctionHead* f : machine.Natives())
    if (EqualsIgnoringAsciiCase(f->className.c_str(), className)) return f->className.c_str();
  return className;
}

// How one call went: kDone, or kUsage with `error` saying why; `warnings` collects
// what the call went through with but a script author should know.
struct CallProblems {
  std::string error;
  std::vector<std::string> warnings;
};

// One call: CLASS.NATIVE and its argument texts, or the whole call written as in
// a script. Returns kDone, or kUsage with the problem set.
int CallOne(Machine& machine, std::vector<std::string> words, std::ostream& out,
            CallProblems* problems) {
  if (!words.empty() && IsScriptCall(words[0])) {
    std::string joined;
    for (const std::string& w : words) joined += (joined.empty() ? "" : " ") + w;
    auto split = SplitScriptCall(joined, &problems->error);
    if (!split) return kUsage;
    words = std::move(*split);
  }
  const std::string& target = words[0];
  const std::size_t dot = target.find('.');
  if (dot == std::string::npos) {
    problems->error = "expected CLASS.NATIVE, got: " + target;
    return kUsage;
  }
  NativeFunctionHead* native = FindNative(machine, target.substr(0, dot), target.substr(dot + 1));
  if (!native) {
    problems->error = "unknown native: " + target +
                      papyrus::Suggestion(RegisteredClassName(machine, target.substr(0, dot)),
                                          target.substr(dot + 1));
    return kUsage;
  }
  const Machine::Signature signature = Machine::SignatureOf(native);
  const std::size_t given = words.size() - 1;
  if (given != signature.parameters.size()) {
    problems->error = target + " takes " + std::to_string(signature.parameters.size()) +
                      " argument(s), got " + std::to_string(given);
    return kUsage;
  }
  std::vector<Value> arguments;
  for (std::size_t i = 0; i < given; ++i) {
    std::string warning;
    auto value =
        ArgumentValue(machine, words[i + 1], signature.parameters[i], &problems->error, &warning);
    if (!value) {
      for (Value& v : arguments) CleanValue(&v);
      return kUsage;
    }
    if (!warning.empty()) problems->warnings.push_back(warning);
    arguments.push_back(*value);
  }
  Value result{type_word::kNone, 0};
  machine.Call(native, arguments, &result);
  out << FormatResult(machine, result, signature.result) << "\n";
  out.flush();
  CleanValue(&result);
  for (Value& v : arguments) CleanValue(&v);
  return kDone;
}

// The calls of a `run` file, one a line; every problem is reported as
// FILE:LINE: message, with the line of the file.
int RunLines(Machine& machine, std::istream& in, const std::string& fileName, std::ostream& out,
             std::ostream& err) {
  std::string line;
  int lineNumber = 0;
  while (std::getline(in, line)) {
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == '#') continue;
    const std::string place = fileName + ":" + std::to_string(lineNumber) + ": ";
    CallProblems problems;
    std::optional<std::vector<std::string>> words;
    if (IsScriptCall(line.substr(first)))
      words = std::vector<std::string>{line.substr(first)};
    else
      words = SplitCallLine(line, &problems.error);
    const int status = words ? CallOne(machine, *words, out, &problems) : kUsage;
    for (const std::string& w : problems.warnings) err << place << "warning: " << w << "\n";
    if (status != kDone) {
      err << place << problems.error << "\n";
      return status;
    }
  }
  return kDone;
}

int ListNatives(Machine& machine, std::ostream& out) {
  for (NativeFunctionHead* f : machine.Natives()) {
    const Machine::Signature signature = Machine::SignatureOf(f);
    out << f->className.c_str() << "." << f->name.c_str() << "(";
    for (std::size_t i = 0; i < signature.parameters.size(); ++i)
      out << (i ? ", " : "") << KindOfTypeWord(machine, signature.parameters[i]);
    out << ") -> " << KindOfTypeWord(machine, signature.result) << "\n";
  }
  return kDone;
}

int ReadDatabase(const std::vector<std::string>& args, std::size_t at, std::ostream& out,
                 std::ostream& err) {
  if (at >= args.size()) return Usage(err, "database needs a FILE");
  std::vector<std::uint64_t> ids;
  for (std::size_t i = at + 1; i < args.size(); ++i) {
    std::uint64_t id = 0;
    if (!ParseU64(args[i], &id)) return Usage(err, "not an identifier: " + args[i]);
    ids.push_back(id);
  }
  address::VersionDatabase database;
  if (!database.LoadPath(args[at], address::AcceptedFormat::kEither)) {
    err << "cradlewright-host: " << args[at] << ": " << address::Describe(database.LastError())
        << "\n";
    return kNotLoaded;
  }
  const address::GameVersion v = database.Version();
  out << "format " << database.Format() << "\n";
  out << "version " << v.major << "." << v.minor << "." << v.build << "." << v.sub << "\n";
  out << "entries " << database.Size() << "\n";
  for (std::uint64_t id : ids) {
    const auto offset = database.Find(id);
    out << id;
    if (offset) {
      char hex[32];
      std::snprintf(hex, sizeof hex, " 0x%llx", static_cast<unsigned long long>(*offset));
      out << hex << "\n";
    } else {
      out << " missing\n";
    }
  }
  return kDone;
}

int WriteDeclarationFiles(const std::vector<std::string>& args, std::size_t at, std::ostream& err) {
  const bool page = args[at - 1] == "reference";
  if (at + 1 != args.size())
    return Usage(err, page ? "reference needs one FILE" : "declarations needs one FOLDER");
  std::string error;
  if (page ? papyrus::WriteReference(args[at], &error)
           : papyrus::WriteDeclarations(args[at], &error))
    return kDone;
  err << "cradlewright-host: " << error << "\n";
  return kUsage;
}

}  // namespace

int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  SessionOptions options;
  bool verbose = false;
  std::size_t i = 0;
  auto value = [&](std::string* into) {
    if (i + 1 >= args.size()) return false;
    *into = args[++i];
    return true;
  };
  for (; i < args.size(); ++i) {
    const std::string& a = args[i];
    std::string v;
    if (a.rfind("--", 0) != 0) break;
    if (a == "--editor") {
      options.editor = true;
    } else if (a == "--verbose") {
      verbose = true;
    } else if (a == "--no-database") {
      options.writeDatabase = false;
    } else if (a == "--game-dir") {
      if (!value(&options.gameDir)) return Usage(err, "--game-dir needs a folder");
    } else if (a == "--plugins") {
      if (!value(&options.pluginsTxt)) return Usage(err, "--plugins needs a file");
    } else if (a == "--plugin") {
      if (!value(&options.pluginPath)) return Usage(err, "--plugin needs a path");
    } else if (a == "--runtime") {
      if (!value(&v) || !ParseRuntimeVersion(v, &options.runtime))
        return Usage(err, "--runtime needs A.B.C.D");
      if (auto status = RunOnHostOfRuntime(RuntimeVersionText(options.runtime), args, err))
        return *status;
    } else if (a == "--omit-id") {
      std::uint64_t id = 0;
      if (!value(&v) || !ParseU64(v, &id)) return Usage(err, "--omit-id needs a number");
      options.omitIds.insert(id);
    } else if (a == "--mod" || a == "--light-mod" || a == "--inactive-mod") {
      if (!value(&v)) return Usage(err, a + " needs a name");
      options.plugins.emplace_back(v, a == "--mod"         ? PluginKind::kRegular
                                      : a == "--light-mod" ? PluginKind::kLight
                                                           : PluginKind::kInactive);
    } else if (a == "--form" || a == "--quest") {
      std::uint32_t id = 0;
      if (!value(&v) || !ParseFormID(v, &id)) return Usage(err, a + " needs a hexadecimal form ID");
      (a == "--form" ? options.forms : options.quests).push_back(id);
    } else if (a == "--help") {
      out << kUsageText;
      return kDone;
    } else {
      return Usage(err, "unknown option " + a);
    }
  }
  if (i >= args.size()) return Usage(err, std::string("no command\n") + kUsageText);
  const std::string command = args[i++];
  if (command == "load-order") {
    if (i < args.size()) return Usage(err, "load-order takes no arguments");
    return PrintLoadOrder(options.gameDir, options.pluginsTxt, out, err);
  }
  if (command == "database") return ReadDatabase(args, i, out, err);
  if (command == "declarations" || command == "reference")
    return WriteDeclarationFiles(args, i, err);
  if (command == "check-scripts")
    return papyrus::CheckScriptFiles(
        std::vector<std::string>(args.begin() + static_cast<std::ptrdiff_t>(i), args.end()), out,
        err);
  const std::vector<std::string> rest(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
  if (command == "test") return RunTestCommand(options, rest, out, err);
  if (command == "script") return RunScriptCommand(options, rest, out, err);
  if (command != "call" && command != "run" && command != "natives" && command != "query")
    return Usage(err, "unknown command " + command);
  if (command == "call" && i >= args.size()) return Usage(err, "call needs CLASS.NATIVE");
  if ((command == "natives" || command == "query") && i < args.size())
    return Usage(err, command + " takes no arguments");
  if (command == "run" && i + 1 < args.size()) return Usage(err, "run takes at most one FILE");

  std::ifstream file;
  std::string fileName = "<stdin>";
  if (command == "run" && i < args.size() && args[i] != "-") {
    file.open(args[i]);  // opened before the session moves into the game folder
    if (!file) return Usage(err, "cannot read " + args[i]);
    fileName = args[i];
  }

  Session session(options);
  std::string error, log;
  const StartResult started = session.Start(&error, &log);
  for (const std::string& w : session.warnings())
    err << "cradlewright-host: warning: " << w << "\n";
  if (command == "query") {
    if (started == StartResult::kFailed) {
      err << "cradlewright-host: " << error << "\n";
      return kNotLoaded;
    }
    out << (started == StartResult::kAccepted ? "accepted" : "refused") << "\n" << log;
    out.flush();
    if (started == StartResult::kRefused) err << "cradlewright-host: " << error << "\n";
    return started == StartResult::kAccepted ? Checked(session.machine(), kDone, err) : kNotLoaded;
  }
  // The plugin's log says why it refused; after a good start it is shown when asked for.
  if (started != StartResult::kAccepted || verbose) err << log;
  if (started != StartResult::kAccepted) {
    err << "cradlewright-host: " << error << "\n";
    return kNotLoaded;
  }
  Machine& machine = session.machine();
  int status = kDone;
  if (command == "natives") {
    status = ListNatives(machine, out);
  } else if (command == "call") {
    CallProblems problems;
    status =
        CallOne(machine,
                std::vector<std::string>(args.begin() + static_cast<std::ptrdiff_t>(i), args.end()),
                out, &problems);
    for (const std::string& w : problems.warnings)
      err << "cradlewright-host: warning: " << w << "\n";
    if (status != kDone) return Usage(err, problems.error);
  } else {
    status = file.is_open() ? RunLines(machine, file, fileName, out, err)
                            : RunLines(machine, std::cin, fileName, out, err);
  }
  return Checked(machine, status, err);
}

}  // namespace cw::sim
