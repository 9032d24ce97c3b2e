#pragma once
// What the Papyrus VM of the simulator calls into: the natives the plugin
// registered with the simulated engine, each run through its native function
// object's marshal-and-dispatch with a call frame as the engine runs it, and the
// simulator's loaded forms.
#include <memory>
#include <string>
#include <unordered_map>

#include "host/engine/machine.h"
#include "papyrus/vm/form_world.h"
#include "papyrus/vm/natives.h"

namespace cw::sim {

class PluginNatives : public papyrus::vm::NativeSource {
 public:
  // Every native registered with the machine so far.
  explicit PluginNatives(Machine& machine);
  ~PluginNatives() override;
  papyrus::vm::Native* Find(std::string_view lowerClass, std::string_view lowerName) override;

 private:
  std::unordered_map<std::string, std::unique_ptr<papyrus::vm::Native>> natives_;
};

// The forms of the simulator's current engine data.
class SimulatorForms : public papyrus::vm::FormWorld {
 public:
  std::optional<std::uint8_t> FormType(std::uint32_t formID) const override;
  std::optional<std::uint32_t> FormInFile(std::uint32_t localID,
                                          std::string_view fileName) const override;
};

}  // namespace cw::sim
