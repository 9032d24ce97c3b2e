#pragma once
// Resolved engine addresses. Each declaration names an engine function or object
// by its address identifier; resolution turns it into an offset from the
// executable's base (relative form) or into the address itself (absolute form).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace cw::address {

enum class Form : std::uint8_t { kRelative, kAbsolute };

// The two identifier numberings: one for game versions before 1.6 (databases of
// format 1), one, shared by every 1.6 build, for the later ones (format 2).
enum class Numbering : std::uint8_t { kSE, kAE };

struct Declaration {
  std::uint64_t se;
  std::uint64_t ae;
  Form form;
  constexpr std::uint64_t Id(Numbering numbering) const {
    return numbering == Numbering::kSE ? se : ae;
  }
};

// Finds the offset of an identifier in the loaded version database (exact match).
using FindOffset = std::function<std::optional<std::uint64_t>(std::uint64_t id)>;

class AddressTable {
 public:
  // Resolves every declaration by its identifier in `numbering`, each
  // independently; any failure sets HasBadQuery. `moduleBase` is the database's
  // module base (0 when no database is loaded), `executableBase` the base
  // address that the operating system reports.
  void ResolveAll(std::span<const Declaration> declarations, Numbering numbering,
                  const FindOffset& find, std::uintptr_t moduleBase, std::uintptr_t executableBase);

  // Relative slots: executable base plus offset; absolute slots: the stored address.
  std::uintptr_t AddressOf(std::size_t index) const {
    const Slot& slot = slots_[index];
    return slot.form == Form::kRelative ? executableBase_ + slot.value : slot.value;
  }
  std::uint64_t SlotValue(std::size_t index) const { return slots_[index].value; }
  bool HasBadQuery() const { return hasBadQuery_; }
  // The identifiers that did not resolve, in declaration order.
  const std::vector<std::uint64_t>& Missing() const { return missing_; }
  std::uintptr_t ExecutableBase() const { return executableBase_; }

 private:
  struct Slot {
    Form form;
    std::uint64_t value;
  };
  std::vector<Slot> slots_;
  std::vector<std::uint64_t> missing_;
  std::uintptr_t executableBase_ = 0;
  bool hasBadQuery_ = false;
};

// The plugin's table, resolved once while the library is loaded.
AddressTable& Table();

}  // namespace cw::address
