#include "host/engine_addresses.h"

#include "host/engine/heap.h"
#include "host/engine/machine.h"
#include "host/engine_data.h"

namespace cw::sim {

namespace {
vm::HandlePolicy* g_handlePolicy = nullptr;

template <class F>
std::uintptr_t At(F* f) {
  return reinterpret_cast<std::uintptr_t>(f);
}
}  // namespace

std::uintptr_t EngineAddress(engine::Id id) {
  namespace d = engine::decl;
  switch (id) {
    case engine::kHeap:
      return At(&EngineHeap());
    case engine::kHeapAllocate:
      return At(&d::HeapAllocate);
    case engine::kHeapFree:
      return At(&d::HeapFree);
    case engine::kCreateString:
      return At(&d::CreateString);
    case engine::kSetString:
      return At(&d::SetString);
    case engine::kCleanValue:
      return At(&d::CleanValue);
    case engine::kCopyValue:
      return At(&d::CopyValue);
    case engine::kArgBaseOffset:
      return At(&d::ArgBaseOffset);
    case engine::kArgAt:
      return At(&d::ArgAt);
    case engine::kNativeBaseConstruct:
      return At(&d::NativeBaseConstruct);
    case engine::kNativeBaseDestroy:
      return At(&d::NativeBaseDestroy);
    case engine::kNativeParamAt:
      return At(&d::NativeParamAt);
    case engine::kNativeInvoke:
      return At(&d::NativeInvoke);
    case engine::kNativeSourceFile:
      return At(&d::NativeSourceFile);
    case engine::kNativeLocalNameAt:
      return At(&d::NativeLocalNameAt);
    case engine::kBindObject:
      return At(&d::BindObject);
    case engine::kDestroyBoundObject:
      return At(&d::DestroyBoundObject);
    case engine::kDestroyClassInfo:
      return At(&d::DestroyClassInfo);
    case engine::kHandlePolicy:
      g_handlePolicy = TheMachine().policy();
      return At(&g_handlePolicy);
    case engine::kDataHandler:
      return At(&g_dataHandler);
    case engine::kLookupFormByID:
      return At(&d::LookupFormByID);
    case engine::kIdCount:
      break;
  }
  return 0;
}

}  // namespace cw::sim
