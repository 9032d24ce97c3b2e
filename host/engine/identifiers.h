#pragma once
// The address identifiers under which the engine's functions and objects are
// known, in the numbering of each game line (SE 1.5.97, AE 1.6.x), for every item
// the simulator provides.
#include <cstddef>
#include <cstdint>

namespace cw::sim {

enum class EngineItem : std::uint8_t {
  kHeap,
  kHeapAllocate,
  kHeapFree,
  kStringFromText,
  kSetStringFromText,
  kCleanValue,
  kCopyValue,
  kArgumentBase,
  kArgumentAt,
  kNativeConstruct,
  kNativeDestruct,
  kNativeParameterAt,
  kNativeInvoke,
  kNativeSourceFile,
  kNativeLocalNameAt,
  kBindObject,
  kDestroyObject,
  kDestroyClassDescription,
  kHandlePolicyGlobal,
  kDataHandlerGlobal,
  kLookupForm,
};

struct EngineIdentifier {
  EngineItem item;
  std::uint64_t se;
  std::uint64_t ae;
};

inline constexpr EngineIdentifier kEngineIdentifiers[] = {
    {EngineItem::kHeap, 514110, 400188},
    {EngineItem::kHeapAllocate, 66859, 68115},
    {EngineItem::kHeapFree, 66861, 68117},
    {EngineItem::kStringFromText, 67819, 69161},
    {EngineItem::kSetStringFromText, 67823, 69165},
    {EngineItem::kCleanValue, 97508, 104296},
    {EngineItem::kCopyValue, 97509, 104297},
    {EngineItem::kArgumentBase, 97745, 104483},
    {EngineItem::kArgumentAt, 97746, 104484},
    {EngineItem::kNativeConstruct, 97925, 104653},
    {EngineItem::kNativeDestruct, 97927, 104655},
    {EngineItem::kNativeParameterAt, 97909, 104637},
    {EngineItem::kNativeInvoke, 97923, 104651},
    {EngineItem::kNativeSourceFile, 97918, 104646},
    {EngineItem::kNativeLocalNameAt, 97920, 104648},
    {EngineItem::kBindObject, 97379, 104184},
    {EngineItem::kDestroyObject, 97462, 104246},
    {EngineItem::kDestroyClassDescription, 97514, 104299},
    {EngineItem::kHandlePolicyGlobal, 527437, 414391},
    {EngineItem::kDataHandlerGlobal, 514141, 400269},
    {EngineItem::kLookupForm, 14461, 14617},
};
inline constexpr std::size_t kEngineItemCount =
    sizeof(kEngineIdentifiers) / sizeof(kEngineIdentifiers[0]);

}  // namespace cw::sim
