// The Papyrus source reader: any bytes give a value whose names are identifiers and
// whose lines lie inside the source, a UTF-8 byte-order mark in front changes
// nothing, and writing what was read back as plain declarations reads back the same.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "papyrus/papyrus_source.h"

namespace cw::fuzz {
namespace {

bool IsIdentifier(std::string_view text) {
  if (text.empty() || (text[0] >= '0' && text[0] <= '9')) return false;
  for (char c : text)
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'))
      return false;
  return true;
}

bool IsType(std::string_view type) {
  if (type.size() > 2 && type.substr(type.size() - 2) == "[]") type.remove_suffix(2);
  return IsIdentifier(type);
}

std::string Written(const papyrus::PapyrusFunction& f) {
  std::string line = f.resultType + (f.resultType.empty() ? "" : " ") + "Function " + f.name + "(";
  for (std::size_t i = 0; i < f.params.size(); ++i)
    line += (i ? ", " : "") + f.params[i].type + " " + f.params[i].name;
  line += ")";
  if (f.global) line += " global";
  if (f.native) line += " native";
  return line + "\n";
}

bool Same(const papyrus::PapyrusFunction& a, const papyrus::PapyrusFunction& b) {
  if (a.resultType != b.resultType || a.name != b.name || a.global != b.global ||
      a.native != b.native || a.params.size() != b.params.size())
    return false;
  for (std::size_t i = 0; i < a.params.size(); ++i)
    if (a.params[i].type != b.params[i].type || a.params[i].name != b.params[i].name) return false;
  return true;
}

}  // namespace
}  // namespace cw::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace cw;
  const std::string_view source(reinterpret_cast<const char*>(data), size);
  const papyrus::PapyrusScript script = papyrus::ReadPapyrusScript(source);
  CW_FUZZ_CHECK(script.name.empty() || fuzz::IsIdentifier(script.name));
  // Each line ends in at most two bytes ("\r\n"), so there are at most size + 1 lines.
  CW_FUZZ_CHECK(script.nameLine <= size + 1);

  (void)papyrus::WhyNotScriptText(source);
  // One byte-order mark in front of a source that has none changes nothing.
  if (source.substr(0, 3) != "\xEF\xBB\xBF") {
    const papyrus::PapyrusScript marked =
        papyrus::ReadPapyrusScript("\xEF\xBB\xBF" + std::string(source));
    CW_FUZZ_CHECK(marked.name == script.name && marked.nameLine == script.nameLine &&
                  marked.functions.size() == script.functions.size());
    for (std::size_t i = 0; i < script.functions.size(); ++i)
      CW_FUZZ_CHECK(fuzz::Same(marked.functions[i], script.functions[i]) &&
                    marked.functions[i].line == script.functions[i].line);
  }

  std::string written;
  std::size_t previousLine = 0;
  for (const papyrus::PapyrusFunction& f : script.functions) {
    CW_FUZZ_CHECK(fuzz::IsIdentifier(f.name));
    CW_FUZZ_CHECK(f.resultType.empty() || fuzz::IsType(f.resultType));
    for (const papyrus::PapyrusParameter& p : f.params)
      CW_FUZZ_CHECK(fuzz::IsType(p.type) && fuzz::IsIdentifier(p.name));
    CW_FUZZ_CHECK(f.line > previousLine && f.line <= size + 1);
    previousLine = f.line;
    written += fuzz::Written(f);
  }
  const papyrus::PapyrusScript again = papyrus::ReadPapyrusScript(written);
  CW_FUZZ_CHECK(again.functions.size() == script.functions.size());
  for (std::size_t i = 0; i < script.functions.size(); ++i) {
    CW_FUZZ_CHECK(fuzz::Same(again.functions[i], script.functions[i]));
    CW_FUZZ_CHECK(again.functions[i].line == i + 1);
  }
  return 0;
}
