#pragma once
// The script extender's side of the plugin protocol: the interface record handed
// to query and load, the serialization and Papyrus interfaces, and a record of
// what the plugin asked of them.
#include <cstdint>
#include <string>
#include <vector>

#include "host/skse_records.h"

namespace cw::sim {

struct SkseOptions {
  std::uint32_t runtimeVersion = 0x01050610;   // 1.5.97.0
  std::uint32_t extenderVersion = 0x02000110;  // 2.0.17
  bool isEditor = false;
};

class SkseHost {
 public:
  explicit SkseHost(const SkseOptions& options);
  const skse::Interface* interface() const { return &interface_; }
  // Runs the registration callbacks that load handed over, in order.
  void RunCallbacks(TableObject* registry);
  // What the plugin did, one line per event ("query interface 3", ...).
  const std::vector<std::string>& events() const;

 private:
  skse::Interface interface_{};
};

// Packs A.B.C.D as the script extender numbers runtime versions.
std::uint32_t PackRuntimeVersion(int a, int b, int c, int d);

}  // namespace cw::sim
