#include "host/engine_addresses.h"

#include "host/engine/functions.h"
#include "host/engine/machine.h"
#include "host/engine_data.h"

namespace cw::sim {

namespace {
TableObject* g_handlePolicy = nullptr;

template <class F>
std::uintptr_t At(F* f) {
  return reinterpret_cast<std::uintptr_t>(f);
}
}  // namespace

std::uintptr_t EngineAddress(EngineItem item) {
  switch (item) {
    case EngineItem::kHeap:
      return At(&EngineHeap());
    case EngineItem::kHeapAllocate:
      return At(&HeapAllocate);
    case EngineItem::kHeapFree:
      return At(&HeapFree);
    case EngineItem::kStringFromText:
      return At(&StringFromText);
    case EngineItem::kSetStringFromText:
      return At(&SetStringFromText);
    case EngineItem::kCleanValue:
      return At(&CleanValue);
    case EngineItem::kCopyValue:
      return At(&CopyValue);
    case EngineItem::kArgumentBase:
      return At(&ArgumentBase);
    case EngineItem::kArgumentAt:
      return At(&ArgumentAt);
    case EngineItem::kNativeConstruct:
      return At(&NativeConstruct);
    case EngineItem::kNativeDestruct:
      return At(&NativeDestruct);
    case EngineItem::kNativeParameterAt:
      return At(&NativeParameterAt);
    case EngineItem::kNativeInvoke:
      return At(&NativeInvoke);
    case EngineItem::kNativeSourceFile:
      return At(&NativeSourceFile);
    case EngineItem::kNativeLocalNameAt:
      return At(&NativeLocalNameAt);
    case EngineItem::kBindObject:
      return At(&BindObject);
    case EngineItem::kDestroyObject:
      return At(&DestroyObject);
    case EngineItem::kDestroyClassDescription:
      return At(&DestroyClassDescription);
    case EngineItem::kHandlePolicyGlobal:
      g_handlePolicy = TheMachine().handlePolicy();
      return At(&g_handlePolicy);
    case EngineItem::kDataHandlerGlobal:
      return At(&g_dataHandler);
    case EngineItem::kLookupForm:
      return At(&LookupForm);
  }
  return 0;
}

}  // namespace cw::sim
