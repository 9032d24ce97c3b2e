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
NativeEntry U(const char* name, Names... paramNames) {
  return EntryFor<Fn>::Make(kClassUtility, name, paramNames...);
}
template <auto Fn, class... Names>
NativeEntry E(const char* name, Names... paramNames) {
  return EntryFor<Fn>::Make(kClassChildEnchant, name, paramNames...);
}
template <auto Fn, class... Names>
NativeEntry T(const char* name, Names... paramNames) {
  return EntryFor<Fn>::Make(kClassTextContents, name, paramNames...);
}

using namespace natives;

const std::vector<NativeEntry>& Table() {
  static const std::vector<NativeEntry> table = {
      U<&toLower>("toLower", "text"),
      U<&toUpper>("toUpper", "text"),
      U<&StringReplace>("StringReplace", "text", "search", "replacement"),
      U<&MultiStringReplace>("MultiStringReplace", "template", "value0", "value1", "value2",
                             "value3", "value4", "value5"),
      U<&GetQuestObject>("GetQuestObject", "modName", "index"),
      U<&GetQuestObjectCount>("GetQuestObjectCount", "modName"),
      U<&GetFileCount>("GetFileCount", "folder", "extension"),
      U<&GetFileName>("GetFileName", "folder", "extension", "index"),
      U<&getTypeString>("getTypeString", "formType"),
      U<&getIniPath>("getIniPath", "category", "file"),
      U<&ScriptHasString>("ScriptHasString", "scriptName", "text"),
      U<&ScriptStringCount>("ScriptStringCount", "scriptName"),
      U<&ScriptUser>("ScriptUser", "scriptName"),
      U<&ScriptSource>("ScriptSource", "scriptName"),
      U<&ScriptMashine>("ScriptMashine", "scriptName"),
      U<&ScriptStringGet>("ScriptStringGet", "scriptName", "index"),
      U<&getIniString>("getIniString", "category", "file", "key", "default"),
      U<&getIniBool>("getIniBool", "category", "file", "key", "default"),
      U<&getIniInt>("getIniInt", "category", "file", "key", "default"),
      U<&getIniFloat>("getIniFloat", "category", "file", "key", "default"),
      U<&getIniCString>("getIniCString", "category", "file", "section", "key", "default"),
      U<&getIniCBool>("getIniCBool", "category", "file", "section", "key", "default"),
      U<&getIniCInt>("getIniCInt", "category", "file", "section", "key", "default"),
      U<&getIniCFloat>("getIniCFloat", "category", "file", "section", "key", "default"),
      U<&setIniString>("setIniString", "category", "file", "key", "value"),
      U<&setIniBool>("setIniBool", "category", "file", "key", "value"),
      U<&setIniInt>("setIniInt", "category", "file", "key", "value"),
      U<&setIniFloat>("setIniFloat", "category", "file", "key", "value"),
      U<&setIniCString>("setIniCString", "category", "file", "section", "key", "value"),
      U<&setIniCBool>("setIniCBool", "category", "file", "section", "key", "value"),
      U<&setIniCInt>("setIniCInt", "category", "file", "section", "key", "value"),
      U<&setIniCFloat>("setIniCFloat", "category", "file", "section", "key", "value"),
      U<&getNextAutoFile>("getNextAutoFile", "folder", "baseName", "extension"),
      U<&FileExists>("FileExists", "file"),
      U<&Hex>("Hex", "value", "digits"),
      U<&GetDirectoryHash>("GetDirectoryHash", "folder"),
      U<&GetFormFromString>("GetFormFromString", "reference"),
      U<&GetModFromString>("GetModFromString", "reference", "withExtension"),
      U<&GetFormIDFromString>("GetFormIDFromString", "reference"),
      U<&GetStringFromForm>("GetStringFromForm", "form"),
      U<&GetModFromForm>("GetModFromForm", "form", "withExtension"),
      E<&GetModFile>("GetModFile", "fileName"),
      E<&GetFormID>("GetFormID", "fileName"),
      E<&GetPowerMin>("GetPowerMin", "fileName"),
      E<&GetPowerMax>("GetPowerMax", "fileName"),
      T<&IOReadTranslation>("IOReadTranslation", "language"),
      T<&getLangText>("getLangText", "key"),
      T<&getLangSize>("getLangSize"),
      T<&getFilePath>("getFilePath"),
      T<&getErrorCode>("getErrorCode"),
  };
  return table;
}

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
