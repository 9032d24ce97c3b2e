#include "papyrus/vm/value.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "natives/utility/text.h"
#include "papyrus/vm/program.h"
#include "platform/ascii.h"

namespace cw::papyrus::vm {

Value Value::Object(Instance* v) {
  Value x;
  if (v) {
    x.kind = Kind::Object;
    x.o = v;
  }
  return x;
}

Value Value::ArrayOf(Array* v) {
  Value x;
  if (v) {
    x.kind = Kind::Array;
    x.a = v;
  }
  return x;
}

Type Type::Parse(std::string_view name) {
  Type t;
  if (name.size() > 2 && name.substr(name.size() - 2) == "[]") {
    t.array = true;
    name.remove_suffix(2);
  }
  const std::string lower = text::ToLowerAscii(name);
  if (lower == "int") {
    t.kind = Kind::Int;
  } else if (lower == "float") {
    t.kind = Kind::Float;
  } else if (lower == "bool") {
    t.kind = Kind::Bool;
  } else if (lower == "string") {
    t.kind = Kind::String;
  } else if (lower.empty() || lower == "none") {
    t.kind = Kind::None;
  } else {
    t.kind = Kind::Object;
    t.className = std::move(lower);
  }
  return t;
}

std::string Type::Text() const {
  std::string text;
  switch (kind) {
    case Kind::Int:
      text = "Int";
      break;
    case Kind::Float:
      text = "Float";
      break;
    case Kind::Bool:
      text = "Bool";
      break;
    case Kind::String:
      text = "String";
      break;
    case Kind::Object:
      text = className;
      break;
    default:
      text = "None";
  }
  return array ? text + "[]" : text;
}

Value DefaultOf(const Type& type, const std::string* emptyText) {
  if (type.array) return Value();
  switch (type.kind) {
    case Kind::Int:
      return Value::Int(0);
    case Kind::Float:
      return Value::Float(0);
    case Kind::Bool:
      return Value::Bool(false);
    case Kind::String:
      return Value::String(emptyText);
    default:
      return Value();
  }
}

std::int32_t TruncateFloat(float f) {
  if (!(f > -2147483649.0f && f < 2147483648.0f)) return INT32_MIN;
  return static_cast<std::int32_t>(f);
}

bool ToBool(const Value& v) {
  switch (v.kind) {
    case Kind::Int:
      return v.i != 0;
    case Kind::Float:
      return v.f != 0;
    case Kind::Bool:
      return v.b;
    case Kind::String:
      return !v.s->empty();
    case Kind::Object:
    case Kind::Array:
      return true;
    default:
      return false;
  }
}

std::int32_t ToInt(const Value& v) {
  switch (v.kind) {
    case Kind::Int:
      return v.i;
    case Kind::Float:
      return TruncateFloat(v.f);
    case Kind::Bool:
      return v.b ? 1 : 0;
    case Kind::String: {
      // A leading decimal number; 0 when there is none.
      const long long n = std::strtoll(v.s->c_str(), nullptr, 10);
      return static_cast<std::int32_t>(static_cast<std::uint32_t>(n));
    }
    default:
      return 0;
  }
}

float ToFloat(const Value& v) {
  switch (v.kind) {
    case Kind::Int:
      return static_cast<float>(v.i);
    case Kind::Float:
      return v.f;
    case Kind::Bool:
      return v.b ? 1.0f : 0.0f;
    case Kind::String:
      return std::strtof(v.s->c_str(), nullptr);
    default:
      return 0;
  }
}

std::string ToText(const Value& v) {
  char buffer[64];
  switch (v.kind) {
    case Kind::Int:
      return std::to_string(v.i);
    case Kind::Float:
      std::snprintf(buffer, sizeof buffer, "%f", static_cast<double>(v.f));
      return buffer;
    case Kind::Bool:
      return v.b ? "True" : "False";
    case Kind::String:
      return *v.s;
    case Kind::Object:
      return DescribeObject(v.o);
    case Kind::Array: {
      std::string text = "[";
      for (std::size_t i = 0; i < v.a->items.size(); ++i)
        text += (i ? ", " : "") + ToText(v.a->items[i]);
      return text + "]";
    }
    default:
      return "None";
  }
}

namespace {

bool IsNumber(Kind k) {
  return k == Kind::Int || k == Kind::Float;
}

int CompareTexts(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const char x = LowerAscii(a[i]), y = LowerAscii(b[i]);
    if (x != y) return static_cast<unsigned char>(x) < static_cast<unsigned char>(y) ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace

bool ValuesEqual(const Value& a, const Value& b) {
  if (a.kind == Kind::Int && b.kind == Kind::Int) return a.i == b.i;
  if (IsNumber(a.kind) && IsNumber(b.kind)) return ToFloat(a) == ToFloat(b);
  if (a.kind == Kind::None || b.kind == Kind::None) return a.kind == b.kind;
  if (a.kind == Kind::String && b.kind == Kind::String)
    return a.s == b.s || EqualsIgnoringAsciiCase(*a.s, *b.s);
  if (a.kind == Kind::Bool || b.kind == Kind::Bool) return ToBool(a) == ToBool(b);
  if (a.kind == Kind::String || b.kind == Kind::String)
    return CompareTexts(ToText(a), ToText(b)) == 0;
  if (a.kind != b.kind) return false;
  if (a.kind == Kind::Object) return a.o == b.o;
  return a.a == b.a;
}

int CompareValues(const Value& a, const Value& b) {
  if (a.kind == Kind::Int && b.kind == Kind::Int) return a.i < b.i ? -1 : (a.i > b.i ? 1 : 0);
  if (a.kind == Kind::String && b.kind == Kind::String) return CompareTexts(*a.s, *b.s);
  const float x = ToFloat(a), y = ToFloat(b);
  return x < y ? -1 : (x > y ? 1 : 0);
}

}  // namespace cw::papyrus::vm
