#pragma once
// The engine natives that scripts cannot do without, built into the VM: the log
// (Debug), the virtual clock and random numbers (Utility), forms (Game, Form),
// update events, quest and global variable state.
#include <memory>
#include <string>
#include <unordered_map>

#include "papyrus/vm/natives.h"

namespace cw::papyrus::vm {

class EngineNatives : public NativeSource {
 public:
  EngineNatives();
  ~EngineNatives() override;
  Native* Find(std::string_view lowerClass, std::string_view lowerName) override;

 private:
  std::unordered_map<std::string, std::unique_ptr<Native>> natives_;
};

// The form ID of the player's actor.
inline constexpr std::uint32_t kPlayerFormID = 0x14;

}  // namespace cw::papyrus::vm
