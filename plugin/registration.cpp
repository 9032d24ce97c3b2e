#include "plugin/registration.h"

#include <cstring>
#include <vector>

#include "natives/enchant/enchant_natives.h"
#include "natives/text/translation_natives.h"
#include "natives/utility/file_natives.h"
#include "natives/utility/form_natives.h"
#include "natives/utility/form_type_natives.h"
#include "natives/utility/ini_natives.h"
#include "natives/utility/quest_natives.h"
#include "natives/utility/script_natives.h"
#include "natives/utility/text_natives.h"
#include "plugin/engine_api.h"
#include "plugin/startup_report.h"

namespace cw {
namespace {

template <auto Fn, class... Names>
NativeEntry U(const char* name, const char* description, Names... paramNames) {
  return EntryFor<Fn>::Make(kClassUtility, name, description, paramNames...);
}
template <auto Fn, class... Names>
NativeEntry E(const char* name, const char* description, Names... paramNames) {
  return EntryFor<Fn>::Make(kClassChildEnchant, name, description, paramNames...);
}
template <auto Fn, class... Names>
NativeEntry T(const char* name, const char* description, Names... paramNames) {
  return EntryFor<Fn>::Make(kClassTextContents, name, description, paramNames...);
}

using namespace natives;

// Shared parts of the descriptions of the settings natives.
#define CW_INI_FILE                                                              \
  "the settings file Data\\Cradlewright\\<asCategory>\\<asFile> (as getIniPath " \
  "answers it; relative to the game folder)"
#define CW_INI_READ_END                                                             \
  " A section, key or path longer than 32000 bytes answers the default too. Every " \
  "call reads the file anew; nothing is cached."
#define CW_INI_WRITE_END                                                               \
  ", creating the file, the section and the key when missing (never the folder). It "  \
  "answers nothing: a write that cannot be done (missing folder, read-only file) "     \
  "leaves the file as it was, and a section, key or value holding a line break, or "   \
  "a key holding = or starting with [, is not stored. Nor is a file whose path "       \
  "leads outside the Data folder (through .., a drive or a leading separator), names " \
  "a Windows device (CON, NUL, COM1, ...) or holds a colon, nor a section, key, "      \
  "value or path longer than 32000 bytes; the log names the reason. The file is "      \
  "written beside the old one and replaces it only when complete, so a full disk "     \
  "leaves it as it was."
#define CW_SCRIPT_FILE "the compiled script Data/Scripts/<asScriptName>.pex"
#define CW_REFERENCE                                                                 \
  " A reference text, as GetStringFromForm writes it (Master_12e46), is a plugin "   \
  "file's name before the last _ and the form's number in that file in hexadecimal " \
  "after it. The file is tried as <name>.esp, then <name>.esm, then as written "     \
  "(letter case ignored; light plugins count; a file that is installed but not "     \
  "loaded does not)."
#define CW_ENCHANT_FILE                                                              \
  "the child enchantment file Data/Cradlewright/Enchantment/<asFileName> (UTF-16 "   \
  "little-endian lines key = value, with or without a byte-order mark; the name is " \
  "used as given, no extension added)"
#define CW_ENCHANT_NUMBER                                                           \
  " A value starting with # or 0x is hexadecimal (from 80000000 on it reads as a "  \
  "negative Int; beyond FFFFFFFF as -1), any other a decimal integer (held to the " \
  "Int range). 0 when the file is missing, the key is absent or the value is no "   \
  "number."

const std::vector<NativeEntry>& Table() {
  static const std::vector<NativeEntry> table = {
      U<&toLower>("toLower",
                  "Answers asText with the letters A to Z made lower case. Every other byte "
                  "(accented letters, UTF-8 characters) stays as it is. Never fails.",
                  "asText"),
      U<&toUpper>("toUpper",
                  "Answers asText with the letters a to z made upper case. Every other byte "
                  "(accented letters, UTF-8 characters) stays as it is. Never fails.",
                  "asText"),
      U<&StringReplace>(
          "StringReplace",
          "Answers asText with the occurrences of asSearch (exact bytes, letter case counts) "
          "replaced by asReplacement, left to right without overlap, at most 21 times: later "
          "occurrences stay as they are. The inserted text is not searched again, so "
          "replacing a by aa in aaa gives aaaaaa. An empty asSearch puts 21 copies of "
          "asReplacement in front of the text. Never fails.",
          "asText", "asSearch", "asReplacement"),
      U<&MultiStringReplace>(
          "MultiStringReplace",
          "Answers asTemplate with its numbered placeholders filled: the digit 0 between "
          "curly brackets is replaced by asValue0, then 1 by asValue1, and so on up to 5, "
          "each at most 21 times. The passes run in that order, so a value holding a later "
          "placeholder has it filled too, and a value holding an earlier one keeps it. "
          "Other bracketed texts (6, or a blank before the digit) stay. Never fails.",
          "asTemplate", "asValue0", "asValue1", "asValue2", "asValue3", "asValue4", "asValue5"),
      U<&GetQuestObject>(
          "GetQuestObject",
          "Answers the quest at position aiIndex (counted from 0) among the quests that the "
          "plugin file asModName defines, in the engine's order. The file is tried as "
          "written, then as <asModName>.esp, then as <asModName>.esm (letter case ignored; "
          "light plugins count). A negative aiIndex answers the first quest. None when the "
          "file is not loaded or aiIndex is not below GetQuestObjectCount.",
          "asModName", "aiIndex"),
      U<&GetQuestObjectCount>(
          "GetQuestObjectCount",
          "Answers how many quests the plugin file asModName defines (the file is found as "
          "GetQuestObject finds it). 0 when the file is not loaded or defines no quest.",
          "asModName"),
      U<&GetFileCount>(
          "GetFileCount",
          "Answers how many entries of the folder Data/Cradlewright/<asFolder>/ match "
          "*.<asExtension>; sub-folders of such a name count too, and so do the folder's "
          "own entries . and .. when the pattern matches them (asExtension *: a folder "
          "holding one file counts 3). asFolder may be empty (the mod folder "
          "itself) or nested (A/B). 0 when the folder is missing.",
          "asFolder", "asExtension"),
      U<&GetFileName>(
          "GetFileName",
          "Answers the name (with extension, without folder) of entry aiIndex (counted from "
          "0) of the listing that GetFileCount counts, . and .. included. An empty text "
          "when aiIndex is "
          "negative or not below the count, or the folder is missing. Every call lists the "
          "folder again: call it for 0 to GetFileCount - 1 while the folder does not "
          "change.",
          "asFolder", "asExtension", "aiIndex"),
      U<&getTypeString>(
          "getTypeString",
          "Answers the name of an engine form type number in the engine's own spelling: 0 "
          "kNone, 43 kNPC, 77 kQuest, 102 kARMA, up to 134 kReverbParam. UNKNOWN for a "
          "number above 134 or below 0.",
          "aiFormType"),
      U<&getIniPath>(
          "getIniPath",
          "Answers the path of a settings file, Data\\Cradlewright\\<asCategory>\\<asFile>, "
          "relative to the game folder: no second separator when asCategory ends in / or "
          "\\, none at all when it is empty, and no extension added to asFile. Touches no "
          "file.",
          "asCategory", "asFile"),
      U<&ScriptHasString>(
          "ScriptHasString",
          "Answers whether asText is an entry of the string table of " CW_SCRIPT_FILE
          " (exact bytes, letter case counts; the names in the file's header are no "
          "entries). False when the file is missing or ends early.",
          "asScriptName", "asText"),
      U<&ScriptStringCount>(
          "ScriptStringCount",
          "Answers the number of entries of the string table of " CW_SCRIPT_FILE
          " (0 to 65535). -1 when the file cannot be opened or ends before the count, -2 "
          "when reading it fails for lack of memory.",
          "asScriptName"),
      U<&ScriptUser>("ScriptUser",
                     "Answers the user name in the header of " CW_SCRIPT_FILE
                     " (up to a NUL byte). An empty text when the file is missing or ends "
                     "early.",
                     "asScriptName"),
      U<&ScriptSource>("ScriptSource",
                       "Answers the source file name in the header of " CW_SCRIPT_FILE
                       " (up to a NUL byte). An empty text when the file is missing or ends "
                       "early.",
                       "asScriptName"),
      U<&ScriptMashine>("ScriptMashine",
                        "Answers the machine name in the header of " CW_SCRIPT_FILE
                        " (up to a NUL byte). An empty text when the file is missing or ends "
                        "early.",
                        "asScriptName"),
      U<&ScriptStringGet>(
          "ScriptStringGet",
          "Answers entry aiIndex (counted from 0) of the string table of " CW_SCRIPT_FILE
          " (up to a NUL byte). A negative aiIndex answers entry 0. An empty text when "
          "aiIndex is not below ScriptStringCount, or the file is missing or ends before "
          "that entry.",
          "asScriptName", "aiIndex"),
      U<&getIniString>("getIniString",
                       "Answers the text stored under asKey in section [asCategory] of " CW_INI_FILE
                       ", at most 499 bytes. asDefault when the file, the section or the key "
                       "is missing." CW_INI_READ_END,
                       "asCategory", "asFile", "asKey", "asDefault"),
      U<&getIniBool>("getIniBool",
                     "Answers true when the text stored under asKey in section [asCategory] "
                     "of " CW_INI_FILE
                     " is exactly 1, y, Y, true, True, TRUE, yes, Yes or YES, false for any "
                     "other text. abDefault when the file, the section or the key is "
                     "missing." CW_INI_READ_END,
                     "asCategory", "asFile", "asKey", "abDefault"),
      U<&getIniInt>("getIniInt",
                    "Answers the number stored under asKey in section [asCategory] of " CW_INI_FILE
                    ": a text of at most 10 characters starting with 0x is hexadecimal (at "
                    "most 2147483647; 0x alone is 0). Any other text is read as Windows reads "
                    "a number setting, from its first 29 characters: blanks skipped, one "
                    "optional sign, then decimal digits, or hexadecimal, binary or octal "
                    "digits after a lower-case 0x, 0b or 0o, up to the first other "
                    "character, kept to the last 32 bits: 0x000000010 is 16, 4294967297 is 1, "
                    "2147483648 is -2147483648, 0X1F and a text that is no number give 0. "
                    "aiDefault when the file, the section or the key is missing." CW_INI_READ_END,
                    "asCategory", "asFile", "asKey", "aiDefault"),
      U<&getIniFloat>("getIniFloat",
                      "Answers the number at the start of the first 19 bytes of the text "
                      "stored under asKey in section [asCategory] of " CW_INI_FILE
                      ". A text that is no number gives 0.0. afDefault, rounded to 6 "
                      "significant digits, when the file, the section or the key is "
                      "missing." CW_INI_READ_END,
                      "asCategory", "asFile", "asKey", "afDefault"),
      U<&getIniCString>("getIniCString",
                        "As getIniString, but reads section [asSection] of " CW_INI_FILE ".",
                        "asCategory", "asFile", "asSection", "asKey", "asDefault"),
      U<&getIniCBool>("getIniCBool",
                      "As getIniBool, but reads section [asSection] of " CW_INI_FILE ".",
                      "asCategory", "asFile", "asSection", "asKey", "abDefault"),
      U<&getIniCInt>("getIniCInt",
                     "As getIniInt, but reads section [asSection] of " CW_INI_FILE ".",
                     "asCategory", "asFile", "asSection", "asKey", "aiDefault"),
      U<&getIniCFloat>("getIniCFloat",
                       "As getIniFloat, but reads section [asSection] of " CW_INI_FILE ".",
                       "asCategory", "asFile", "asSection", "asKey", "afDefault"),
      U<&setIniString>(
          "setIniString",
          "Stores asValue under asKey in section [asCategory] of " CW_INI_FILE CW_INI_WRITE_END,
          "asCategory", "asFile", "asKey", "asValue"),
      U<&setIniBool>("setIniBool",
                     "Stores abValue as True or False under asKey in section [asCategory] "
                     "of " CW_INI_FILE CW_INI_WRITE_END,
                     "asCategory", "asFile", "asKey", "abValue"),
      U<&setIniInt>("setIniInt",
                    "Stores aiValue as a decimal text under asKey in section [asCategory] "
                    "of " CW_INI_FILE CW_INI_WRITE_END,
                    "asCategory", "asFile", "asKey", "aiValue"),
      U<&setIniFloat>("setIniFloat",
                      "Stores afValue with ten significant digits (2.0 as 2., 0.05 as "
                      "5.000000075e-002) under asKey in section [asCategory] "
                      "of " CW_INI_FILE CW_INI_WRITE_END,
                      "asCategory", "asFile", "asKey", "afValue"),
      U<&setIniCString>("setIniCString",
                        "As setIniString, but writes section [asSection] of " CW_INI_FILE ".",
                        "asCategory", "asFile", "asSection", "asKey", "asValue"),
      U<&setIniCBool>("setIniCBool",
                      "As setIniBool, but writes section [asSection] of " CW_INI_FILE ".",
                      "asCategory", "asFile", "asSection", "asKey", "abValue"),
      U<&setIniCInt>("setIniCInt",
                     "As setIniInt, but writes section [asSection] of " CW_INI_FILE ".",
                     "asCategory", "asFile", "asSection", "asKey", "aiValue"),
      U<&setIniCFloat>("setIniCFloat",
                       "As setIniFloat, but writes section [asSection] of " CW_INI_FILE ".",
                       "asCategory", "asFile", "asSection", "asKey", "afValue"),
      U<&getNextAutoFile>(
          "getNextAutoFile",
          "Answers the first free numbered name <asBaseName>000.<asExtension> to "
          "<asBaseName>127.<asExtension> in the folder Data/Cradlewright/<asFolder>/ (the "
          "name alone, without folder). A number is free when nothing of that name exists "
          "there. An empty text when all 128 are taken. Creates no file: two calls with "
          "nothing written between them answer the same name.",
          "asFolder", "asBaseName", "asExtension"),
      U<&FileExists>("FileExists",
                     "Answers true when Data/Cradlewright/<asFile> is a file that can be "
                     "opened for reading and writing. False when it is missing, a folder, "
                     "read-only or held by another program.",
                     "asFile"),
      U<&Hex>("Hex",
              "Answers aiValue in lower-case hexadecimal without prefix (a negative value as "
              "its 32-bit pattern), padded with zeros to aiDigits digits and cut to its last "
              "aiDigits digits: Hex(255, 4) is 00ff, Hex(65536, 4) is 0000. aiDigits above 8 "
              "counts as 8; 0 gives every digit without padding; a negative aiDigits keeps "
              "the last digit only.",
              "aiValue", "aiDigits"),
      U<&GetDirectoryHash>(
          "GetDirectoryHash",
          "Answers a 24-character fingerprint of the folder Data/Cradlewright/<asFolder>/, "
          "in the form xxxx-xxx-xxx-xxxx-xxxxxx (hexadecimal digits), made only of the "
          "number of entries, the total length of their names and the total of their sizes "
          "(a sub-folder or a file that cannot be read counts as size -1). It changes when "
          "an entry is added or removed or a size changes; it stays when a file is renamed "
          "to a name of the same length or two files swap sizes. A missing or empty folder "
          "answers 0002-003-000-560b-000000; an empty text only when memory runs out.",
          "asFolder"),
      U<&GetFormFromString>("GetFormFromString",
                            "Answers the form that asReference names." CW_REFERENCE
                            " None when no candidate holds the form, and for the text 0.",
                            "asReference"),
      U<&GetModFromString>(
          "GetModFromString",
          "Answers the name of the plugin file through which asReference finds its "
          "form." CW_REFERENCE
          " The name keeps the letter case of the reference; abWithExtension chooses "
          "Master.esm or Master. The text NULL when no candidate holds the form; an empty "
          "text for the text 0.",
          "asReference", "abWithExtension"),
      U<&GetFormIDFromString>("GetFormIDFromString",
                              "Answers the form ID of the form that asReference names." CW_REFERENCE
                              " 0 when no candidate holds the form, and for the text 0.",
                              "asReference"),
      U<&GetStringFromForm>(
          "GetStringFromForm",
          "Answers the reference text of akForm: its plugin file's name without extension, "
          "_, and the form's number in that file in lower-case hexadecimal (Master_12e46; "
          "a light plugin's form FE LLL xxx gives xxx). GetFormFromString reads it back. An "
          "empty text for None and for a form whose plugin is not loaded. A form created "
          "during play (form ID FF000001 or above) answers the first file's name with all "
          "eight digits of its form ID (Skyrim_ff000801), a text that GetFormFromString "
          "does not read back (it answers None: the number is too big for a form of a "
          "plugin file); such forms last only until the game ends.",
          "akForm"),
      U<&GetModFromForm>(
          "GetModFromForm",
          "Answers the file name of the plugin that owns akForm, with its extension when "
          "abWithExtension is true. An empty text for None. -1 for a form ID from 80000000 "
          "to FDFFFFFF, for FF000000, and for a light plugin's form FE LLL xxx when no light "
          "plugin LLL is loaded; -3 for a form ID below 80000000 whose load-order index "
          "names no loaded plugin. A form created during play (FF000001 or above) answers "
          "the first file's name.",
          "akForm", "abWithExtension"),
      E<&GetModFile>("GetModFile",
                     "Answers the value of the key modName in " CW_ENCHANT_FILE
                     ", trimmed of blanks: the plugin file that holds the enchantment. An "
                     "empty text when the file is missing or has no such key.",
                     "asFileName"),
      E<&GetFormID>("GetFormID",
                    "Answers the number under the key form in " CW_ENCHANT_FILE
                    ": the enchantment's form ID as written, with no load-order "
                    "index added." CW_ENCHANT_NUMBER,
                    "asFileName"),
      E<&GetPowerMin>("GetPowerMin",
                      "Answers the number under the key power_min in " CW_ENCHANT_FILE
                      ": the enchantment's lowest power." CW_ENCHANT_NUMBER,
                      "asFileName"),
      E<&GetPowerMax>("GetPowerMax",
                      "Answers the number under the key power_max in " CW_ENCHANT_FILE
                      ": the enchantment's highest power." CW_ENCHANT_NUMBER,
                      "asFileName"),
      T<&IOReadTranslation>(
          "IOReadTranslation",
          "Loads the translation file Data/Interface/Translations/Cradlewright_<asLanguage>.txt "
          "(UTF-16 little-endian lines $key, tab, text; the language is used as given) in "
          "place of the text loaded before; the other natives of FWTextContents read it. "
          "Answers nothing: getErrorCode tells how it went (15 loaded, 16 the file cannot be "
          "opened or is no regular file, which keeps the text loaded before).",
          "asLanguage"),
      T<&getLangText>("getLangText",
                      "Answers the text of the entry $<asKey> of the loaded translation (exact "
                      "bytes, letter case counts; without the $), up to the end of its line. An "
                      "empty text when no translation is loaded or no entry has that key.",
                      "asKey"),
      T<&getLangSize>("getLangSize",
                      "Answers the length in bytes (UTF-8) of the whole loaded translation text, "
                      "not a number of entries; the file's byte-order mark counts as 3 bytes. 0 "
                      "before the first successful load."),
      T<&getFilePath>("getFilePath",
                      "Answers the path of the translation file of the last IOReadTranslation "
                      "call, loaded or not (Data/Interface/Translations/Cradlewright_<language>"
                      ".txt). An empty text before the first call."),
      T<&getErrorCode>(
          "getErrorCode",
          "Answers the outcome of the last IOReadTranslation call: 99 before any call, 15 "
          "loaded, 16 the file cannot be opened or is no regular file (a folder, a pipe, a "
          "device; the text loaded before stays), 4 opening "
          "failed with an error (the text is emptied). A code from 1 to 14 is a load still "
          "running on another thread, or one that stopped there (out of memory, a file of "
          "2 GiB or more); the text loaded before then stays."),
  };
  return table;
}

#undef CW_INI_FILE
#undef CW_INI_READ_END
#undef CW_INI_WRITE_END
#undef CW_SCRIPT_FILE
#undef CW_REFERENCE
#undef CW_ENCHANT_FILE
#undef CW_ENCHANT_NUMBER

// The class description address that stands for a Form or Quest type word.
std::uint64_t FormTypeWord(vm::Registry* registry, std::uint32_t formType) {
  return reinterpret_cast<std::uint64_t>(binding::ClassForFormType(registry, formType));
}

std::uint64_t TypeWord(vm::Registry* registry, Kind kind) {
  switch (kind) {
    case Kind::kNone:
      return vm::kNone;
    case Kind::kString:
      return vm::kString;
    case Kind::kInt:
      return vm::kInt;
    case Kind::kFloat:
      return vm::kFloat;
    case Kind::kBool:
      return vm::kBool;
    case Kind::kForm:
      return FormTypeWord(registry, 0);
    case Kind::kQuest:
      return FormTypeWord(registry, kFormTypeQuest);
  }
  return vm::kNone;
}

bool RegisterClass(vm::Registry* registry, const char* className) {
  // Nothing may leave a registration callback: a native that cannot be created
  // is skipped and the others still register.
  std::size_t registered = 0;
  try {
    for (const NativeEntry& entry : Table()) {
      if (std::strcmp(entry.className, className) != 0) continue;
      try {
        if (RegisterNative(registry, entry)) ++registered;
      } catch (...) {
      }
    }
  } catch (...) {
  }
  try {
    startup_report::Registered(className, registered);
  } catch (...) {
  }
  return true;
}

}  // namespace

std::span<const NativeEntry> Natives() {
  return Table();
}

bool RegisterNative(vm::Registry* registry, const NativeEntry& entry) {
  void* memory =
      engine::HeapAllocate(engine::Heap.get(), sizeof(vm::NativeFunctionObject), 0, false);
  if (!memory) return false;
  auto* object = static_cast<vm::NativeFunctionObject*>(
      std::memset(memory, 0, sizeof(vm::NativeFunctionObject)));
  engine::CreateString(&object->name, "");
  engine::CreateString(&object->className, "");
  engine::CreateString(&object->stateName, "");
  engine::CreateString(&object->docString, "");
  try {
    engine::NativeBaseConstruct(object, entry.name, entry.className, true, entry.paramCount);
  } catch (...) {
    engine::HeapFree(engine::Heap.get(), object, false);
    return false;
  }
  binding::InstallOperations(object, *entry.operations());
  object->callback = entry.callback;
  object->passesVMContext = 0;
  for (std::uint16_t i = 0; i < entry.paramCount && object->params; ++i)
    object->params[i].type = TypeWord(registry, entry.params[i]);
  object->returnType = TypeWord(registry, entry.result);
  vm::Slot<vm::RegistryRegisterNative>(registry, vm::registry_slot::kRegisterNative)(registry,
                                                                                     object);
  vm::Slot<vm::RegistrySetFunctionFlags>(registry, vm::registry_slot::kSetFunctionFlags)(
      registry, entry.className, entry.name, true);
  return true;
}

bool RegisterFWUtility(vm::Registry* registry) {
  return RegisterClass(registry, kClassUtility);
}
bool RegisterNothing(vm::Registry*) {
  return true;
}
bool RegisterFWChildEnchant(vm::Registry* registry) {
  return RegisterClass(registry, kClassChildEnchant);
}
bool RegisterFWTextContents(vm::Registry* registry) {
  return RegisterClass(registry, kClassTextContents);
}

}  // namespace cw
