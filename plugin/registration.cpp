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

template <auto Fn>
NativeEntry U(const char* name) {
  return EntryFor<Fn>::Make(kClassUtility, name);
}
template <auto Fn>
NativeEntry E(const char* name) {
  return EntryFor<Fn>::Make(kClassChildEnchant, name);
}
template <auto Fn>
NativeEntry T(const char* name) {
  return EntryFor<Fn>::Make(kClassTextContents, name);
}

using namespace natives;

const std::vector<NativeEntry>& Table() {
  static const std::vector<NativeEntry> table = {
      U<&toLower>("toLower"),
      U<&toUpper>("toUpper"),
      U<&StringReplace>("StringReplace"),
      U<&MultiStringReplace>("MultiStringReplace"),
      U<&GetQuestObject>("GetQuestObject"),
      U<&GetQuestObjectCount>("GetQuestObjectCount"),
      U<&GetFileCount>("GetFileCount"),
      U<&GetFileName>("GetFileName"),
      U<&getTypeString>("getTypeString"),
      U<&getIniPath>("getIniPath"),
      U<&ScriptHasString>("ScriptHasString"),
      U<&ScriptStringCount>("ScriptStringCount"),
      U<&ScriptUser>("ScriptUser"),
      U<&ScriptSource>("ScriptSource"),
      U<&ScriptMashine>("ScriptMashine"),
      U<&ScriptStringGet>("ScriptStringGet"),
      U<&getIniString>("getIniString"),
      U<&getIniBool>("getIniBool"),
      U<&getIniInt>("getIniInt"),
      U<&getIniFloat>("getIniFloat"),
      U<&getIniCString>("getIniCString"),
      U<&getIniCBool>("getIniCBool"),
      U<&getIniCInt>("getIniCInt"),
      U<&getIniCFloat>("getIniCFloat"),
      U<&setIniString>("setIniString"),
      U<&setIniBool>("setIniBool"),
      U<&setIniInt>("setIniInt"),
      U<&setIniFloat>("setIniFloat"),
      U<&setIniCString>("setIniCString"),
      U<&setIniCBool>("setIniCBool"),
      U<&setIniCInt>("setIniCInt"),
      U<&setIniCFloat>("setIniCFloat"),
      U<&getNextAutoFile>("getNextAutoFile"),
      U<&FileExists>("FileExists"),
      U<&Hex>("Hex"),
      U<&GetDirectoryHash>("GetDirectoryHash"),
      U<&GetFormFromString>("GetFormFromString"),
      U<&GetModFromString>("GetModFromString"),
      U<&GetFormIDFromString>("GetFormIDFromString"),
      U<&GetStringFromForm>("GetStringFromForm"),
      U<&GetModFromForm>("GetModFromForm"),
      E<&GetModFile>("GetModFile"),
      E<&GetFormID>("GetFormID"),
      E<&GetPowerMin>("GetPowerMin"),
      E<&GetPowerMax>("GetPowerMax"),
      T<&IOReadTranslation>("IOReadTranslation"),
      T<&getLangText>("getLangText"),
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
  object->ops = entry.operations()->data();
  object->callback = entry.callback;
  object->passesVMContext = 0;
  for (std::uint16_t i = 0; i < entry.paramCount && object->params; ++i)
    object->params[i].type = TypeWord(registry, entry.params[i]);
  object->returnType = TypeWord(registry, entry.result);
  vm::Slot<void (*)(vm::Registry*, vm::NativeFunctionObject*)>(
      registry, vm::registry_slot::kRegisterNative)(registry, object);
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
