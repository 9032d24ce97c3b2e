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

namespace {

// The owning file and the form's number inside it for a light plugin's form
// (FE LLL xxx); no file when the light index names no loaded light plugin.
struct LightOwner {
  const TESFile* file;
  std::int32_t number;
};
LightOwner LightOwnerOf(std::uint32_t formID, const DataHandler* handler) {
  return {LoadedLightModAt(handler, LightIndexOf(formID)),
          static_cast<std::int32_t>(formID & 0xFFF)};
}

std::string Reference(const TESFile& file, std::int32_t number) {
  std::string text(WithoutExtension(ModFileName(file)));
  text += '_';
  text += FormatHex(number, 0);
  return text;
}

}  // namespace

std::string ReferenceForForm(const TESForm* form, const DataHandler* handler) {
  if (form == nullptr) return std::string();
  if (IsLightFormID(form->formID)) {
    const LightOwner owner = LightOwnerOf(form->formID, handler);
    return owner.file ? Reference(*owner.file, owner.number) : std::string();
  }
  const FormIDParts parts = SplitFormID(form->formID);
  const TESFile* file = LoadedModAt(handler, parts.index);
  return file ? Reference(*file, parts.number) : std::string();
}

std::string ModForForm(const TESForm* form, bool withExtension, const DataHandler* handler) {
  if (form == nullptr) return std::string();
  const TESFile* file = nullptr;
  if (IsLightFormID(form->formID)) {
    file = LightOwnerOf(form->formID, handler).file;
    if (file == nullptr) return "-1";
  } else {
    const FormIDParts parts = SplitFormID(form->formID);
    if (parts.index < 0) return "-1";
    file = LoadedModAt(handler, parts.index);
    if (file == nullptr) return "-3";
  }
  const std::string_view name = ModFileName(*file);
  return std::string(withExtension ? name : WithoutExtension(name));
}

}  // namespace cw
