#include "host/command_line.h"

#include <charconv>
#include <fstream>
#include <iostream>
#include <sstream>

#include "address/version_database.h"
#include "host/call_arguments.h"
#include "host/engine/functions.h"
#include "host/runtime_host.h"
#include "host/script_check.h"
#include "host/script_declarations.h"
#include "host/session.h"

namespace cw::sim {
namespace {

constexpr int kDone = 0, kNotLoaded = 1, kUsage = 2, kEngineFault = 3;

const char* const kUsageText =
    "usage: cradlewright-host [OPTIONS] call CLASS.NATIVE [ARG]...\n"
    "       cradlewright-host [OPTIONS] run [FILE|-]\n"
    "       cradlewright-host [OPTIONS] natives\n"
    "       cradlewright-host [OPTIONS] query\n"
    "       cradlewright-host database FILE [ID]...\n"
    "       cradlewright-host declarations FOLDER\n"
    "       cradlewright-host reference FILE\n"
    "       cradlewright-host check-scripts [--all] FILE|FOLDER...\n"
    "options: --game-dir DIR  --plugin PATH  --runtime A.B.C.D  --editor  --omit-id N\n"
    "         --no-database  --mod NAME  --light-mod NAME  --inactive-mod NAME\n"
    "         --form ID  --quest ID\n";

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

// One call: CLASS.NATIVE and its argument texts. Returns 0, or 2 on a usage error.
int CallOne(Machine& machine, const std::vector<std::string>& words, std::ostream& out,
            std::ostream& err) {
  const std::string& target = words[0];
  const std::size_t dot = target.find('.');
  if (dot == std::string::npos) return Usage(err, "expected CLASS.NATIVE, got: " + target);
  NativeFunctionHead* native = machine.Find(target.substr(0, dot), target.substr(dot + 1));
  if (!native) return Usage(err, "unknown native: " + target);
  const Machine::Signature signature = Machine::SignatureOf(native);
  const std::size_t given = words.size() - 1;
  if (given != signature.parameters.size())
    return Usage(err, target + " takes " + std::to_string(signature.parameters.size()) +
                          " argument(s), got " + std::to_string(given));
  std::vector<Value> arguments;
  for (std::size_t i = 0; i < given; ++i) {
    std::string error;
    auto value = ArgumentValue(machine, words[i + 1], signature.parameters[i], &error);
    if (!value) {
      for (Value& v : arguments) CleanValue(&v);
      return Usage(err, error);
    }
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

int RunLines(Machine& machine, std::istream& in, std::ostream& out, std::ostream& err) {
  std::string line;
  int lineNumber = 0;
  while (std::getline(in, line)) {
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == '#') continue;
    std::string error;
    auto words = SplitCallLine(line, &error);
    if (!words) return Usage(err, "line " + std::to_string(lineNumber) + ": " + error);
    const int status = CallOne(machine, *words, out, err);
    if (status != kDone) {
      err << "cradlewright-host: (at line " << lineNumber << ")\n";
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
  if (page ? WriteReference(args[at], &error) : WriteDeclarations(args[at], &error)) return kDone;
  err << "cradlewright-host: " << error << "\n";
  return kUsage;
}

}  // namespace

int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  SessionOptions options;
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
    } else if (a == "--no-database") {
      options.writeDatabase = false;
    } else if (a == "--game-dir") {
      if (!value(&options.gameDir)) return Usage(err, "--game-dir needs a folder");
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
  if (command == "database") return ReadDatabase(args, i, out, err);
  if (command == "declarations" || command == "reference")
    return WriteDeclarationFiles(args, i, err);
  if (command == "check-scripts")
    return CheckScriptFiles(
        std::vector<std::string>(args.begin() + static_cast<std::ptrdiff_t>(i), args.end()), out,
        err);
  if (command != "call" && command != "run" && command != "natives" && command != "query")
    return Usage(err, "unknown command " + command);
  if (command == "call" && i >= args.size()) return Usage(err, "call needs CLASS.NATIVE");
  if ((command == "natives" || command == "query") && i < args.size())
    return Usage(err, command + " takes no arguments");
  if (command == "run" && i + 1 < args.size()) return Usage(err, "run takes at most one FILE");

  std::ifstream file;
  if (command == "run" && i < args.size() && args[i] != "-") {
    file.open(args[i]);  // opened before the session moves into the game folder
    if (!file) return Usage(err, "cannot read " + args[i]);
  }

  Session session(options);
  std::string error, log;
  const StartResult started = session.Start(&error, command == "query" ? &log : nullptr);
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
  if (started != StartResult::kAccepted) {
    err << "cradlewright-host: " << error << "\n";
    return kNotLoaded;
  }
  Machine& machine = session.machine();
  int status = kDone;
  if (command == "natives")
    status = ListNatives(machine, out);
  else if (command == "call")
    status =
        CallOne(machine,
                std::vector<std::string>(args.begin() + static_cast<std::ptrdiff_t>(i), args.end()),
                out, err);
  else
    status =
        file.is_open() ? RunLines(machine, file, out, err) : RunLines(machine, std::cin, out, err);
  return Checked(machine, status, err);
}

}  // namespace cw::sim
