// Bitmaps: fitted once per (bitmap, target size) into a cached bitmap, then blitted; at
// their own size, blitted straight from their pixels.
#include <cmath>
#include <stdexcept>

#include "QZFramework/Renderer/Gdi/GDIRenderer.h"

namespace QZ {

namespace {

// Copies of the source at its own size, from the top-left corner on; a texture-brush fill
// when either direction takes three copies or more. An empty source tiles nothing.
void Tile(Platform::Graphics::Graphics& graphics, const Platform::Graphics::Image& image, const RectT<int32_t>& source,
          int32_t width, int32_t height) {
  if (source.width <= 0 || source.height <= 0) {
    return;
  }
  const Platform::Graphics::RectF from{float(source.x), float(source.y), float(source.width), float(source.height)};
  if (width / from.width < 3 && height / from.height < 3) {
    for (int32_t x = 0; x < width; x += source.width) {
      for (int32_t y = 0; y < height; y += source.height) {
        // Drawing failures are not reported.
        (void)graphics.DrawImage(image, {float(x), float(y), from.width, from.height}, from);
      }
    }
    return;
  }
  if (const auto brush = Platform::Graphics::Brush::Texture(image, {source.x, source.y, source.width, source.height})) {
    (void)graphics.FillRectangle(*brush, {0, 0, float(width), float(height)}); // drawing failures are not reported
  }
}

} // namespace

QZResult LGDIRenderer::DrawBitmap(const ConstRCPtr<LBitmap>& bitmap, const RectT<int32_t>& destination,
                                  ResizeType resize) {
  if (!mCurrent) {
    Throw<std::runtime_error>({"QZ::LGDIRenderer::DrawBitmap", R"(Renderer\Gdi\GDIRenderer)", 568});
  }
  const Platform::Graphics::Image* image = bitmap ? bitmap->GetNativeBitmap() : nullptr;
  if (!image || !Target() || ClippedOut(destination)) {
    return QZ_OK;
  }
  const RectT<int32_t>& source = bitmap->GetRect();
  // At its own size every resize type draws the bitmap as it is: a copy would only take
  // memory.
  const bool ownSize = source.width == destination.width && source.height == destination.height;
  const LCachedBitmap* cached = nullptr;
  if (!ownSize) {
    RCPtr<LCachedBitmap>& entry = mBitmaps.Acquire({bitmap, destination.width, destination.height});
    if (!entry) {
      entry = BuildCachedBitmap(*bitmap, *image, destination.width, destination.height, resize);
    }
    if (!entry) {
      return QZ_OK; // nothing to draw
    }
    cached = entry.Get();
  }
  if (DrewBitmapInPlace(*image, source, cached, destination)) {
    return QZ_OK;
  }
  Platform::Graphics::Graphics* graphics = DrawingTarget(&destination);
  if (!cached) {
    // Drawing failures are not reported.
    (void)graphics->DrawImageUnscaled(*image, {source.x, source.y, source.width, source.height}, destination.x,
                                      destination.y);
  } else if (cached->Get()) {
    (void)graphics->DrawCachedBitmap(*cached->Get(), destination.x, destination.y); // drawing failures are not reported
  } else {
    // Where the blit would go: the corner moved by the translation, rounded.
    const RenderState& state = mCurrent->GetState();
    const float left = std::round(float(destination.x + state.origin.x));
    const float top = std::round(float(destination.y + state.origin.y));
    graphics->ResetWorldTransform();
    // Drawing failures are not reported.
    (void)graphics->FillRectangle(Platform::Graphics::Brush::Solid(cached->GetSolid()),
                                  {left, top, float(destination.width), float(destination.height)});
    graphics->TranslateWorldTransform(float(state.origin.x), float(state.origin.y));
  }
  return QZ_OK;
}

bool LGDIRenderer::DrewBitmapInPlace(const Platform::Graphics::Image& image, const RectT<int32_t>& source,
                                     const LCachedBitmap* cached, const RectT<int32_t>& destination) {
  // Blits and fills of whole pixels take the state alone: the same pixels as through the
  // graphics' transform and clip, most of a paint's bitmaps without carrying those over.
  Platform::Graphics::Rect device;
  Platform::Graphics::Rect clip;
  if (!InWholePixels(destination, device, clip)) {
    return false;
  }
  Platform::Graphics::Graphics& graphics = *Target();
  if (!cached) {
    return graphics.BlitImageOver(image, {source.x, source.y, source.width, source.height}, device.x, device.y, clip);
  }
  if (cached->Get()) {
    return graphics.BlitCachedBitmapOver(*cached->Get(), device.x, device.y, clip);
  }
  // Drawing failures are not reported.
  (void)graphics.FillOpaquePixels(device, clip, cached->GetSolid());
  return true;
}

RCPtr<LGDIRenderer::LCachedBitmap> LGDIRenderer::BuildCachedBitmap(const LBitmap& bitmap,
                                                                   const Platform::Graphics::Image& image,
                                                                   int32_t width, int32_t height,
                                                                   ResizeType resize) const {
  const RectT<int32_t>& source = bitmap.GetRect();
  if (source.width == width && source.height == height) {
    resize = ResizeType::Stretch;
  }
  if (resize != ResizeType::Stretch && resize != ResizeType::Tile && resize != ResizeType::Center) {
    Throw<std::invalid_argument>({"QZ::LGDIRenderer::DrawBitmap", R"(Renderer\Gdi\GDIRenderer)", 559},
                                 "Invalid ResizeType passed to DrawBitmap.");
  }
  if (width <= 0 || height <= 0) {
    return nullptr; // an empty target
  }
  if (resize != ResizeType::Center) {
    // Stretched or tiled, one opaque colour makes every pixel of the target that colour
    // (read from the pixels drawing uses, making no straight copy of them).
    if (const auto solid = image.UniformOpaqueColor({source.x, source.y, source.width, source.height})) {
      return RCPtr<LCachedBitmap>(new LCachedBitmap(*solid));
    }
  }
  auto work = Platform::Graphics::Image::Create(width, height);
  if (!work) {
    return nullptr; // an impossibly large target
  }
  {
    // A fresh graphics, with the drawing layer's default modes (bilinear stretching).
    auto graphics = Platform::Graphics::Graphics::FromImage(*work);
    const Platform::Graphics::RectF from{float(source.x), float(source.y), float(source.width), float(source.height)};
    switch (resize) {
    case ResizeType::Stretch:
      (void)graphics->DrawImage(image, {0, 0, float(width), float(height)}, from); // drawing failures are not reported
      break;
    case ResizeType::Tile:
      Tile(*graphics, image, source, width, height);
      break;
    case ResizeType::Center:
      // At its own size, possibly half a pixel off the grid: sampling the nearest pixel
      // keeps every pixel sharp where a bilinear sample would blend neighbours.
      graphics->SetInterpolationMode(Platform::Graphics::InterpolationMode::NearestNeighbor);
      (void)graphics->DrawImage(image,
                                {(width - from.width) * 0.5f, (height - from.height) * 0.5f, from.width, from.height},
                                from); // drawing failures are not reported
      break;
    }
  }
  auto cached = Platform::Graphics::CachedBitmap::FromImage(std::move(work));
  return cached ? RCPtr<LCachedBitmap>(new LCachedBitmap(std::move(cached))) : nullptr;
}

} // namespace QZ
