#pragma once
// Command-line texts turned into VM values, and call lines split into words.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/engine/machine.h"

namespace cw::sim {

// Splits a `run` line into words: blanks separate, a double-quoted word may hold
// blanks and the escapes \\ \" \t \r \n \xHH, "" is the empty text. nullopt with
// `error` set for an unterminated quote or a bad escape.
std::optional<std::vector<std::string>> SplitCallLine(const std::string& line, std::string* error);

// True when a call is written as in a script: CLASS.NATIVE(ARG, ...).
bool IsScriptCall(const std::string& text);

// Splits a call written as in a script into CLASS.NATIVE and its argument texts:
// `FWUtility.Hex(255, 4)`, `FWUtility.toUpper("hello")`. Arguments are separated
// by commas; a double-quoted argument is a String literal (escapes as in
// SplitCallLine) and becomes `string:TEXT`; `None` in any letter case is `none`.
// nullopt with `error` set when the text is not such a call.
std::optional<std::vector<std::string>> SplitScriptCall(const std::string& text,
                                                        std::string* error);

// The VM value for an argument text given the parameter's type word. Typed
// literals (int:V, float:V, bool:V, string:V, none) give their own kind whatever
// the parameter is. A form ID of no loaded form gives None, as a script's
// variable holds for a form the game did not load, and sets `warning`. nullopt
// with `error` set for a bad literal.
std::optional<Value> ArgumentValue(Machine& machine, const std::string& text,
                                   std::uint64_t parameterType, std::string* error,
                                   std::string* warning = nullptr);

// A form ID in hexadecimal, with or without 0x.
bool ParseFormID(const std::string& text, std::uint32_t* id);

// The script-facing kind of a type word: String, Int, Float, Bool, Form, Quest, None.
std::string KindOfTypeWord(Machine& machine, std::uint64_t type);

// A result as the command line prints it.
std::string FormatResult(Machine& machine, const Value& value, std::uint64_t resultType);

}  // namespace cw::sim
