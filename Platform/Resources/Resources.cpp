#include "Platform/Resources/Resources.h"

#include <algorithm>

namespace QZ::Platform::Resources {

std::optional<std::span<const uint8_t>> Module::Find(std::u16string_view name, std::string_view type) const {
  const auto sameName = [name](std::string_view stored) {
    return std::equal(stored.begin(), stored.end(), name.begin(), name.end(),
                      [](char unit, char16_t asked) { return char16_t(static_cast<unsigned char>(unit)) == asked; });
  };
  for (const Resource& resource : mResources) {
    if (resource.type == type && sameName(resource.name)) {
      return resource.bytes;
    }
  }
  return std::nullopt;
}

} // namespace QZ::Platform::Resources
