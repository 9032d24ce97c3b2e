#include "papyrus/papyrus_source.h"

#include <algorithm>
#include <array>

#include "platform/ascii.h"

namespace cw::papyrus {
namespace {

// A statement of the source with comments removed and continued lines joined.
struct LogicalLine {
  std::size_t line = 0;
  std::string text;
};

class LineSplitter {
 public:
  explicit LineSplitter(std::string_view source) : s_(source) {}

  std::vector<LogicalLine> Split() {
    while (at_ < s_.size()) {
      const char c = s_[at_];
      if (c == '\r' || c == '\n') {
        SkipNewline();
        EndLine();
      } else if (c == '{') {
        SkipComment(1, "}");
      } else if (c == ';' && Next() == '/') {
        SkipComment(2, "/;");
      } else if (c == ';') {
        SkipToEndOfLine();
      } else if (c == '\\' && ContinuesLine()) {
        Put(' ');
        SkipToEndOfLine();
        if (at_ < s_.size()) SkipNewline();
      } else if (c == '"') {
        CopyString();
      } else {
        Put(c);
        ++at_;
      }
    }
    EndLine();
    return std::move(lines_);
  }

 private:
  char Next() const { return at_ + 1 < s_.size() ? s_[at_ + 1] : '\0'; }

  // A statement's line is that of its first byte that is not blank.
  void Put(char c) {
    if (!hasText_ && c != ' ' && c != '\t') {
      hasText_ = true;
      start_ = line_;
    }
    current_ += c;
  }

  void EndLine() {
    if (hasText_) lines_.push_back({start_, std::move(current_)});
    current_.clear();
    hasText_ = false;
  }

  // One line break: "\r\n", "\n" or a lone "\r".
  void SkipNewline() {
    if (s_[at_] == '\r' && Next() == '\n') ++at_;
    ++at_;
    ++line_;
  }

  void SkipToEndOfLine() {
    while (at_ < s_.size() && s_[at_] != '\r' && s_[at_] != '\n') ++at_;
  }

  // A comment that may span lines; it reads as one blank.
  void SkipComment(std::size_t opening, std::string_view end) {
    Put(' ');
    at_ += opening;
    while (at_ < s_.size() && s_.substr(at_, end.size()) != end) {
      if (s_[at_] == '\r' || s_[at_] == '\n')
        SkipNewline();
      else
        ++at_;
    }
    at_ = at_ < s_.size() ? at_ + end.size() : s_.size();
  }

  // A "\" with nothing but blanks or a line comment after it joins the next line.
  bool ContinuesLine() const {
    std::size_t i = at_ + 1;
    while (i < s_.size() && (s_[i] == ' ' || s_[i] == '\t')) ++i;
    if (i < s_.size() && s_[i] == ';') return i + 1 >= s_.size() || s_[i + 1] != '/';
    return i >= s_.size() || s_[i] == '\r' || s_[i] == '\n';
  }

  // A string literal: comment characters inside it are text. It ends at its closing
  // quote or, unterminated, at the end of the line.
  void CopyString() {
    Put(s_[at_++]);
    while (at_ < s_.size() && s_[at_] != '\r' && s_[at_] != '\n') {
      const char c = s_[at_++];
      Put(c);
      if (c == '"') return;
      if (c == '\\' && at_ < s_.size() && s_[at_] != '\r' && s_[at_] != '\n') Put(s_[at_++]);
    }
  }

  std::string_view s_;
  std::size_t at_ = 0;
  std::size_t line_ = 1;
  std::size_t start_ = 1;
  bool hasText_ = false;
  std::string current_;
  std::vector<LogicalLine> lines_;
};

bool IsIdentifierStart(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
bool IsIdentifierPart(char c) {
  return IsIdentifierStart(c) || (c >= '0' && c <= '9');
}

// Words (identifiers and numbers), string literals and single punctuation bytes.
std::vector<std::string_view> Tokens(std::string_view text) {
  std::vector<std::string_view> tokens;
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    std::size_t end = i + 1;
    if (c == ' ' || c == '\t') {
      ++i;
      continue;
    }
    if (IsIdentifierPart(c)) {
      while (end < text.size() && (IsIdentifierPart(text[end]) || text[end] == '.')) ++end;
    } else if (c == '"') {
      while (end < text.size() && text[end] != '"') end += text[end] == '\\' ? 2 : 1;
      end = end < text.size() ? end + 1 : text.size();
    }
    tokens.push_back(text.substr(i, end - i));
    i = end;
  }
  return tokens;
}

bool IsWord(std::string_view token, std::string_view word) {
  return EqualsIgnoringAsciiCase(token, word);
}

bool IsIdentifier(std::string_view token) {
  return !token.empty() && IsIdentifierStart(token[0]) && token.find('.') == std::string_view::npos;
}

class HeaderParser {
 public:
  explicit HeaderParser(std::vector<std::string_view> tokens) : t_(std::move(tokens)) {}

  // "[Type[[]]] Function Name(Type[[]] name [= value], ...) flag..."
  bool Parse(PapyrusFunction* f) {
    if (!IsWord(Peek(), "function")) {
      if (!Type(&f->resultType) || !IsWord(Peek(), "function")) return false;
    }
    ++at_;
    if (!IsIdentifier(Peek())) return false;
    f->name = std::string(t_[at_++]);
    if (Peek() != "(") return false;
    ++at_;
    if (Peek() == ")") {
      ++at_;
    } else {
      while (true) {
        PapyrusParameter p;
        if (!Type(&p.type) || !IsIdentifier(Peek())) return false;
        p.name = std::string(t_[at_++]);
        f->params.push_back(std::move(p));
        if (Peek() == "=") SkipDefault();
        if (Peek() == ")") break;
        if (Peek() != ",") return false;
        ++at_;
      }
      ++at_;
    }
    for (; at_ < t_.size(); ++at_) {
      if (IsWord(t_[at_], "global")) f->global = true;
      if (IsWord(t_[at_], "native")) f->native = true;
    }
    return true;
  }

 private:
  std::string_view Peek() const { return at_ < t_.size() ? t_[at_] : std::string_view(); }

  bool Type(std::string* type) {
    if (!IsIdentifier(Peek()) || IsWord(Peek(), "function")) return false;
    *type = std::string(t_[at_++]);
    if (Peek() == "[" && at_ + 1 < t_.size() && t_[at_ + 1] == "]") {
      *type += "[]";
      at_ += 2;
    }
    return true;
  }

  void SkipDefault() {
    while (at_ < t_.size() && t_[at_] != "," && t_[at_] != ")") ++at_;
  }

  std::vector<std::string_view> t_;
  std::size_t at_ = 0;
};

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

constexpr std::array<std::string_view, 35> kReservedWords = {
    "As",          "Auto",       "AutoReadOnly", "Bool",     "Else",     "ElseIf", "EndEvent",
    "EndFunction", "EndIf",      "EndProperty",  "EndState", "EndWhile", "Event",  "Extends",
    "False",       "Float",      "Function",     "Global",   "If",       "Import", "Int",
    "Is",          "Length",     "Native",       "New",      "None",     "Parent", "Property",
    "Return",      "ScriptName", "Self",         "State",    "String",   "True",   "While"};

}  // namespace

std::string WhyNotScriptText(std::string_view bytes) {
  using namespace std::string_view_literals;
  if (bytes.substr(0, 4) == "\xFF\xFE\0\0"sv || bytes.substr(0, 4) == "\0\0\xFE\xFF"sv)
    return "UTF-32 text; save it as UTF-8 or ANSI";
  if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF")
    return "UTF-16 text; save it as UTF-8 or ANSI";
  if (bytes.find('\0') != std::string_view::npos) return "not a text file (it holds NUL bytes)";
  return std::string();
}

bool IsPapyrusReservedWord(std::string_view word) {
  return std::any_of(kReservedWords.begin(), kReservedWords.end(),
                     [word](std::string_view w) { return EqualsIgnoringAsciiCase(w, word); });
}

PapyrusScript ReadPapyrusScript(std::string_view source) {
  PapyrusScript script;
  if (source.substr(0, kUtf8Mark.size()) == kUtf8Mark) source.remove_prefix(kUtf8Mark.size());
  for (const LogicalLine& line : LineSplitter(source).Split()) {
    std::vector<std::string_view> tokens = Tokens(line.text);
    if (tokens.size() >= 2 && IsWord(tokens[0], "scriptname") && IsIdentifier(tokens[1])) {
      if (script.name.empty()) {
        script.name = std::string(tokens[1]);
        script.nameLine = line.line;
      }
      continue;
    }
    PapyrusFunction function;
    function.line = line.line;
    if (HeaderParser(std::move(tokens)).Parse(&function))
      script.functions.push_back(std::move(function));
  }
  return script;
}

}  // namespace cw::papyrus
