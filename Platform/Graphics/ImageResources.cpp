#include "Platform/Graphics/ImageResources.h"

#include "Platform/Resources/Resources.h"

namespace QZ::Platform::Graphics {

std::optional<std::span<const uint8_t>> FindImageResource(std::u16string_view name) {
  return Platform::Resources::Module::Program().Find(name, Platform::Resources::kImageType);
}

} // namespace QZ::Platform::Graphics
