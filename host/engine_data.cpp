#include "host/engine_data.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <limits>
#include <mutex>

#include "host/engine/functions.h"

namespace cw::sim {

DataHandler* g_dataHandler = nullptr;

namespace {

std::atomic<EngineData*> g_current{nullptr};

// What the engine's forms point to at 0x00.
const std::uint64_t g_formTable[4] = {};

template <class T>
void Publish(PointerArray<T>& array, std::vector<T*>& items) {
  constexpr std::size_t kMax = std::numeric_limits<std::uint32_t>::max();
  array.data = items.data();
  array.capacity = static_cast<std::uint32_t>(std::min(items.capacity(), kMax));
  array.count = static_cast<std::uint32_t>(std::min(items.size(), kMax));
}

}  // namespace

EngineData::EngineData() : handler_(std::make_unique<DataHandler>()), tail_(&handler_->files) {}

EngineData::~EngineData() {
  EngineData* self = this;
  if (g_current.compare_exchange_strong(self, nullptr)) g_dataHandler = nullptr;
}

PluginFile& EngineData::AddPlugin(std::string_view name, PluginKind kind) {
  PluginFile& file = files_.emplace_back();
  // Fields the plugin has no business reading hold something other than zeros.
  std::memset(file.unk000, 0xCD, sizeof file.unk000);
  std::memset(file.unk15C, 0xCD, sizeof file.unk15C);
  const std::size_t length = std::min(name.size(), sizeof(file.name) - 1);
  std::copy_n(name.data(), length, file.name);
  file.name[length] = '\0';
  file.lightIndex = 0;
  switch (kind) {
    case PluginKind::kRegular:
      file.compileIndex = static_cast<std::uint8_t>(loadedRegular_.size());
      loadedRegular_.push_back(&file);
      Publish(handler_->loadedRegular, loadedRegular_);
      break;
    case PluginKind::kLight:
      file.compileIndex = kLightCompileIndex;
      file.lightIndex = static_cast<std::uint16_t>(loadedLight_.size());
      loadedLight_.push_back(&file);
      Publish(handler_->loadedLight, loadedLight_);
      break;
    case PluginKind::kInactive:
      file.compileIndex = kNotLoadedIndex;
      break;
  }

  if (handler_->files.file == nullptr) {
    handler_->files.file = &file;
  } else {
    PluginNode& node = nodes_.emplace_back();
    node.file = &file;
    node.next = nullptr;
    tail_->next = &node;
    tail_ = &node;
  }
  return file;
}

Form& EngineData::AddForm(std::uint32_t formID, std::uint8_t formType) {
  Form& form = forms_.emplace_back();
  form.table = g_formTable;
  form.formID = formID;
  form.formType = formType;
  Register(form);
  return form;
}

Form& EngineData::AddQuest(std::uint32_t formID) {
  Form& quest = AddForm(formID, kQuestFormType);
  quests_.push_back(&quest);
  Publish(handler_->formsOfType[kQuestFormType], quests_);
  return quest;
}

void EngineData::Register(Form& form) {
  std::unique_lock lock(mutex_);
  byID_[form.formID] = &form;
}

Form* EngineData::Find(std::uint32_t formID) const {
  std::shared_lock lock(mutex_);
  const auto found = byID_.find(formID);
  return found == byID_.end() ? nullptr : found->second;
}

void EngineData::MakeCurrent() {
  g_current.store(this);
  g_dataHandler = handler_.get();
}

EngineData* EngineData::Current() {
  return g_current.load();
}

Form* LookupForm(std::uint32_t formID) {
  const EngineData* data = EngineData::Current();
  return data != nullptr ? data->Find(formID) : nullptr;
}

}  // namespace cw::sim
