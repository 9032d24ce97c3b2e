#pragma once
// How long the texts handed to the system's profile functions may be. Wine's
// functions fail on a section, key, value, default or path of 32,767 bytes or
// more and then read memory that was never set: they write garbage or crash the
// game. Every build holds texts to one limit below that.
#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

namespace cw::platform {

inline constexpr std::size_t kMaxProfileTextBytes = 32000;

// True when every text is at most kMaxProfileTextBytes long.
bool FitProfileLimit(std::initializer_list<std::string_view> texts);

// The default to hand to a profile reader with a buffer of bufferSize bytes
// (at most kMaxProfileTextBytes), so that it answers what it would answer for
// def and the text fits the limit. def itself when it fits the buffer (without
// its trailing blanks when it is longer than the limit); otherwise its first
// bufferSize - 1 bytes once its trailing blanks are dropped, and one more byte
// that the reader cuts off again (so that no blank at the cut is dropped).
std::string BoundedProfileDefault(std::string_view def, std::size_t bufferSize);

}  // namespace cw::platform
