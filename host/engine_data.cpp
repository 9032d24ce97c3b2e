#include "host/engine_data.h"

#include <algorithm>
#include <limits>
#include <mutex>

namespace cw::sim {

DataHandler* g_dataHandler = nullptr;

namespace {

std::atomic<EngineData*> g_current{nullptr};

template <class T>
void Publish(EngineArray<T>& array, std::vector<T*>& items) {
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

TESFile& EngineData::AddMod(std::string_view name) {
  TESFile& file = files_.emplace_back();
  const std::size_t length = std::min(name.size(), sizeof(file.fileName) - 1);
  std::copy_n(name.data(), length, file.fileName);
  file.fileName[length] = '\0';

  if (handler_->files.entry == nullptr) {
    handler_->files.entry = &file;
  } else {
    TESFileNode& node = nodes_.emplace_back();
    node.entry = &file;
    node.next = nullptr;
    tail_->next = &node;
    tail_ = &node;
  }
  loadedMods_.push_back(&file);
  Publish(handler_->loadedMods, loadedMods_);
  return file;
}

TESForm& EngineData::AddForm(std::uint32_t formID, std::uint8_t formType) {
  TESForm& form = forms_.emplace_back();
  form.formID = formID;
  form.formType = formType;
  Register(form);
  return form;
}

TESQuest& EngineData::AddQuest(std::uint32_t formID) {
  TESQuest& quest = quests_.emplace_back();
  quest.formID = formID;
  quest.formType = kFormTypeQuest;
  questArray_.push_back(&quest);
  Publish(handler_->quests, questArray_);
  Register(quest);
  return quest;
}

void EngineData::Register(TESForm& form) {
  std::unique_lock lock(mutex_);
  byID_[form.formID] = &form;
}

TESForm* EngineData::Find(std::uint32_t formID) const {
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

TESForm* LookupFormByID(std::uint32_t formID) {
  const EngineData* data = EngineData::Current();
  return data != nullptr ? data->Find(formID) : nullptr;
}

}  // namespace cw::sim
