#include "host/call_arguments.h"

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/engine/functions.h"
#include "platform/ascii.h"

namespace cw::sim {
namespace tw = type_word;

namespace {

bool ParseInt(const std::string& text, std::uint32_t* bits) {
  std::string digits = text;
  bool negative = false;
  if (!digits.empty() && digits[0] == '-') {
    negative = true;
    digits.erase(0, 1);
  }
  int base = 10;
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
    base = 16;
    digits.erase(0, 2);
  }
  if (digits.empty()) return false;
  std::uint64_t value = 0;
  auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
  if (ec != std::errc() || end != digits.data() + digits.size()) return false;
  if (negative ? value > 0x80000000ull : value > 0xFFFFFFFFull) return false;
  *bits = static_cast<std::uint32_t>(negative ? (0 - value) : value);
  return true;
}

bool ParseFloat(const std::string& text, float* value) {
  if (text.empty()) return false;
  const char* begin = text.c_str();
  char* end = nullptr;
  errno = 0;
  const double d = std::strtod(begin, &end);
  if (end != begin + text.size()) return false;
  *value = static_cast<float>(d);
  return true;
}

bool ParseBool(const std::string& text, bool* value) {
  if (text == "true" || text == "1") return *value = true, true;
  if (text == "false" || text == "0") return *value = false, true;
  return false;
}

// A value's data word: an Int's 32 bits, a Float's 32 bits and a Bool's low byte.
Value IntValue(std::uint32_t bits) {
  return {tw::kInt, bits};
}
Value FloatValue(float f) {
  std::uint32_t bits;
  std::memcpy(&bits, &f, sizeof bits);
  return {tw::kFloat, bits};
}
Value BoolValue(bool b) {
  return {tw::kBool, b ? 1u : 0u};
}
float FloatOf(const Value& value) {
  const auto bits = static_cast<std::uint32_t>(value.data);
  float f;
  std::memcpy(&f, &bits, sizeof f);
  return f;
}

Value StringValue(const std::string& text) {
  Value value{tw::kString, 0};
  SetStringFromText(reinterpret_cast<EngineString*>(&value.data), text.c_str());
  return value;
}

std::optional<Value> Bad(std::string* error, const std::string& what) {
  *error = what;
  return std::nullopt;
}

}  // namespace

std::optional<std::vector<std::string>> SplitCallLine(const std::string& line, std::string* error) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < line.size()) {
    if (line[i] == ' ' || line[i] == '\t') {
      ++i;
      continue;
    }
    std::string word;
    if (line[i] != '"') {
      while (i < line.size() && line[i] != ' ' && line[i] != '\t') word += line[i++];
      words.push_back(word);
      continue;
    }
    ++i;
    bool closed = false;
    while (i < line.size()) {
      char c = line[i++];
      if (c == '"') {
        closed = true;
        break;
      }
      if (c != '\\') {
        word += c;
        continue;
      }
      if (i >= line.size()) break;
      c = line[i++];
      switch (c) {
        case '\\':
          word += '\\';
          break;
        case '"':
          word += '"';
          break;
        case 't':
          word += '\t';
          break;
        case 'r':
          word += '\r';
          break;
        case 'n':
          word += '\n';
          break;
        case 'x': {
          if (i + 2 > line.size() || !std::isxdigit(static_cast<unsigned char>(line[i])) ||
              !std::isxdigit(static_cast<unsigned char>(line[i + 1]))) {
            *error = "bad \\x escape in: " + line;
            return std::nullopt;
          }
          word += static_cast<char>(std::strtol(line.substr(i, 2).c_str(), nullptr, 16));
          i += 2;
          break;
        }
        default:
          *error = std::string("unknown escape \\") + c + " in: " + line;
          return std::nullopt;
      }
    }
    if (!closed) {
      *error = "unterminated quote in: " + line;
      return std::nullopt;
    }
    words.push_back(word);
  }
  return words;
}

bool IsScriptCall(const std::string& text) {
  const std::size_t open = text.find('(');
  const std::size_t blank = text.find_first_of(" \t");
  return open != std::string::npos && (blank == std::string::npos || open < blank ||
                                       text.find_first_not_of(" \t", blank) == open);
}

std::optional<std::vector<std::string>> SplitScriptCall(const std::string& text,
                                                        std::string* error) {
  auto bad = [&](const std::string& what) {
    *error = what + " in: " + text;
    return std::nullopt;
  };
  auto trim = [](const std::string& s) {
    const std::size_t first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return std::string();
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
  };
  const std::size_t open = text.find('(');
  const std::size_t close = text.find_last_of(')');
  if (open == std::string::npos || close == std::string::npos || close < open)
    return bad("expected CLASS.NATIVE(ARG, ...)");
  if (!trim(text.substr(close + 1)).empty()) return bad("text after the closing parenthesis");
  std::vector<std::string> words = {trim(text.substr(0, open))};
  const std::string inside = text.substr(open + 1, close - open - 1);
  if (trim(inside).empty()) return words;
  // Commas outside double quotes separate the arguments.
  std::size_t start = 0;
  bool quoted = false;
  for (std::size_t i = 0; i <= inside.size(); ++i) {
    if (i < inside.size()) {
      if (inside[i] == '\\' && quoted) {
        ++i;
        continue;
      }
      if (inside[i] == '"') quoted = !quoted;
      if (quoted || inside[i] != ',') continue;
    } else if (quoted) {
      return bad("unterminated quote");
    }
    const std::string argument = trim(inside.substr(start, i - start));
    start = i + 1;
    if (argument.empty()) return bad("an empty argument");
    if (argument[0] != '"') {
      std::string word = argument;
      for (const char* literal : {"none", "true", "false"})
        if (EqualsIgnoringAsciiCase(argument, literal)) word = literal;
      words.push_back(word);
      continue;
    }
    std::string splitError;
    auto literal = SplitCallLine(argument, &splitError);
    if (!literal || literal->size() != 1 || argument.back() != '"')
      return bad(literal ? "a quoted argument followed by more text" : splitError);
    words.push_back("string:" + (*literal)[0]);
  }
  return words;
}

std::string KindOfTypeWord(Machine& machine, std::uint64_t type) {
  switch (type) {
    case tw::kNone:
      return "None";
    case tw::kString:
      return "String";
    case tw::kInt:
      return "Int";
    case tw::kFloat:
      return "Float";
    case tw::kBool:
      return "Bool";
    default:
      break;
  }
  if (type == reinterpret_cast<std::uint64_t>(machine.ClassForFormType(kQuestFormType)))
    return "Quest";
  if (type == reinterpret_cast<std::uint64_t>(machine.ClassForFormType(0))) return "Form";
  return "Unknown";
}

bool ParseFormID(const std::string& text, std::uint32_t* id) {
  std::string digits = text;
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X'))
    digits.erase(0, 2);
  auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), *id, 16);
  return !digits.empty() && ec == std::errc() && end == digits.data() + digits.size();
}

namespace {

// A String, Int, Float or Bool value read from its text; nullopt when the text
// is not one of the kind (or the kind is another).
std::optional<Value> PlainValue(const std::string& kind, const std::string& text) {
  std::uint32_t bits = 0;
  float f = 0;
  bool b = false;
  if (kind == "String") return StringValue(text);
  if (kind == "Int" && ParseInt(text, &bits)) return IntValue(bits);
  if (kind == "Float" && ParseFloat(text, &f)) return FloatValue(f);
  if (kind == "Bool" && ParseBool(text, &b)) return BoolValue(b);
  return std::nullopt;
}

}  // namespace

std::optional<Value> ArgumentValue(Machine& machine, const std::string& text,
                                   std::uint64_t parameterType, std::string* error,
                                   std::string* warning) {
  if (text == "none") return Value{tw::kNone, 0};
  static const std::pair<const char*, const char*> kLiterals[] = {
      {"string", "String"}, {"int", "Int"}, {"float", "Float"}, {"bool", "Bool"}};
  const std::size_t colon = text.find(':');
  for (const auto& [prefix, kind] : kLiterals) {
    if (colon == std::string::npos || text.compare(0, colon, prefix) != 0) continue;
    if (auto value = PlainValue(kind, text.substr(colon + 1))) return value;
    return Bad(error, "bad " + std::string(prefix) + " literal: " + text);
  }
  const std::string kind = KindOfTypeWord(machine, parameterType);
  if (kind == "Form" || kind == "Quest") {
    std::uint32_t id = 0;
    if (!ParseFormID(text, &id)) return Bad(error, "not a form ID (hexadecimal) or none: " + text);
    if (LookupForm(id) == nullptr) {
      if (warning) *warning = "no --form or --quest loads form " + text + ": the native gets None";
      return Value{tw::kNone, 0};
    }
    return machine.FormValue(id, kind == "Quest" ? kQuestFormType : 0);
  }
  if (auto value = PlainValue(kind, text)) return value;
  if (kind == "Bool") return Bad(error, "not a Bool (true/false/1/0): " + text);
  if (kind == "Int" || kind == "Float")
    return Bad(error, (kind == "Int" ? "not an Int: " : "not a Float: ") + text);
  return Bad(error, "parameter of unknown kind");
}

std::string FormatResult(Machine& machine, const Value& value, std::uint64_t resultType) {
  const std::string declared = KindOfTypeWord(machine, resultType);
  switch (tw::IsObject(value.type) ? tw::kObject : value.type) {
    case tw::kNone:
      return "None";
    case tw::kString: {
      const char* text = reinterpret_cast<const char*>(value.data);
      return text ? text : "";
    }
    case tw::kInt:
      return std::to_string(static_cast<std::int32_t>(value.data));
    case tw::kFloat: {
      char buffer[64];
      auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, FloatOf(value));
      return ec == std::errc() ? std::string(buffer, end) : "?";
    }
    case tw::kBool:
      return (value.data & 0xFF) ? "true" : "false";
    case tw::kObject: {
      std::uint32_t id = 0;
      if (!machine.FormIDOf(value, &id)) return "None";
      char buffer[16];
      std::snprintf(buffer, sizeof buffer, "0x%08X", id);
      return buffer;
    }
    default:
      break;
  }
  return "<" + declared + " value of unexpected kind>";
}

}  // namespace cw::sim
