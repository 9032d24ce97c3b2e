#include "address/address_table.h"

namespace cw::address {

void AddressTable::ResolveAll(std::span<const Declaration> declarations, Numbering numbering,
                              const FindOffset& find, std::uintptr_t moduleBase,
                              std::uintptr_t executableBase) {
  executableBase_ = executableBase;
  slots_.assign(declarations.size(), Slot{Form::kRelative, 0});
  missing_.clear();
  for (std::size_t i = 0; i < declarations.size(); ++i) {
    const Declaration& d = declarations[i];
    Slot& slot = slots_[i];
    slot.form = d.form;
    const std::uint64_t id = d.Id(numbering);
    const std::optional<std::uint64_t> offset = find(id);
    bool ok = offset.has_value();
    if (ok && d.form == Form::kRelative) {
      slot.value = *offset;
    } else if (ok) {
      // Absolute: needs a loaded database, and the sum must not be null.
      const std::uint64_t address = static_cast<std::uint64_t>(moduleBase) + *offset;
      ok = moduleBase != 0 && address != 0;
      slot.value = ok ? address : 0;
    }
    if (!ok) {
      slot.value = 0;
      hasBadQuery_ = true;
      missing_.push_back(id);
    }
  }
}

AddressTable& Table() {
  static AddressTable table;
  return table;
}

}  // namespace cw::address
