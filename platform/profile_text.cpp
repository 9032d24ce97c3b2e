#include "platform/profile_text.h"

#include <vector>

#include "platform/ascii.h"

namespace cw::platform {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

std::string_view TrimLeading(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  return text.substr(i);
}

std::string_view Trim(std::string_view text) {
  return TrimTrailingBlanks(TrimLeading(text));
}

enum class LineKind { kOther, kSection, kKey };

struct Line {
  std::size_t begin = 0;  // first byte of the line's text
  std::size_t end = 0;    // one past its last byte, before the line break
  std::size_t next = 0;   // first byte of the following line
  LineKind kind = LineKind::kOther;
  std::string_view name;   // section or key name
  std::string_view value;  // key value, trimmed, quotes still on
  bool blank = true;
};

Line ClassifyLine(std::string_view content, std::size_t begin, std::size_t end, std::size_t next) {
  Line line;
  line.begin = begin;
  line.end = end;
  line.next = next;
  const std::string_view text = content.substr(begin, end - begin);
  const std::string_view lead = TrimLeading(text);
  line.blank = lead.empty();
  if (!lead.empty() && lead.front() == '[') {
    const std::size_t close = lead.rfind(']');
    if (close != std::string_view::npos && close > 0) {
      line.kind = LineKind::kSection;
      line.name = Trim(lead.substr(1, close - 1));
      return line;
    }
  }
  const std::size_t equals = text.find('=');
  if (equals != std::string_view::npos) {
    line.kind = LineKind::kKey;
    line.name = Trim(text.substr(0, equals));
    line.value = Trim(text.substr(equals + 1));
  }
  return line;
}

std::size_t ContentStart(std::string_view content) {
  return content.substr(0, kByteOrderMark.size()) == kByteOrderMark ? kByteOrderMark.size() : 0;
}

std::vector<Line> SplitLines(std::string_view content) {
  std::vector<Line> lines;
  std::size_t pos = ContentStart(content);
  while (pos < content.size()) {
    std::size_t end = content.find_first_of("\r\n", pos);
    std::size_t next;
    if (end == std::string_view::npos) {
      end = content.size();
      next = end;
    } else {
      next = end + 1;
      if (content[end] == '\r' && next < content.size() && content[next] == '\n') ++next;
    }
    lines.push_back(ClassifyLine(content, pos, end, next));
    pos = next;
  }
  return lines;
}

// Lines of the first section named `section`: [first, last) indexes into lines,
// and the index of its header (none for the lines before any section).
struct SectionSpan {
  bool found = false;
  bool hasHeader = false;
  std::size_t header = 0;
  std::size_t first = 0;
  std::size_t last = 0;
};

SectionSpan FindSection(const std::vector<Line>& lines, std::string_view section) {
  SectionSpan span;
  const std::string_view wanted = Trim(section);
  std::size_t first = lines.size();
  if (wanted.empty()) {
    span.found = true;
    first = 0;
  } else {
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (lines[i].kind == LineKind::kSection && EqualsIgnoringAsciiCase(lines[i].name, wanted)) {
        span.found = true;
        span.hasHeader = true;
        span.header = i;
        first = i + 1;
        break;
      }
    }
    if (!span.found) return span;
  }
  std::size_t last = first;
  while (last < lines.size() && lines[last].kind != LineKind::kSection) ++last;
  span.first = first;
  span.last = last;
  return span;
}

const Line* FindKey(const std::vector<Line>& lines, const SectionSpan& span, std::string_view key) {
  const std::string_view wanted = Trim(key);
  for (std::size_t i = span.first; i < span.last; ++i)
    if (lines[i].kind == LineKind::kKey && EqualsIgnoringAsciiCase(lines[i].name, wanted))
      return &lines[i];
  return nullptr;
}

std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

std::string_view LineBreakOf(std::string_view content) {
  const std::size_t at = content.find_first_of("\r\n");
  if (at == std::string_view::npos) return "\r\n";
  if (content[at] == '\n') return "\n";
  if (at + 1 < content.size() && content[at + 1] == '\n') return "\r\n";
  return "\r";
}

}  // namespace

std::string_view TrimTrailingBlanks(std::string_view value) {
  std::size_t n = value.size();
  while (n > 0 && IsBlank(value[n - 1])) --n;
  return value.substr(0, n);
}

std::optional<std::string> ReadProfileValue(std::string_view content, std::string_view section,
                                            std::string_view key) {
  const std::vector<Line> lines = SplitLines(content);
  const SectionSpan span = FindSection(lines, section);
  if (!span.found) return std::nullopt;
  const Line* line = FindKey(lines, span, key);
  if (line == nullptr) return std::nullopt;
  return std::string(Unquote(line->value));
}

std::string WriteProfileValue(std::string content, std::string_view section, std::string_view key,
                              std::string_view value) {
  const std::vector<Line> lines = SplitLines(content);
  const std::string eol(LineBreakOf(content));
  const SectionSpan span = FindSection(lines, section);

  if (span.found) {
    if (const Line* line = FindKey(lines, span, key)) {
      std::string text(line->name);
      text += '=';
      text += value;
      content.replace(line->begin, line->end - line->begin, text);
      return content;
    }
    std::string text(Trim(key));
    text += '=';
    text += value;
    // After the last non-blank line of the section (its header counts).
    std::size_t after = lines.size();
    for (std::size_t i = span.last; i > span.first; --i) {
      if (!lines[i - 1].blank) {
        after = i - 1;
        break;
      }
    }
    if (after == lines.size() && span.hasHeader) after = span.header;
    if (after == lines.size()) {
      content.insert(ContentStart(content), text + eol);
    } else if (lines[after].next == lines[after].end) {
      content.insert(lines[after].end, eol + text + eol);
    } else {
      content.insert(lines[after].next, text + eol);
    }
    return content;
  }

  if (!content.empty() && content.back() != '\n' && content.back() != '\r') content += eol;
  content += '[';
  content += Trim(section);
  content += ']';
  content += eol;
  content += Trim(key);
  content += '=';
  content += value;
  content += eol;
  return content;
}

bool IsStorableProfileEntry(std::string_view section, std::string_view key,
                            std::string_view value) {
  constexpr std::string_view kLineEnds("\r\n\0", 3);
  if (section.find_first_of(kLineEnds) != std::string_view::npos) return false;
  if (key.find_first_of(kLineEnds) != std::string_view::npos) return false;
  if (value.find_first_of(kLineEnds) != std::string_view::npos) return false;
  if (key.find('=') != std::string_view::npos) return false;
  const std::string_view lead = TrimLeading(key);
  // A key line written first in a file would lose a leading byte order mark to
  // the reader, which skips one there.
  if (lead.substr(0, kByteOrderMark.size()) == kByteOrderMark) return false;
  return lead.empty() || lead.front() != '[';
}

std::int32_t ParseProfileInt(std::string_view text) {
  text = text.substr(0, kProfileIntTextLimit);
  std::size_t i = 0;
  while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  std::uint32_t base = 10;
  if (i + 1 < text.size() && text[i] == '0') {
    const char mark = text[i + 1];
    if (mark == 'b' || mark == 'o' || mark == 'x') {
      base = mark == 'b' ? 2 : mark == 'o' ? 8 : 16;
      i += 2;
    }
  }
  std::uint32_t total = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    std::uint32_t digit;
    if (c >= '0' && c <= '9')
      digit = static_cast<std::uint32_t>(c - '0');
    else if (c >= 'a' && c <= 'f')
      digit = static_cast<std::uint32_t>(c - 'a' + 10);
    else if (c >= 'A' && c <= 'F')
      digit = static_cast<std::uint32_t>(c - 'A' + 10);
    else
      break;
    if (digit >= base) break;
    total = total * base + digit;
  }
  if (negative) total = 0u - total;
  return static_cast<std::int32_t>(total);
}

}  // namespace cw::platform
