#pragma once
// QZ::Platform::Graphics::CachedBitmap: a copy of an image in the drawing surface's own pixel format,
// drawn unscaled (Graphics::DrawCachedBitmap) at whole pixels, under the world
// translation and the clip. The copy does not follow later changes to the image.

#include <cstddef>
#include <memory>

#include "Platform/Graphics/CairoHandles.h"
#include "Platform/Graphics/GraphicsTypes.h"
#include "Platform/Graphics/Image.h"

namespace QZ::Platform::Graphics {

class CachedBitmap {
public:
  // Null with ObjectBusy while the image is locked for writing, OutOfMemory when no copy
  // can be made.
  static std::unique_ptr<CachedBitmap> Create(const Image& image, Status* status = nullptr);
  // Takes over the premultiplied pixels of an image made to be blitted (drawn on, never
  // shown otherwise) instead of copying them. Null with ObjectBusy while the image is
  // locked, OutOfMemory when its pixels cannot be made.
  static std::unique_ptr<CachedBitmap> FromImage(std::unique_ptr<Image> image, Status* status = nullptr);

  int Width() const { return mWidth; }
  int Height() const { return mHeight; }
  // The premultiplied pixels (owned by this object).
  cairo_surface_t* Surface() const { return mSurface.get(); }
  // Bytes the pixels take.
  size_t MemoryBytes() const;

private:
  CachedBitmap(CairoSurface surface, int width, int height)
      : mSurface(std::move(surface)), mWidth(width), mHeight(height) {}

  CairoSurface mSurface;
  int mWidth;
  int mHeight;
};

} // namespace QZ::Platform::Graphics
