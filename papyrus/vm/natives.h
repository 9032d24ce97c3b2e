#pragma once
// Native functions as the VM calls them: a script's call of a function that has
// no script code reaches a Native found by class and function name.
#include <cstddef>
#include <string_view>

#include "papyrus/vm/value.h"

namespace cw::papyrus::vm {

class Vm;
struct Thread;

struct NativeCall {
  Vm& vm;
  Thread& thread;
  Value self;  // None for a global native
  const Value* arguments;
  std::size_t count;
  const Type& result;  // what the caller expects back
  Value argument(std::size_t i) const { return i < count ? arguments[i] : Value(); }
};

class Native {
 public:
  virtual ~Native() = default;
  // Never throws out of the VM: an exception gives the result type's default.
  virtual Value Call(NativeCall& call) = 0;
};

// Natives of one provider: the engine's built in, or the plugin's.
class NativeSource {
 public:
  virtual ~NativeSource() = default;
  // The native of that class and name (both lower case), or null.
  virtual Native* Find(std::string_view lowerClass, std::string_view lowerName) = 0;
};

}  // namespace cw::papyrus::vm
