#pragma once
// The simulated engine's loaded data: plugin files in the order the engine found
// them, forms and quests, laid out as the engine keeps them so that the plugin
// reads them in place.
//
// Everything is added before natives run; afterwards the data is only read, from
// any thread. Objects are never moved once added: their addresses stay valid for
// the life of the EngineData.
#include <cstdint>
#include <deque>
#include <memory>
#include <shared_mutex>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "host/engine/data_records.h"

namespace cw::sim {

// How the engine holds a plugin file it found.
enum class PluginKind {
  kRegular,   // loaded, with the next load-order index
  kLight,     // loaded as a light plugin, with the next light index
  kInactive,  // found but not loaded
};

class EngineData {
 public:
  EngineData();
  ~EngineData();
  EngineData(const EngineData&) = delete;
  EngineData& operator=(const EngineData&) = delete;

  // Appends a plugin file to the list of files found and, when loaded, to the
  // loaded regular or light plugins with the indices the engine assigns. A name
  // longer than the engine's field is cut.
  PluginFile& AddPlugin(std::string_view name, PluginKind kind = PluginKind::kRegular);

  // Adds a form that the look-up finds by its ID. A later form with the same ID
  // takes the earlier one's place in the look-up; the earlier stays in memory.
  Form& AddForm(std::uint32_t formID, std::uint8_t formType = 0);

  // Adds a quest (form type 77) at the end of the quest array and to the look-up.
  Form& AddQuest(std::uint32_t formID);

  DataHandler* Handler() { return handler_.get(); }
  const DataHandler* Handler() const { return handler_.get(); }

  // The form with that ID, or null.
  Form* Find(std::uint32_t formID) const;

  // Makes this the data behind the data handler global and the form look-up. The
  // destructor of the current data clears both.
  void MakeCurrent();
  static EngineData* Current();

 private:
  void Register(Form& form);

  std::unique_ptr<DataHandler> handler_;
  std::deque<PluginFile> files_;
  std::deque<PluginNode> nodes_;  // the nodes after the head, which lives in the handler
  PluginNode* tail_;
  std::vector<PluginFile*> loadedRegular_;
  std::vector<PluginFile*> loadedLight_;
  std::deque<Form> forms_;
  std::vector<Form*> quests_;
  mutable std::shared_mutex mutex_;
  std::unordered_map<std::uint32_t, Form*> byID_;
};

// The engine global that holds the data handler; the plugin reads the pointer
// through this global's address. Null while no EngineData is current.
extern DataHandler* g_dataHandler;

}  // namespace cw::sim
