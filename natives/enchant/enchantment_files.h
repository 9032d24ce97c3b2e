#pragma once
// Where the child enchantments' key files live.
#include <string>
#include <string_view>

namespace cw::enchant {

inline constexpr std::string_view kEnchantmentFolder = "Data/Cradlewright/Enchantment/";

// The folder followed by the file name exactly as given (a sub-folder in the name
// stays a sub-folder; no extension is added).
inline std::string EnchantmentFilePath(std::string_view fileName) {
  std::string path(kEnchantmentFolder);
  path.append(fileName);
  return path;
}

}  // namespace cw::enchant
