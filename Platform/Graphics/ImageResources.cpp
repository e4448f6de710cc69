#include "Platform/Graphics/ImageResources.h"

#include <algorithm>

namespace QZ::Gfx {

std::optional<std::span<const uint8_t>> FindImageResource(std::u16string_view name) {
  for (const ImageResource& resource : ImageResources()) {
    if (std::equal(resource.name.begin(), resource.name.end(), name.begin(), name.end(),
                   [](char stored, char16_t asked) { return char16_t(static_cast<unsigned char>(stored)) == asked; })) {
      return resource.bytes;
    }
  }
  return std::nullopt;
}

} // namespace QZ::Gfx
