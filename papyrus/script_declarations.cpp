#include "papyrus/script_declarations.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/ascii.h"
#include "plugin/version.h"

namespace cw::papyrus {
namespace {

constexpr std::size_t kCommentWidth = 92;

bool WriteFile(const std::filesystem::path& path, const std::string& text, std::string* error) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(text.data(), static_cast<std::streamsize>(text.size()));
  file.close();
  if (file) return true;
  *error = "cannot write " + path.string();
  return false;
}

// A description as one Markdown paragraph: words holding characters that Markdown
// reads as markup (paths, placeholders, patterns) become code spans, without the
// punctuation around them.
std::string MarkdownParagraph(std::string_view text) {
  std::string out;
  for (const std::string& word : Wrapped(text, 0)) {
    if (!out.empty()) out += ' ';
    if (word.find_first_of("/\\<>*$#") == std::string::npos) {
      out += word;
      continue;
    }
    const std::size_t first = word.find_first_not_of("(");
    std::size_t last = word.find_last_not_of(".,;:)");
    if (last == std::string::npos || last < first) last = word.size() - 1;
    out += word.substr(0, first) + "`" + word.substr(first, last + 1 - first) + "`" +
           word.substr(last + 1);
  }
  return out;
}

}  // namespace

const char* RegisteredClass(std::string_view name) {
  for (const char* className : kNativeClasses)
    if (EqualsIgnoringAsciiCase(name, className)) return className;
  return nullptr;
}

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

std::vector<std::string> Wrapped(std::string_view text, std::size_t width) {
  std::vector<std::string> lines;
  std::string line;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t blank = text.find(' ', at);
    const std::size_t end = blank == std::string_view::npos ? text.size() : blank;
    const std::string_view word = text.substr(at, end - at);
    at = end + 1;
    if (word.empty()) continue;
    if (!line.empty() && line.size() + 1 + word.size() > width) {
      lines.push_back(std::move(line));
      line.clear();
    }
    if (!line.empty()) line += ' ';
    line += word;
  }
  if (!line.empty()) lines.push_back(std::move(line));
  return lines;
}

std::string DeclarationSource(std::string_view className) {
  std::string source = "Scriptname " + std::string(className) + " Hidden\n";
  source += "; Natives of the Cradlewright plugin " CW_VERSION_TEXT
            ", in the order it registers them.\n"
            "; Written by: cradlewright-host declarations FOLDER\n";
  for (const NativeEntry& native : Natives()) {
    if (className != native.className) continue;
    source += '\n' + DeclarationLine(native) + '\n';
    const std::vector<std::string> lines = Wrapped(native.description, kCommentWidth);
    for (std::size_t i = 0; i < lines.size(); ++i)
      source += (i ? " " : "{") + lines[i] + (i + 1 == lines.size() ? "}\n" : "\n");
  }
  return source;
}

std::string ReferencePage() {
  std::string page =
      "# Natives of the Cradlewright plugin\n\n"
      "The natives that the plugin " CW_VERSION_TEXT
      " registers, by script class in registration order. Every native is `global`; "
      "paths are relative to the game folder (the one holding `Data`). The same texts are "
      "the documentation comments of the script declarations that "
      "`cradlewright-host declarations FOLDER` writes; this page is written by "
      "`cradlewright-host reference docs/natives.md`.\n";
  // The counts that the log's start-up line gives after a good start.
  std::string counts;
  for (const char* className : kNativeClasses) {
    int count = 0;
    for (const NativeEntry& native : Natives())
      count += std::string_view(className) == native.className;
    counts +=
        std::string(counts.empty() ? "" : ", ") + "`" + className + "` " + std::to_string(count);
  }
  page += "\n" + std::to_string(Natives().size()) + " natives: " + counts + ".\n";
  for (const char* className : kNativeClasses) {
    page += "\n## " + std::string(className) + "\n";
    for (const NativeEntry& native : Natives()) {
      if (std::string_view(className) != native.className) continue;
      page += "\n### " + std::string(native.name) + "\n\n";
      page += "`" + DeclarationLine(native) + "`\n\n";
      page += MarkdownParagraph(native.description) + '\n';
    }
  }
  return page;
}

bool WriteDeclarations(const std::string& folder, std::string* error) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  for (const char* className : kNativeClasses) {
    const std::filesystem::path path =
        std::filesystem::path(folder) / (std::string(className) + ".psc");
    if (!WriteFile(path, DeclarationSource(className), error)) return false;
  }
  return true;
}

bool WriteReference(const std::string& path, std::string* error) {
  return WriteFile(path, ReferencePage(), error);
}

}  // namespace cw::papyrus
