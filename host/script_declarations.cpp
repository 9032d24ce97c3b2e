#include "host/script_declarations.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "plugin/version.h"

namespace cw::sim {

std::string PapyrusType(Kind kind) {
  return kind == Kind::kNone ? std::string() : std::string(KindName(kind));
}

std::string DeclarationLine(const NativeEntry& native) {
  std::string line = PapyrusType(native.result);
  if (!line.empty()) line += ' ';
  line += "Function ";
  line += native.name;
  line += '(';
  for (std::uint16_t i = 0; i < native.paramCount; ++i) {
    if (i) line += ", ";
    line += PapyrusType(native.params[i]) + ' ' + native.paramNames[i];
  }
  return line + ") global native";
}

std::string DeclarationSource(std::string_view className) {
  std::string source = "Scriptname " + std::string(className) + " Hidden\n";
  source += "; Natives of the Cradlewright plugin " CW_VERSION_TEXT
            ", in the order it registers them.\n"
            "; Written by: cradlewright-host declarations FOLDER\n\n";
  for (const NativeEntry& native : Natives())
    if (className == native.className) source += DeclarationLine(native) + '\n';
  return source;
}

bool WriteDeclarations(const std::string& folder, std::string* error) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  for (const char* className : kNativeClasses) {
    const std::filesystem::path path =
        std::filesystem::path(folder) / (std::string(className) + ".psc");
    const std::string source = DeclarationSource(className);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(source.data(), static_cast<std::streamsize>(source.size()));
    file.close();
    if (!file) {
      *error = "cannot write " + path.string();
      return false;
    }
  }
  return true;
}

}  // namespace cw::sim
