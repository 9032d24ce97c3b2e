#pragma once
// The simulated engine's loaded data: mod files in load order, forms and quests,
// laid out as the engine keeps them so that the plugin reads them in place.
//
// Everything is added before natives run; afterwards the data is only read, from
// any thread. Objects are never moved once added: their addresses stay valid for
// the life of the EngineData.
#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <shared_mutex>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "plugin/engine_types.h"

namespace cw::sim {

class EngineData {
 public:
  EngineData();
  ~EngineData();
  EngineData(const EngineData&) = delete;
  EngineData& operator=(const EngineData&) = delete;

  // Appends a mod file at the end of the load order: to the mod-file list and to
  // the loaded regular mods. A name longer than the engine's field is cut.
  TESFile& AddMod(std::string_view name);

  // Adds a form that the look-up finds by its ID. A later form with the same ID
  // takes the earlier one's place in the look-up; the earlier stays in memory.
  TESForm& AddForm(std::uint32_t formID, std::uint8_t formType = 0);

  // Adds a quest (form type 77) at the end of the quest array and to the look-up.
  TESQuest& AddQuest(std::uint32_t formID);

  DataHandler* Handler() { return handler_.get(); }
  const DataHandler* Handler() const { return handler_.get(); }

  // The form with that ID, or null.
  TESForm* Find(std::uint32_t formID) const;

  // Makes this the data behind g_dataHandler and LookupFormByID. The destructor
  // of the current data clears both.
  void MakeCurrent();
  static EngineData* Current();

 private:
  void Register(TESForm& form);

  std::unique_ptr<DataHandler> handler_;
  std::deque<TESFile> files_;
  std::deque<TESFileNode> nodes_;  // the nodes after the head, which lives in the handler
  TESFileNode* tail_;
  std::vector<TESFile*> loadedMods_;
  std::deque<TESForm> forms_;
  std::deque<TESQuest> quests_;
  std::vector<TESQuest*> questArray_;
  mutable std::shared_mutex mutex_;
  std::unordered_map<std::uint32_t, TESForm*> byID_;
};

// The engine global that holds the data handler; the plugin reads the pointer
// through this global's address. Null while no EngineData is current.
extern DataHandler* g_dataHandler;

// The engine's form look-up over the current EngineData: the form, or null.
TESForm* LookupFormByID(std::uint32_t formID);

}  // namespace cw::sim
