#include "natives/utility/form_reference.h"

#include <boost/algorithm/string/classification.hpp>
#include <boost/algorithm/string/split.hpp>
#include <vector>

#include "natives/utility/hex_format.h"
#include "natives/utility/mod_list.h"

namespace cw {
namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

bool IsNullReference(std::string_view text) {
  return text == "0";
}

std::int32_t ReadReferenceNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    i += 2;
  }
  // Beyond 2^32 the value is out of range whatever follows: stop growing there.
  constexpr std::uint64_t kSaturated = std::uint64_t{1} << 32;
  std::uint64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    const int digit = HexDigitValue(text[i]);
    if (digit < 0) break;
    if (magnitude < kSaturated) magnitude = magnitude * 16 + static_cast<std::uint64_t>(digit);
  }
  if (negative) {
    if (magnitude >= (std::uint64_t{1} << 31)) return INT32_MIN;
    return -static_cast<std::int32_t>(magnitude);
  }
  if (magnitude > static_cast<std::uint64_t>(INT32_MAX)) return INT32_MAX;
  return static_cast<std::int32_t>(magnitude);
}

FormReference ParseFormReference(std::string_view text) {
  std::vector<std::string> pieces;
  const std::string whole(text);
  boost::algorithm::split(pieces, whole, boost::algorithm::is_any_of("_"),
                          boost::algorithm::token_compress_off);
  // The last piece is the number text; the others, joined again, the base name.
  FormReference reference;
  for (std::size_t i = 0; i + 1 < pieces.size(); ++i) {
    if (i != 0) reference.baseName += '_';
    reference.baseName += pieces[i];
  }
  if (!pieces.empty()) reference.numberText = std::move(pieces.back());
  reference.number = ReadReferenceNumber(reference.numberText);
  return reference;
}

ResolvedReference ResolveFormReference(std::string_view text, const DataHandler* handler,
                                       FormLookup lookup) {
  ResolvedReference result;
  if (IsNullReference(text) || handler == nullptr || lookup == nullptr) return result;
  FormReference reference = ParseFormReference(text);
  struct Candidate {
    std::string name;
    ReferenceMatch match;
  };
  const Candidate candidates[] = {{reference.baseName + ".esp", ReferenceMatch::kEsp},
                                  {reference.baseName + ".esm", ReferenceMatch::kEsm},
                                  {reference.baseName, ReferenceMatch::kAsWritten}};
  const auto number = static_cast<std::uint32_t>(reference.number);
  for (const Candidate& candidate : candidates) {
    const ModSlot slot = ModSlotOf(handler, candidate.name);
    if (TESForm* form = lookup(number | slot.FormIDBase())) {
      result.form = form;
      result.match = candidate.match;
      result.baseName = std::move(reference.baseName);
      return result;
    }
  }
  return result;
}

TESForm* FormFromReference(std::string_view text, const DataHandler* handler, FormLookup lookup) {
  return ResolveFormReference(text, handler, lookup).form;
}

std::uint32_t FormIDFromReference(std::string_view text, const DataHandler* handler,
                                  FormLookup lookup) {
  const TESForm* form = FormFromReference(text, handler, lookup);
  return form != nullptr ? form->formID : 0;
}

std::string ModFromReference(std::string_view text, bool withExtension, const DataHandler* handler,
                             FormLookup lookup) {
  if (IsNullReference(text)) return std::string();
  const ResolvedReference found = ResolveFormReference(text, handler, lookup);
  switch (found.match) {
    case ReferenceMatch::kEsp:
      return withExtension ? found.baseName + ".esp" : found.baseName;
    case ReferenceMatch::kEsm:
      return withExtension ? found.baseName + ".esm" : found.baseName;
    case ReferenceMatch::kAsWritten:
      return withExtension ? found.baseName : std::string(WithoutExtension(found.baseName));
    case ReferenceMatch::kNone:
      break;
  }
  return "NULL";
}

std::string_view WithoutExtension(std::string_view fileName) {
  const std::size_t dot = fileName.rfind('.');
  return dot == std::string_view::npos ? fileName : fileName.substr(0, dot);
}

}  // namespace cw
