#pragma once
// Values of the Papyrus VM: None, Int, Float, Bool, String, Object and arrays, and
// the game's conversions and comparisons between them. Strings are texts kept once
// per VM (a String value points at its text); objects and arrays are owned by the
// VM and live as long as it does.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cw::papyrus::vm {

class Class;
struct Instance;
struct Array;

enum class Kind : std::uint8_t { None, Int, Float, Bool, String, Object, Array };

struct Value {
  Kind kind = Kind::None;
  union {
    std::int32_t i;
    float f;
    bool b;
    const std::string* s;
    Instance* o;
    Array* a;
  };
  Value() : i(0) {}
  static Value Int(std::int32_t v) {
    Value x;
    x.kind = Kind::Int;
    x.i = v;
    return x;
  }
  static Value Float(float v) {
    Value x;
    x.kind = Kind::Float;
    x.f = v;
    return x;
  }
  static Value Bool(bool v) {
    Value x;
    x.kind = Kind::Bool;
    x.b = v;
    return x;
  }
  static Value String(const std::string* v) {
    Value x;
    x.kind = Kind::String;
    x.s = v;
    return x;
  }
  static Value Object(Instance* v);  // None for null
  static Value ArrayOf(Array* v);    // None for null
  bool none() const { return kind == Kind::None; }
};

// A declared type: a base kind, whether it is an array, and for objects the class
// name (lower case; matched without regard to case).
struct Type {
  Kind kind = Kind::None;  // Object for any class name
  bool array = false;
  std::string className;  // lower case, objects only
  static Type Parse(std::string_view name);
  std::string Text() const;
};

struct Array {
  Type element;  // array = false
  std::vector<Value> items;
};

// The value a variable of this type starts with: 0, 0.0, False, "" or None.
Value DefaultOf(const Type& type, const std::string* emptyText);

// Conversions as the game makes them (casts, conditions, concatenation).
bool ToBool(const Value& v);
std::int32_t ToInt(const Value& v);
float ToFloat(const Value& v);
std::string ToText(const Value& v);  // Float with six digits after the point

// Float to Int: toward zero; NaN and values out of range give the most negative Int.
std::int32_t TruncateFloat(float f);

// `==` of the VM: numbers by value (Int and Float mixed), texts without regard to
// case, objects and arrays by identity, None equal only to None.
bool ValuesEqual(const Value& a, const Value& b);
// `<` etc.: numbers, or texts without regard to case; -1, 0, 1.
int CompareValues(const Value& a, const Value& b);

// Whether an object is of the class `lowerName` or one derived from it.
bool IsA(const Instance* object, std::string_view lowerName);

}  // namespace cw::papyrus::vm
