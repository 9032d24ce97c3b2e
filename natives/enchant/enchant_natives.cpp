// The natives of FWChildEnchant: one value of a child enchantment's key file.
// Each catches everything and answers its failure value.
#include "natives/enchant/enchant_natives.h"

#include <string>

#include "natives/enchant/enchantment_files.h"
#include "natives/enchant/key_file.h"
#include "plugin/host_services.h"

namespace cw::natives {
namespace {

std::string EnchantmentPath(StringCache::Ref fileName) {
  return enchant::EnchantmentFilePath(fileName.c_str());
}

std::uint32_t ReadNumber(StringCache::Ref fileName, const char* key) {
  try {
    return enchant::ReadKeyFileNumber(EnchantmentPath(fileName), key);
  } catch (...) {
    return 0;
  }
}

}  // namespace

StringCache::Ref GetModFile(StaticFunctionTag*, StringCache::Ref fileName) {
  try {
    return host::MakeString(enchant::ReadKeyFileValue(EnchantmentPath(fileName), "modName"));
  } catch (...) {
    return {};
  }
}

std::uint32_t GetFormID(StaticFunctionTag*, StringCache::Ref fileName) {
  return ReadNumber(fileName, "form");
}

std::uint32_t GetPowerMin(StaticFunctionTag*, StringCache::Ref fileName) {
  return ReadNumber(fileName, "power_min");
}

std::uint32_t GetPowerMax(StaticFunctionTag*, StringCache::Ref fileName) {
  return ReadNumber(fileName, "power_max");
}

}  // namespace cw::natives
