#include "QZFramework/Renderer/Gdi/GDIRenderContext.h"

#include <algorithm>

namespace QZ {

LGDIRendererOffscreenSurface::LGDIRendererOffscreenSurface(int32_t width, int32_t height) { Resize(width, height); }

SizeT<int32_t> LGDIRendererOffscreenSurface::GetSize() const {
  return mImage ? SizeT<int32_t>{mImage->Width(), mImage->Height()} : SizeT<int32_t>{};
}

Platform::Graphics::Graphics* LGDIRendererOffscreenSurface::PreparedGraphics() const {
  if (mLent) {
    if (mLentClearPending) {
      mLentClearPending = false;
      mLentGraphics->ResetWorldTransform(); // kept from an earlier frame, maybe moved
      // Drawing failures are not reported.
      (void)mLentGraphics->SetClip(
          {float(mLentClear.x), float(mLentClear.y), float(mLentClear.width), float(mLentClear.height)});
      (void)mLentGraphics->Clear(Platform::Graphics::Color{0});
    }
    return mLentGraphics.get();
  }
  Platform::Graphics::Image* image = GetImage();
  if (!mGraphics && image) {
    mGraphics = Platform::Graphics::Graphics::FromImage(*image);
  }
  return mGraphics.get();
}

Platform::Graphics::Image* LGDIRendererOffscreenSurface::GetImage() const {
  if (mClearPending) {
    mClearPending = false;
    // As fresh as a new image, keeping the memory the drawing will need again.
    (void)mImage->Clear(); // Ok: nothing locks a surface's image across frames
  }
  return mImage.get();
}

void LGDIRendererOffscreenSurface::Resize(int32_t width, int32_t height) {
  width = std::max(width, 1);
  height = std::max(height, 1);
  mGraphics.reset();
  if (mImage && mImage->Width() == width && mImage->Height() == height) {
    mClearPending = true;
    return;
  }
  mClearPending = false;
  mImage = Platform::Graphics::Image::Create(width, height);
}

bool LGDIRendererOffscreenSurface::LendPixels(const GDIWindowPixels& pixels, const RectT<int32_t>& clear) {
  EndLending();
  if (!pixels.pixels || !(GetSize() == SizeT<int32_t>{pixels.width, pixels.height})) {
    return false;
  }
  const bool same = mLentGraphics && mLentPixels.pixels == pixels.pixels && mLentPixels.width == pixels.width &&
                    mLentPixels.height == pixels.height && mLentPixels.pitch == pixels.pitch;
  if (!same) {
    mLentPixels = pixels;
    mLentGraphics =
        Platform::Graphics::Graphics::FromPixels(pixels.pixels, pixels.width, pixels.height, pixels.pitch, nullptr);
  }
  mLent = mLentGraphics != nullptr;
  mLentClear = clear;
  mLentClearPending = mLent && clear.width > 0 && clear.height > 0;
  return mLent;
}

void LGDIRendererOffscreenSurface::EndLending() {
  if (mLentClearPending) {
    (void)GetGraphics(); // a fresh frame that drew nothing shows nothing there
  }
  mLent = false;
  mLentClearPending = false;
}

size_t LGDIRendererOffscreenSurface::MemoryBytes() const { return mImage ? mImage->MemoryBytes() : 0; }

void LGDIRendererOffscreenSurface::CopyOut(Platform::Graphics::Graphics& target, const RectT<int32_t>& source,
                                           const PointT<int32_t>& at) const {
  if (!GetImage()) {
    return;
  }
  const Platform::Graphics::RectF from{float(source.x), float(source.y), float(source.width), float(source.height)};
  // Drawing failures are not reported.
  (void)target.DrawImage(*mImage, {float(at.x), float(at.y), from.width, from.height}, from);
}

LGDIRenderContextInfo::LGDIRenderContextInfo(const RectT<int32_t>& bounds, WindowHandle window, bool offscreenOnly)
    : LRenderContextInfo(bounds, window, offscreenOnly) {
  const SizeT<int32_t> size = GetSurfaceSize();
  mCurrent = RCPtr<LGDIRendererOffscreenSurface>(new LGDIRendererOffscreenSurface(size.width, size.height));
  mBack = RCPtr<LGDIRendererOffscreenSurface>(new LGDIRendererOffscreenSurface(size.width, size.height));
}

SizeT<int32_t> LGDIRenderContextInfo::GetSurfaceSize() const {
  const RectT<int32_t>& bounds = GetBounds();
  return {std::clamp(bounds.width, 1, kMaxSurfaceSide), std::clamp(bounds.height, 1, kMaxSurfaceSide)};
}

size_t LGDIRenderContextInfo::MemoryBytes() const { return mCurrent->MemoryBytes() + mBack->MemoryBytes(); }

void LGDIRenderContextInfo::RecreateSurfaces() {
  const SizeT<int32_t> size = GetSurfaceSize();
  mCurrent->Resize(size.width, size.height);
  // A window's frames never reach its back surface: made fresh at its size, it stays so.
  if (IsOffscreenOnly() || !(mBack->GetSize() == size)) {
    mBack->Resize(size.width, size.height);
  }
}

} // namespace QZ
