#pragma once
// The opcodes of Skyrim's compiled scripts.
#include <cstdint>

namespace cw::papyrus::vm::op {

inline constexpr std::uint8_t kNop = 0x00, kIAdd = 0x01, kFAdd = 0x02, kISub = 0x03, kFSub = 0x04,
                              kIMul = 0x05, kFMul = 0x06, kIDiv = 0x07, kFDiv = 0x08, kIMod = 0x09,
                              kNot = 0x0A, kINeg = 0x0B, kFNeg = 0x0C, kAssign = 0x0D, kCast = 0x0E,
                              kCmpEq = 0x0F, kCmpLt = 0x10, kCmpLe = 0x11, kCmpGt = 0x12,
                              kCmpGe = 0x13, kJmp = 0x14, kJmpt = 0x15, kJmpf = 0x16,
                              kCallMethod = 0x17, kCallParent = 0x18, kCallStatic = 0x19,
                              kReturn = 0x1A, kStrcat = 0x1B, kPropGet = 0x1C, kPropSet = 0x1D,
                              kArrayCreate = 0x1E, kArrayLength = 0x1F, kArrayGet = 0x20,
                              kArraySet = 0x21, kArrayFind = 0x22, kArrayRFind = 0x23;

}  // namespace cw::papyrus::vm::op
