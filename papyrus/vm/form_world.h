#pragma once
// The forms the game has loaded, as the VM asks about them: the one interface
// between the VM and whatever holds the load order and the forms.
#include <cstdint>
#include <optional>
#include <string_view>

namespace cw::papyrus::vm {

class FormWorld {
 public:
  virtual ~FormWorld() = default;
  // The form type of a loaded form; nullopt when no form has that ID.
  virtual std::optional<std::uint8_t> FormType(std::uint32_t formID) const = 0;
  // The run-time ID of a file's own form number (Game.GetFormFromFile); nullopt
  // when the file is not loaded or has no such form.
  virtual std::optional<std::uint32_t> FormInFile(std::uint32_t localID,
                                                  std::string_view fileName) const = 0;
};

}  // namespace cw::papyrus::vm
