#include "host/script_check.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "host/script_declarations.h"
#include "platform/ascii.h"
#include "plugin/registration.h"

namespace cw::sim {
namespace {

const char* RegisteredClass(const std::string& scriptName) {
  for (const char* className : kNativeClasses)
    if (EqualsIgnoringAsciiCase(scriptName, className)) return className;
  return nullptr;
}

std::string Listed(const std::vector<std::string>& words) {
  std::string text = "(";
  for (std::size_t i = 0; i < words.size(); ++i) text += (i ? ", " : "") + words[i];
  return text + ")";
}

std::string ResultText(const std::string& type) {
  return type.empty() ? "nothing" : type;
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

  std::vector<std::string> types, names, expectedTypes, expectedNames;
  for (const PapyrusParameter& p : declared.params) {
    types.push_back(p.type);
    names.push_back(p.name);
  }
  bool sameKinds = declared.params.size() == native.paramCount;
  bool sameNames = sameKinds;
  for (std::uint16_t i = 0; i < native.paramCount; ++i) {
    expectedTypes.push_back(PapyrusType(native.params[i]));
    expectedNames.push_back(native.paramNames[i]);
    if (i < declared.params.size()) {
      sameKinds = sameKinds && EqualsIgnoringAsciiCase(types[i], expectedTypes[i]);
      sameNames = sameNames && EqualsIgnoringAsciiCase(names[i], expectedNames[i]);
    }
  }
  if (!sameKinds)
    add(Difference::kParameterKinds,
        "takes " + Listed(types) + "; the plugin's native takes " + Listed(expectedTypes));
  else if (!sameNames)
    add(Difference::kParameterNames,
        "parameters named " + Listed(names) + "; the plugin names them " + Listed(expectedNames));

  if (!declared.global) add(Difference::kNotGlobal, "not declared global");
  if (!declared.native) add(Difference::kNotNative, "not declared native");
}

}  // namespace

bool IsNativeClass(const std::string& scriptName) {
  return RegisteredClass(scriptName) != nullptr;
}

std::vector<Finding> CheckScript(const PapyrusScript& script) {
  std::vector<Finding> findings;
  const char* className = RegisteredClass(script.name);
  if (!className) return findings;
  if (script.name != className)
    findings.push_back({Difference::kNameCase, script.nameLine, className,
                        "Scriptname " + script.name + "; the plugin registers the class " +
                            className + " (Papyrus ignores the difference)"});

  std::vector<bool> registered(script.functions.size(), false);
  for (const NativeEntry& native : Natives()) {
    if (std::string_view(native.className) != className) continue;
    const std::string full = std::string(className) + "." + native.name;
    const PapyrusFunction* declared = nullptr;
    for (std::size_t i = 0; i < script.functions.size(); ++i) {
      const PapyrusFunction& f = script.functions[i];
      if (!EqualsIgnoringAsciiCase(f.name, native.name)) continue;
      registered[i] = true;
      if (declared)
        findings.push_back(
            {Difference::kTwice, f.line, full,
             "declared again (first at line " + std::to_string(declared->line) + ")"});
      else
        declared = &f;
    }
    if (declared)
      CompareDeclaration(native, *declared, full, &findings);
    else
      findings.push_back({Difference::kMissing, 0, full,
                          "not declared; the plugin registers: " + DeclarationLine(native)});
  }
  for (std::size_t i = 0; i < script.functions.size(); ++i) {
    const PapyrusFunction& f = script.functions[i];
    if (!registered[i] && f.native)
      findings.push_back({Difference::kExtra, f.line, std::string(className) + "." + f.name,
                          "declared native; the plugin registers no native of that name"});
  }
  return findings;
}

int CheckScriptFiles(const std::vector<std::string>& files, std::ostream& out, std::ostream& err) {
  if (files.empty()) {
    err << "cradlewright-host: check-scripts needs at least one FILE\n";
    return 2;
  }
  std::size_t checked = 0, differences = 0, warnings = 0;
  for (const std::string& path : files) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
      err << "cradlewright-host: cannot read " << path << "\n";
      return 2;
    }
    const std::string source((std::istreambuf_iterator<char>(file)),
                             std::istreambuf_iterator<char>());
    const PapyrusScript script = ReadPapyrusScript(source);
    if (!IsNativeClass(script.name)) {
      out << path << ": " << (script.name.empty() ? "no Scriptname" : "Scriptname " + script.name)
          << ", not a class with natives of the plugin: skipped\n";
      continue;
    }
    ++checked;
    for (const Finding& f : CheckScript(script)) {
      out << path;
      if (f.line) out << ":" << f.line;
      out << ": " << (f.IsWarning() ? "warning" : "error") << ": " << f.native << ": " << f.text
          << "\n";
      ++(f.IsWarning() ? warnings : differences);
    }
  }
  out << checked << " script(s) checked: " << differences << " difference(s), " << warnings
      << " warning(s)\n";
  if (checked == 0) {
    err << "cradlewright-host: none of the files is a script of FWUtility, FWChildEnchant or "
           "FWTextContents\n";
    return 1;
  }
  return differences ? 1 : 0;
}

}  // namespace cw::sim
