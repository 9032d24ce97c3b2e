#include "natives/utility/form_owner.h"

#include "natives/utility/form_reference.h"
#include "natives/utility/hex_format.h"
#include "natives/utility/mod_list.h"

namespace cw {

FormIDParts SplitFormID(std::uint32_t formID) {
  constexpr std::int32_t kFileSpan = 0x1000000;
  const auto value = static_cast<std::int32_t>(formID);
  const std::int32_t number = value % kFileSpan;
  return {(value - number) / kFileSpan, number};
}

std::string ReferenceForForm(const TESForm* form, const DataHandler* handler) {
  if (form == nullptr) return std::string();
  const FormIDParts parts = SplitFormID(form->formID);
  const TESFile* file = LoadedModAt(handler, parts.index);
  if (file == nullptr) return std::string();
  std::string text(WithoutExtension(ModFileName(*file)));
  text += '_';
  text += FormatHex(parts.number, 0);
  return text;
}

std::string ModForForm(const TESForm* form, bool withExtension, const DataHandler* handler) {
  if (form == nullptr) return std::string();
  const FormIDParts parts = SplitFormID(form->formID);
  if (parts.index < 0) return "-1";
  const TESFile* file = LoadedModAt(handler, parts.index);
  if (file == nullptr) return "-3";
  const std::string_view name = ModFileName(*file);
  return std::string(withExtension ? name : WithoutExtension(name));
}

}  // namespace cw
