#pragma once
// Conversions between VM values and the plain functions' parameters and results.
#include <cmath>
#include <cstdint>
#include <cstring>

#include "plugin/vm_abi.h"

namespace cw::vm {

inline std::int32_t IntBits(const VMValue& v) {
  return static_cast<std::int32_t>(v.data);
}
inline float FloatBits(const VMValue& v) {
  const std::uint32_t low = static_cast<std::uint32_t>(v.data);
  float f;
  std::memcpy(&f, &low, sizeof f);
  return f;
}
inline bool BoolBits(const VMValue& v) {
  return (v.data & 0xFF) != 0;
}

// Float to signed 32-bit by truncation; NaN and out-of-range give the most negative value.
inline std::int32_t TruncateToInt32(float f) {
  if (!(f > -2147483904.0f && f < 2147483648.0f)) return INT32_MIN;
  return static_cast<std::int32_t>(f);
}

// Float to unsigned 32-bit through a 64-bit truncation, keeping the low 32 bits;
// NaN and out-of-range give the most negative 64-bit value, whose low half is 0.
inline std::uint32_t TruncateToUInt32(float f) {
  if (!(f > -9223373136366403584.0f && f < 9223372036854775808.0f)) return 0;
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(static_cast<std::int64_t>(f)));
}

inline std::int32_t ToInt32(const VMValue& v) {
  switch (KindOf(v.type)) {
    case kInt:
      return IntBits(v);
    case kFloat:
      return TruncateToInt32(FloatBits(v));
    case kBool:
      return BoolBits(v) ? 1 : 0;
    default:
      return 0;
  }
}

inline std::uint32_t ToUInt32(const VMValue& v) {
  switch (KindOf(v.type)) {
    case kInt:
      return static_cast<std::uint32_t>(v.data);
    case kFloat:
      return TruncateToUInt32(FloatBits(v));
    case kBool:
      return BoolBits(v) ? 1u : 0u;
    default:
      return 0;
  }
}

inline float ToFloat(const VMValue& v) {
  switch (KindOf(v.type)) {
    case kInt:
      return static_cast<float>(IntBits(v));
    case kFloat:
      return FloatBits(v);
    case kBool:
      return BoolBits(v) ? 1.0f : 0.0f;
    default:
      return 0.0f;
  }
}

inline bool ToBool(const VMValue& v) {
  switch (KindOf(v.type)) {
    case kInt:
      return IntBits(v) != 0;
    case kFloat:
      return FloatBits(v) != 0.0f;  // NaN counts as true
    case kBool:
      return BoolBits(v);
    default:
      return false;
  }
}

// The text of a String value, or null for any other kind.
inline const char* TextOf(const VMValue& v) {
  return KindOf(v.type) == kString ? reinterpret_cast<const char*>(v.data) : nullptr;
}

inline VMValue IntValue(std::uint32_t bits) {
  return {kInt, bits};
}
inline VMValue FloatValue(float f) {
  std::uint32_t bits;
  std::memcpy(&bits, &f, sizeof bits);
  return {kFloat, bits};
}
inline VMValue BoolValue(bool b) {
  return {kBool, b ? 1u : 0u};
}

}  // namespace cw::vm
