#include "papyrus/script_check.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string_view>
#include <system_error>

#include "natives/utility/text.h"
#include "papyrus/compiled_check.h"
#include "papyrus/script_declarations.h"
#include "platform/ascii.h"
#include "plugin/registration.h"

namespace cw::papyrus {
namespace {

namespace fs = std::filesystem;

std::string Listed(const std::vector<std::string>& words) {
  std::string text = "(";
  for (std::size_t i = 0; i < words.size(); ++i) text += (i ? ", " : "") + words[i];
  return text + ")";
}

std::string ResultText(const std::string& type) {
  return type.empty() ? "nothing" : type;
}

// Letters to change, insert, delete or swap with their neighbour to turn a into b,
// letter case ignored.
std::size_t EditDistance(std::string_view a, std::string_view b) {
  const std::string x = text::ToLowerAscii(a), y = text::ToLowerAscii(b);
  const std::size_t w = y.size() + 1;
  std::vector<std::size_t> d((x.size() + 1) * w);
  for (std::size_t i = 0; i <= x.size(); ++i) d[i * w] = i;
  for (std::size_t j = 0; j <= y.size(); ++j) d[j] = j;
  for (std::size_t i = 1; i <= x.size(); ++i) {
    for (std::size_t j = 1; j <= y.size(); ++j) {
      std::size_t best = std::min({d[(i - 1) * w + j] + 1, d[i * w + j - 1] + 1,
                                   d[(i - 1) * w + j - 1] + (x[i - 1] != y[j - 1])});
      if (i > 1 && j > 1 && x[i - 1] == y[j - 2] && x[i - 2] == y[j - 1])
        best = std::min(best, d[(i - 2) * w + j - 2] + 1);
      d[i * w + j] = best;
    }
  }
  return d.back();
}

// A parameter name without the convention's "a" and kind letter, in lower case:
// "aiDigits" and "digits" both give "digits".
std::string BareName(std::string_view name) {
  if (name.size() > 2 && name[0] == 'a' &&
      std::string_view("sibfk").find(name[1]) != std::string_view::npos && name[2] >= 'A' &&
      name[2] <= 'Z')
    name.remove_prefix(2);
  return text::ToLowerAscii(name);
}

void CompareDeclaration(const NativeEntry& native, const PapyrusFunction& declared,
                        const std::string& full, std::vector<Finding>* findings) {
  auto add = [&](Difference what, std::string text) {
    findings->push_back({what, declared.line, full, std::move(text)});
  };
  if (declared.name != native.name)
    add(Difference::kNameCase, "declared as " + declared.name + "; the plugin registers " +
                                   native.name + " (Papyrus ignores the difference)");

  const std::string result = PapyrusType(native.result);
  if (!EqualsIgnoringAsciiCase(declared.resultType, result))
    add(Difference::kResultKind, "returns " + ResultText(declared.resultType) +
                                     "; the plugin's native returns " + ResultText(result));

  std::vector<std::string> types, expectedTypes, names, expectedNames;
  for (const PapyrusParameter& p : declared.params) {
    types.push_back(p.type);
    names.push_back(BareName(p.name));
  }
  bool sameKinds = declared.params.size() == native.paramCount;
  for (std::uint16_t i = 0; i < native.paramCount; ++i) {
    expectedTypes.push_back(PapyrusType(native.params[i]));
    expectedNames.push_back(BareName(native.paramNames[i]));
    if (i < declared.params.size())
      sameKinds = sameKinds && EqualsIgnoringAsciiCase(types[i], expectedTypes[i]);
  }
  if (!sameKinds) {
    add(Difference::kParameterKinds,
        "takes " + Listed(types) + "; the plugin's native takes " + Listed(expectedTypes));
  } else if (names != expectedNames &&
             std::is_permutation(names.begin(), names.end(), expectedNames.begin())) {
    std::vector<std::string> declaredNames, registeredNames;
    for (std::uint16_t i = 0; i < native.paramCount; ++i) {
      declaredNames.push_back(declared.params[i].name);
      registeredNames.push_back(native.paramNames[i]);
    }
    add(Difference::kParametersSwapped, "parameters named " + Listed(declaredNames) +
                                            "; the plugin's native takes " +
                                            Listed(registeredNames) + " (perhaps swapped)");
  }

  if (!declared.global) add(Difference::kNotGlobal, "not declared global");
  if (!declared.native) add(Difference::kNotNative, "not declared native");
}

void CheckReservedWords(const PapyrusScript& script, std::vector<Finding>* findings) {
  const std::string suffix = " is a reserved word of Papyrus; the compiler stops here";
  for (const PapyrusFunction& f : script.functions) {
    const std::string full = script.name.empty() ? f.name : script.name + "." + f.name;
    if (IsPapyrusReservedWord(f.name))
      findings->push_back({Difference::kReservedWord, f.line, full, "the name " + f.name + suffix});
    for (const PapyrusParameter& p : f.params)
      if (IsPapyrusReservedWord(p.name))
        findings->push_back(
            {Difference::kReservedWord, f.line, full, "the parameter name " + p.name + suffix});
  }
  static const char* const kWhat[] = {"event",    "event parameter", "property",
                                      "variable", "local variable",  "state"};
  for (const PapyrusName& n : script.names)
    if (IsPapyrusReservedWord(n.name))
      findings->push_back(
          {Difference::kReservedWord, n.line, script.name,
           std::string("the ") + kWhat[static_cast<int>(n.kind)] + " name " + n.name + suffix});
}

// What the compiler refuses in the shape of a declaration.
void CheckDeclarationShapes(const PapyrusScript& script, std::vector<Finding>* findings) {
  for (const PapyrusFunction& f : script.functions)
    if (f.global && !f.state.empty())
      findings->push_back({Difference::kGlobalInState, f.line,
                           script.name.empty() ? f.name : script.name + "." + f.name,
                           "a global function inside State " + f.state +
                               "; the compiler takes global functions only outside states"});
  for (const PapyrusName& n : script.unfinished)
    findings->push_back({Difference::kUnfinished, n.line,
                         script.name.empty() ? n.name : script.name + "." + n.name,
                         "the declaration runs past its line without \\ at the end; the "
                         "compiler stops here"});
}

void CheckFileName(const PapyrusScript& script, const std::string& fileName,
                   std::vector<Finding>* findings) {
  if (script.name.empty()) {
    findings->push_back({Difference::kNoScriptname, 0, "",
                         "no Scriptname line; the compiler takes no script without one"});
    return;
  }
  if (fileName.empty()) return;
  const std::string stem = fs::path(fileName).stem().string();
  if (EqualsIgnoringAsciiCase(stem, script.name)) return;
  findings->push_back({Difference::kFileName, script.nameLine, script.name,
                       "the file is named " + fs::path(fileName).filename().string() +
                           "; the compiler looks for Scriptname " + script.name + " in " +
                           script.name + ".psc"});
}

void CheckNatives(const PapyrusScript& script, const char* className, bool listNotDeclared,
                  std::vector<Finding>* findings) {
  if (script.name != className)
    findings->push_back({Difference::kNameCase, script.nameLine, className,
                         "Scriptname " + script.name + "; the plugin registers the class " +
                             className + " (Papyrus ignores the difference)"});

  std::vector<bool> registered(script.functions.size(), false);
  std::vector<const NativeEntry*> notDeclared;
  for (const NativeEntry& native : Natives()) {
    if (std::string_view(native.className) != className) continue;
    const std::string full = std::string(className) + "." + native.name;
    const PapyrusFunction* declared = nullptr;
    for (std::size_t i = 0; i < script.functions.size(); ++i) {
      const PapyrusFunction& f = script.functions[i];
      if (!EqualsIgnoringAsciiCase(f.name, native.name)) continue;
      registered[i] = true;
      if (declared)
        findings->push_back(
            {Difference::kTwice, f.line, full,
             "declared again (first at line " + std::to_string(declared->line) + ")"});
      else
        declared = &f;
    }
    if (declared)
      CompareDeclaration(native, *declared, full, findings);
    else
      notDeclared.push_back(&native);
  }
  for (std::size_t i = 0; i < script.functions.size(); ++i) {
    const PapyrusFunction& f = script.functions[i];
    if (!registered[i] && f.native)
      findings->push_back({Difference::kUnknownNative, f.line,
                           std::string(className) + "." + f.name,
                           "declared native; the plugin registers no native of that name" +
                               Suggestion(className, f.name)});
  }
  if (listNotDeclared) {
    for (const NativeEntry* native : notDeclared)
      findings->push_back({Difference::kNotDeclared, script.nameLine,
                           std::string(className) + "." + native->name,
                           "not declared; the plugin registers: " + DeclarationLine(*native)});
  } else if (!notDeclared.empty()) {
    findings->push_back({Difference::kNotDeclared, script.nameLine, className,
                         std::to_string(notDeclared.size()) +
                             " native(s) of the plugin not declared (a script needs to declare "
                             "only those it calls; --all lists them)"});
  }
}

// Every script source and compiled script below a folder, in name order.
bool ScriptsBelow(const fs::path& folder, std::vector<std::string>* files, std::string* error) {
  std::error_code ec;
  std::vector<std::string> found;
  for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeError;
    if (!it->is_regular_file(typeError)) continue;
    if (EqualsIgnoringAsciiCase(it->path().extension().string(), ".psc") ||
        IsCompiledScriptPath(it->path().string()))
      found.push_back(it->path().string());
  }
  if (ec) {
    *error = ec.message();
    return false;
  }
  std::sort(found.begin(), found.end());
  files->insert(files->end(), found.begin(), found.end());
  return true;
}

const char* SeverityName(Severity severity) {
  switch (severity) {
    case Severity::kError:
      return "error";
    case Severity::kWarning:
      return "warning";
    case Severity::kNote:
      return "note";
  }
  return "error";
}

}  // namespace

// " (did you mean Hex?)" when exactly one native of the class is close to the name,
// or " (it is a native of FWChildEnchant)" when another class registers it.
std::string Suggestion(std::string_view className, std::string_view name) {
  const NativeEntry* closest = nullptr;
  std::size_t best = 3, ties = 0;  // at most two letters off
  for (const NativeEntry& native : Natives()) {
    if (className != native.className) {
      if (EqualsIgnoringAsciiCase(name, native.name))
        return std::string(" (it is a native of ") + native.className + ")";
      continue;
    }
    const std::size_t distance = EditDistance(name, native.name);
    if (distance < best) {
      best = distance;
      closest = &native;
      ties = 1;
    } else if (distance == best) {
      ++ties;
    }
  }
  if (closest && ties == 1 && best * 3 <= name.size())
    return std::string(" (did you mean ") + closest->name + "?)";
  return std::string();
}

Severity SeverityOf(Difference what) {
  switch (what) {
    case Difference::kFileName:
    case Difference::kNoScriptname:
    case Difference::kNameCase:
    case Difference::kParametersSwapped:
      return Severity::kWarning;
    case Difference::kNotDeclared:
      return Severity::kNote;
    default:
      return Severity::kError;
  }
}

bool IsNativeClass(const std::string& scriptName) {
  return RegisteredClass(scriptName) != nullptr;
}

std::vector<Finding> CheckScript(const PapyrusScript& script, const CheckOptions& options) {
  std::vector<Finding> findings;
  CheckFileName(script, options.fileName, &findings);
  CheckReservedWords(script, &findings);
  CheckDeclarationShapes(script, &findings);
  if (const char* className = RegisteredClass(script.name))
    CheckNatives(script, className, options.listNotDeclared, &findings);
  std::stable_sort(findings.begin(), findings.end(),
                   [](const Finding& a, const Finding& b) { return a.line < b.line; });
  return findings;
}

int CheckScriptFiles(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CheckOptions options;
  std::vector<std::string> paths;
  for (const std::string& arg : args) {
    if (arg == "--all")
      options.listNotDeclared = true;
    else if (arg.rfind("--", 0) == 0) {
      err << "cradlewright-host: check-scripts: unknown option " << arg << "\n";
      return 2;
    } else
      paths.push_back(arg);
  }
  if (paths.empty()) {
    err << "cradlewright-host: check-scripts needs at least one FILE or FOLDER\n";
    return 2;
  }

  // Input that cannot be read is an error of its own, counted with the others.
  bool unreadable = false;
  std::size_t read = 0, compiledRead = 0, ofPlugin = 0, counts[3] = {0, 0, 0};
  auto cannotRead = [&](const std::string& path, const std::string& why) {
    out << path << ": error: " << why << "\n";
    unreadable = true;
    ++counts[0];
  };
  std::vector<std::string> files;
  for (const std::string& path : paths) {
    std::error_code ec;
    if (!fs::is_directory(path, ec)) {
      files.push_back(path);
      continue;
    }
    std::string error;
    const std::size_t before = files.size();
    if (!ScriptsBelow(path, &files, &error))
      cannotRead(path, "the folder cannot be read: " + error);
    else if (files.size() == before)
      cannotRead(path, "the folder holds no .psc or .pex file");
  }

  for (const std::string& path : files) {
    std::ifstream file(path, std::ios::binary);
    std::string source;
    if (file) source.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    if (!file || file.bad()) {
      std::error_code ec;
      cannotRead(path, fs::exists(path, ec) ? "the file cannot be read" : "no such file or folder");
      continue;
    }
    options.fileName = path;
    std::vector<Finding> findings;
    if (IsCompiledScriptPath(path)) {
      const PexReadResult compiled = ReadPex(source, path);
      if (!compiled.ok()) {
        cannotRead(path, compiled.error.substr(path.size() + 2));
        continue;
      }
      ++read;
      ++compiledRead;
      if (IsNativeClass(DeclarationsOf(compiled.file).name)) ++ofPlugin;
      findings = CheckCompiledScript(compiled.file, options);
    } else {
      if (const std::string why = WhyNotScriptText(source); !why.empty()) {
        cannotRead(path, why);
        continue;
      }
      ++read;
      const PapyrusScript script = ReadPapyrusScript(source);
      if (IsNativeClass(script.name)) ++ofPlugin;
      findings = CheckScript(script, options);
    }
    for (const Finding& f : findings) {
      const Severity severity = SeverityOf(f.what);
      out << path;
      if (f.line) out << ":" << f.line;
      out << ": " << SeverityName(severity) << ": ";
      if (!f.native.empty()) out << f.native << ": ";
      out << f.text << "\n";
      ++counts[static_cast<int>(severity)];
    }
  }
  out << read << " script(s) read";
  if (compiledRead) out << " (" << compiledRead << " compiled)";
  out << ", " << ofPlugin << " of them of the plugin's classes: " << counts[0] << " error(s), "
      << counts[1] << " warning(s), " << counts[2] << " note(s)\n";
  if (read > compiledRead && ofPlugin == 0)
    out << "note: none of the scripts is FWUtility, FWChildEnchant or FWTextContents: no "
           "declaration of a native was compared\n";
  if (unreadable) return 2;
  return counts[0] ? 1 : 0;
}

}  // namespace cw::papyrus
