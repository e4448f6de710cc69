#pragma once
// Conversions from the renderer's colour and geometry types to the drawing layer's
// (internal to the GDI renderer).

#include "Platform/Graphics/GraphicsTypes.h"
#include "QZFramework/Utilities/Graphics/Color.h"
#include "QZFramework/Utilities/Graphics/Geometry.h"

namespace QZ {

inline Platform::Graphics::Color ToGfxColor(const ColorT<float>& color) {
  return Platform::Graphics::Color{color.ToARGB()};
}

inline Platform::Graphics::RectF ToRectF(const RectT<int32_t>& rect) {
  return {float(rect.x), float(rect.y), float(rect.width), float(rect.height)};
}

} // namespace QZ
