#include "platform/profile_text.h"

#include <optional>

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

// The lines of a text one at a time, with no record kept of those already passed.
// The next CR and the next LF are each looked for with one search that is kept
// until the scan passes it, so every byte is searched at most twice whatever the
// line ends.
class LineScanner {
 public:
  explicit LineScanner(std::string_view content)
      : content_(content),
        pos_(ContentStart(content)),
        cr_(content.find('\r', pos_)),
        lf_(content.find('\n', pos_)) {}

  // The next line's first byte, its end before the line break and the first
  // byte after the break; false at the end of the text.
  bool Next(std::size_t& begin, std::size_t& end, std::size_t& next) {
    if (pos_ >= content_.size()) return false;
    if (cr_ != std::string_view::npos && cr_ < pos_) cr_ = content_.find('\r', pos_);
    if (lf_ != std::string_view::npos && lf_ < pos_) lf_ = content_.find('\n', pos_);
    begin = pos_;
    end = cr_ < lf_ ? cr_ : lf_;
    if (end == std::string_view::npos) {
      end = next = content_.size();
    } else {
      next = end + 1;
      if (content_[end] == '\r' && next < content_.size() && content_[next] == '\n') ++next;
    }
    pos_ = next;
    return true;
  }

  // The first byte of the next line.
  std::size_t Position() const { return pos_; }
  // Goes on from the line that starts at pos, a line start after Position(). The
  // line breaks found so far stay valid: none lies between the two.
  void JumpTo(std::size_t pos) { pos_ = pos; }

 private:
  std::string_view content_;
  std::size_t pos_;
  std::size_t cr_;  // the next CR at or after pos_, or beyond if stale
  std::size_t lf_;
};

// The first byte of the first line at or after the line start `from` whose first
// non-blank byte is "[", or npos. Only the "[" bytes of the text are looked at,
// so the lines of other sections are passed at the speed of a byte search.
std::size_t NextBracketLine(std::string_view content, std::size_t from) {
  const std::size_t start = ContentStart(content);
  for (std::size_t p = content.find('[', from); p != std::string_view::npos;
       p = content.find('[', p + 1)) {
    std::size_t line = p;
    while (line > start && IsBlank(content[line - 1])) --line;
    if (line == start || content[line - 1] == '\r' || content[line - 1] == '\n') return line;
  }
  return std::string_view::npos;
}

// Where key stands in the first section named `section`, found in one pass that
// stops at the key or at the end of that section. Lines of other sections are
// only looked at for a header.
struct Place {
  bool sectionFound = false;
  std::optional<Line> header;        // none for the lines before any section
  std::optional<Line> key;           // the first key line of that name
  std::optional<Line> lastNonBlank;  // of the section, before the key or its end
};

Place Locate(std::string_view content, std::string_view section, std::string_view key) {
  Place place;
  const std::string_view wantedSection = Trim(section);
  const std::string_view wantedKey = Trim(key);
  // The lines before the first header form the section with the empty name.
  bool inSection = wantedSection.empty();
  place.sectionFound = inSection;
  LineScanner lines(content);
  std::size_t begin, end, next;
  for (;;) {
    if (!inSection) {
      const std::size_t header = NextBracketLine(content, lines.Position());
      if (header == std::string_view::npos) break;
      lines.JumpTo(header);
    }
    if (!lines.Next(begin, end, next)) break;
    const Line line = ClassifyLine(content, begin, end, next);
    if (line.kind == LineKind::kSection) {
      if (inSection) break;
      if (EqualsIgnoringAsciiCase(line.name, wantedSection)) {
        inSection = place.sectionFound = true;
        place.header = line;
      }
      continue;
    }
    if (!inSection) continue;
    if (line.kind == LineKind::kKey && EqualsIgnoringAsciiCase(line.name, wantedKey)) {
      place.key = line;
      break;
    }
    if (!line.blank) place.lastNonBlank = line;
  }
  return place;
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
  const Place place = Locate(content, section, key);
  if (!place.key) return std::nullopt;
  return std::string(Unquote(place.key->value));
}

std::string WriteProfileValue(std::string content, std::string_view section, std::string_view key,
                              std::string_view value) {
  const Place place = Locate(content, section, key);
  const std::string eol(LineBreakOf(content));

  if (place.key) {
    std::string text(place.key->name);
    text += '=';
    text += value;
    content.replace(place.key->begin, place.key->end - place.key->begin, text);
    return content;
  }
  if (place.sectionFound) {
    std::string text(Trim(key));
    text += '=';
    text += value;
    // After the last non-blank line of the section (its header counts).
    const std::optional<Line>& after = place.lastNonBlank ? place.lastNonBlank : place.header;
    if (!after) {
      content.insert(ContentStart(content), text + eol);
    } else if (after->next == after->end) {
      content.insert(after->end, eol + text + eol);
    } else {
      content.insert(after->next, text + eol);
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
