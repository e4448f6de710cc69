// Frames, drawing state, rectangles, lines and the copying of render contexts.
#include "QZFramework/Renderer/Gdi/GDIRenderer.h"

#include <algorithm>
#include <cmath>
#include <typeinfo>
#include <utility>

#include "QZFramework/Renderer/ClipIntersection.h"
#include "QZFramework/Renderer/Gdi/GDIRendererSupport.h"

namespace QZ {

namespace {

// Whether a region of one rectangle holds the whole bounds.
bool CoversBounds(const RectListT<int32_t>& region, const RectT<int32_t>& bounds) {
  const EdgeRect& only = *region.begin();
  return only.left <= bounds.x && only.top <= bounds.y && int64_t(only.right) >= int64_t(bounds.x) + bounds.width &&
         int64_t(only.bottom) >= int64_t(bounds.y) + bounds.height;
}

// Cairo keeps coordinates in 24.8 fixed point (below 2^23): clip edges are held well
// inside that range, far beyond any surface, so the unlimited clip of a new state stays
// unlimited.
constexpr double kCoordinateLimit = 2097152.0;

float Limited(double value) { return float(std::clamp(value, -kCoordinateLimit, kCoordinateLimit)); }

// Whether outer holds all of inner (an empty inner is held by anything).
bool Holds(const RectT<double>& outer, const RectT<double>& inner) {
  return inner.width <= 0.0 || inner.height <= 0.0 ||
         (inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.width <= outer.x + outer.width &&
          inner.y + inner.height <= outer.y + outer.height);
}

// Coordinates whose every step to the drawing layer (a float, an edge of the clip at most
// kCoordinateLimit from the origin, a device coordinate) keeps them exact.
constexpr int32_t kExactLimit = int32_t(kCoordinateLimit / 2);

bool IsExactPixel(int32_t value) { return value > -kExactLimit && value < kExactLimit; }

// The whole pixels around the line from one point to the other; empty (drawn whatever the
// clip) when a coordinate is not a number.
RectT<int32_t> Extent(const PointT<double>& from, const PointT<double>& to) {
  if (!std::isfinite(from.x) || !std::isfinite(from.y) || !std::isfinite(to.x) || !std::isfinite(to.y)) {
    return {};
  }
  auto limited = [](double value) { return int32_t(std::clamp(value, -kCoordinateLimit, kCoordinateLimit)); };
  const int32_t left = limited(std::floor(std::min(from.x, to.x)));
  const int32_t top = limited(std::floor(std::min(from.y, to.y)));
  return {left, top, limited(std::ceil(std::max(from.x, to.x))) - left,
          limited(std::ceil(std::max(from.y, to.y))) - top};
}

} // namespace

LGDIRenderer::LGDIRenderer(MillisecondClock clock, uint32_t purgeInterval)
    : mMeasuringImage(Platform::Graphics::Image::Create(1, 1)), mClock(std::move(clock)),
      mPurgeInterval(purgeInterval) {
  if (mMeasuringImage) {
    mMeasuring = Platform::Graphics::Graphics::FromImage(*mMeasuringImage);
  }
}

LGDIRenderer::~LGDIRenderer() = default;

QZResult LGDIRenderer::InitRenderContextInfo(const RectT<int32_t>& bounds, WindowHandle window, bool offscreenOnly,
                                             RCPtr<LRenderContextInfo>& out) {
  out = RCPtr<LRenderContextInfo>(new LGDIRenderContextInfo(bounds, window, offscreenOnly));
  return QZ_OK;
}

size_t LGDIRenderer::GetCachedBitmapBytes() const {
  size_t bytes = 0;
  mBitmaps.ForEachObject([&](const LCachedBitmap& cached) { bytes += cached.Get() ? cached.Get()->MemoryBytes() : 0; });
  return bytes;
}

bool LGDIRenderer::ClippedOut(const RectT<int32_t>& extent, double margin) const {
  if (!mCurrent || (extent.width == 0 && extent.height == 0 && extent.x == 0 && extent.y == 0)) {
    return false;
  }
  const RectT<double> grown{extent.x - margin, extent.y - margin, extent.width + 2 * margin,
                            extent.height + 2 * margin};
  RectT<double> common;
  return !IntersectClip(common, grown, mCurrent->GetState().clip);
}

void LGDIRenderer::CoverWholeSurface(const RectT<int32_t>& rect) {
  const RCPtr<LGDIRendererOffscreenSurface>& surface = mCurrent->GetCurrentSurface();
  if (!surface->IsClearPending()) {
    return; // nothing to drop: most frames keep their pixels
  }
  const RenderState& state = mCurrent->GetState();
  const SizeT<int32_t> size = surface->GetSize();
  const RectT<double> whole{0.0, 0.0, double(size.width), double(size.height)};
  if (Holds(rect.ToDouble().Offset(state.origin.x, state.origin.y), whole) &&
      Holds(state.clip.Offset(state.origin.x, state.origin.y), whole)) {
    surface->WillCoverWhole();
  }
}

Platform::Graphics::Graphics* LGDIRenderer::Target() const {
  return mCurrent ? mCurrent->GetCurrentSurface()->GetGraphics() : nullptr;
}

bool LGDIRenderer::HasTarget() const { return mCurrent && mCurrent->GetCurrentSurface()->GetSize().width > 0; }

Platform::Graphics::Graphics* LGDIRenderer::DrawingTarget(const RectT<int32_t>* extent) {
  Platform::Graphics::Graphics* graphics = Target();
  if (!graphics) {
    return nullptr;
  }
  if (mApplied.graphics != graphics) {
    // The frame's first drawing on these graphics (which may be new): the frame's modes.
    graphics->SetSmoothingMode(Platform::Graphics::SmoothingMode::HighSpeed);
    graphics->SetInterpolationMode(Platform::Graphics::InterpolationMode::NearestNeighbor);
    graphics->SetPixelOffsetMode(Platform::Graphics::PixelOffsetMode::HighSpeed);
    graphics->SetCompositingMode(Platform::Graphics::CompositingMode::SourceOver);
  }
  const RenderState& state = mCurrent->GetState();
  RectT<double> deviceClip = state.clip.Offset(state.origin.x, state.origin.y);
  if (IsLent()) {
    deviceClip = ConfinedToLent(deviceClip);
  }
  bool clipStays = mApplied.graphics == graphics && mApplied.deviceClip == deviceClip;
  if (!clipStays && mApplied.graphics == graphics && extent) {
    const RectT<double> deviceExtent = extent->ToDouble().Offset(state.origin.x, state.origin.y);
    clipStays = Holds(deviceClip, deviceExtent) && Holds(mApplied.deviceClip, deviceExtent);
  }
  if (!clipStays) {
    const SizeT<int32_t> size = mCurrent->GetCurrentSurface()->GetSize();
    ApplyState(*graphics, state.origin, deviceClip.Offset(-state.origin.x, -state.origin.y),
               Holds(deviceClip, {0.0, 0.0, double(size.width), double(size.height)}));
    mApplied = {graphics, state.origin, deviceClip};
  } else if (!(mApplied.origin == state.origin)) {
    graphics->SetWorldTranslation(float(state.origin.x), float(state.origin.y));
    mApplied.origin = state.origin;
  }
  return graphics;
}

bool LGDIRenderer::InWholePixels(const RectT<int32_t>& rect, Platform::Graphics::Rect& device,
                                 Platform::Graphics::Rect& clip) const {
  const RenderState& state = mCurrent->GetState();
  RectT<double> deviceClip = state.clip.Offset(state.origin.x, state.origin.y);
  if (IsLent()) {
    deviceClip = ConfinedToLent(deviceClip);
  }
  const double right = deviceClip.x + deviceClip.width;
  const double bottom = deviceClip.y + deviceClip.height;
  // IsExactPixel of each value, whole numbers tested two at a time first.
  if (rect.width <= 0 || rect.height <= 0 || !IsExactPixel(rect.x) || !IsExactPixel(rect.y) ||
      !IsExactPixel(rect.width) || !IsExactPixel(rect.height) || !(deviceClip.width >= 0.0) ||
      !(deviceClip.height >= 0.0) || !AreWholeInt32(state.origin.x, state.origin.y, deviceClip.x, deviceClip.y) ||
      !AreWholeInt32(right, bottom, right, bottom)) {
    return false;
  }
  const int32_t originX = int32_t(state.origin.x);
  const int32_t originY = int32_t(state.origin.y);
  if (!IsExactPixel(originX) || !IsExactPixel(originY) || !IsExactPixel(int32_t(deviceClip.x)) ||
      !IsExactPixel(int32_t(deviceClip.y)) || !IsExactPixel(int32_t(right)) || !IsExactPixel(int32_t(bottom))) {
    return false;
  }
  device = {rect.x + originX, rect.y + originY, rect.width, rect.height};
  clip = {int32_t(deviceClip.x), int32_t(deviceClip.y), int32_t(deviceClip.width), int32_t(deviceClip.height)};
  return true;
}

bool LGDIRenderer::FilledOpaqueInPlace(const RectT<int32_t>& rect, uint32_t argb) {
  // The drawing modes are the frame's (no smoothing, whole pixel offsets), which fill whole
  // pixels as they are: the state alone decides, and it needs to be exact.
  Platform::Graphics::Rect device;
  Platform::Graphics::Rect clip;
  if (!InWholePixels(rect, device, clip)) {
    return false;
  }
  if (Platform::Graphics::Graphics* graphics = Target()) {
    // Drawing failures are not reported.
    (void)graphics->FillOpaquePixels(device, clip, Platform::Graphics::Color{argb});
  }
  return true;
}

void LGDIRenderer::ApplyState(Platform::Graphics::Graphics& graphics, const PointT<double>& origin,
                              const RectT<double>& clip, bool holdsSurface) {
  graphics.SetWorldTranslation(float(origin.x), float(origin.y));
  if (holdsSurface) {
    // Every pixel centre is inside: the same as no clip, which Cairo fills faster.
    (void)graphics.ResetClip(); // drawing failures are not reported
    return;
  }
  const float left = Limited(clip.x);
  const float top = Limited(clip.y);
  // Drawing failures are not reported.
  (void)graphics.SetClip({left, top, Limited(clip.x + clip.width) - left, Limited(clip.y + clip.height) - top});
}

QZResult LGDIRenderer::RenderStart(const RCPtr<LRenderContextInfo>& context) {
  LRenderer::RenderStart(context);
  // Nearly always a context of this renderer's own making: its exact type spares the cast's
  // search of the class tree each frame.
  LRenderContextInfo* given = context.Get();
  mCurrent = typeid(*given) == typeid(LGDIRenderContextInfo) ? static_cast<LGDIRenderContextInfo*>(given)
                                                             : dynamic_cast<LGDIRenderContextInfo*>(given);
  if (!mCurrent) {
    return QZ_OK;
  }
  const SizeT<int32_t> size = mCurrent->GetSurfaceSize();
  const RectListT<int32_t>& region = mCurrent->GetUpdateRegion();
  const bool oneRect = region.IsSingle();
  const bool fresh =
      !(mCurrent->GetCurrentSurface()->GetSize() == size) || (oneRect && CoversBounds(region, mCurrent->GetBounds()));
  if (fresh) {
    mCurrent->RecreateSurfaces();
  }
  if (!mCurrent->IsOffscreenOnly() && (oneRect || (!region.IsEmpty() && !fresh && mCurrent->EachDrawingInOneRect()))) {
    // Drawn straight into the window's pixels, each drawing confined to a rectangle of the
    // update region, the frame needs no surface of its own and no copy. A fresh frame's
    // one rectangle starts transparent there, as a fresh surface would copy it.
    const RectT<int32_t> area = region.begin()->ToRect();
    (void)mCurrent->GetCurrentSurface()->LendPixels(mCurrent->GetWindowPixels(), fresh ? area : RectT<int32_t>{});
  }
  const GDIWindowPixels& pixels = mCurrent->GetWindowPixels();
  Platform::Graphics::Image* image = nullptr;
  if (!fresh && pixels.pixels && !mCurrent->IsOffscreenOnly() && !mCurrent->GetCurrentSurface()->IsLent() &&
      (image = mCurrent->GetCurrentSurface()->GetImage()) != nullptr) {
    // Drawn into the surface and copied back, the update region first takes what the
    // window shows there: the window's pixels are what earlier frames drew straight into.
    for (const EdgeRect& rect : mCurrent->GetUpdateRegion()) {
      const RectT<int32_t> area = rect.ToRect();
      // Copying failures are not reported (the region is drawn over whatever is there).
      (void)Platform::Graphics::Graphics::CopyPixelsToImage(pixels.pixels, pixels.width, pixels.height, pixels.pitch,
                                                            {area.x, area.y, area.width, area.height}, *image, area.x,
                                                            area.y);
    }
  }
  // The graphics are not touched here: a full frame's fresh surface is made transparent
  // only if its first drawing does not cover it whole (the modes come with that drawing).
  mTextScale = 96.0f / Platform::Graphics::Graphics::kDpi;
  mApplied = {}; // the surfaces may be new
  KeepLentRects();
  return QZ_OK;
}

QZResult LGDIRenderer::RenderFinish(const RCPtr<LRenderContextInfo>& context) {
  if (mCurrent && context.Get() == GetCurrentContext()) {
    if (Platform::Graphics::Graphics* graphics = Target()) {
      (void)graphics->Flush(); // drawing failures are not reported
    }
    if (mCurrent->GetCurrentSurface()->IsLent()) {
      mCurrent->GetCurrentSurface()->EndLending();
    } else if (!mCurrent->IsOffscreenOnly()) {
      CopyToWindow(*mCurrent);
    }
  }
  LRenderer::RenderFinish(context);
  mCurrent = dynamic_cast<LGDIRenderContextInfo*>(GetCurrentContext());
  mApplied = {};
  KeepLentRects();
  PurgeWhenDue();
  return QZ_OK;
}

void LGDIRenderer::CopyToWindow(const LGDIRenderContextInfo& context) const {
  const GDIWindowPixels& pixels = context.GetWindowPixels();
  const Platform::Graphics::Image* image = context.GetCurrentSurface()->GetImage();
  if (!image) {
    return;
  }
  for (const EdgeRect& rect : context.GetUpdateRegion()) {
    const RectT<int32_t> area = rect.ToRect();
    // Copying failures are not reported (no pixels to copy to: nothing is copied).
    (void)Platform::Graphics::Graphics::CopyImageToPixels(*image, {area.x, area.y, area.width, area.height},
                                                          pixels.pixels, pixels.width, pixels.height, pixels.pitch,
                                                          area.x, area.y);
  }
}

bool LGDIRenderer::IsLent() const { return mCurrent && mCurrent->GetCurrentSurface()->IsLent(); }

RectT<double> LGDIRenderer::ConfinedToLent(const RectT<double>& device) const {
  for (const RectT<double>& rect : mLentRects) {
    RectT<double> confined;
    if (IntersectClip(confined, device, rect)) {
      return confined;
    }
  }
  return {device.x, device.y, 0.0, 0.0}; // apart from every rectangle
}

void LGDIRenderer::KeepLentRects() {
  mLentRects.clear();
  if (IsLent()) {
    for (const EdgeRect& rect : mCurrent->GetUpdateRegion()) {
      mLentRects.push_back(rect.ToRect().ToDouble());
    }
  }
}

void LGDIRenderer::PurgeWhenDue() {
  // Until a bitmap is cached there is nothing to purge, and the clock is not read: the
  // interval runs from the end of the first frame that cached one.
  if (mBitmaps.GetCount() == 0) {
    return;
  }
  const uint32_t now = mClock();
  if (!mPurgeClockStarted) {
    mPurgeClockStarted = true;
    mLastPurge = now;
  } else if (now - mLastPurge > mPurgeInterval) {
    mBitmaps.Purge();
    mLastPurge = now;
  }
}

QZResult LGDIRenderer::DrawRect(const RectT<int32_t>& rect, const ColorT<float>& color, float lineWidth) {
  if (mCurrent && ClippedOut(rect, 1.0 + std::abs(double(lineWidth)))) {
    return QZ_OK;
  }
  Platform::Graphics::Graphics* graphics = DrawingTarget();
  if (!graphics) {
    return QZ_FALSE;
  }
  (void)graphics->DrawRectangle({ToGfxColor(color), lineWidth}, ToRectF(rect)); // drawing failures are not reported
  return QZ_OK;
}

QZResult LGDIRenderer::FillRect(const RectT<int32_t>& rect, const ColorT<float>& color, bool blend) {
  if (!HasTarget()) {
    return QZ_FALSE;
  }
  if (blend) {
    if (ClippedOut(rect)) {
      return QZ_OK;
    }
    const uint32_t argb = color.ToARGB();
    if (argb >> 24 == 0xFF) {
      CoverWholeSurface(rect);
      if (FilledOpaqueInPlace(rect, argb)) {
        return QZ_OK;
      }
    }
    if (Platform::Graphics::Graphics* graphics = DrawingTarget(&rect)) {
      // Drawing failures are not reported.
      (void)graphics->FillRectangle(Platform::Graphics::Brush::Solid(Platform::Graphics::Color{argb}), ToRectF(rect));
    }
  } else if (Platform::Graphics::Graphics* graphics = Target(); graphics && rect.width > 0 && rect.height > 0) {
    // Straight onto the surface: in its own pixels, the clip set to the rectangle only
    // (within a frame's rectangle of the window's pixels).
    graphics->ResetWorldTransform();
    auto clear = [&](const RectT<int32_t>& area) {
      (void)graphics->SetClip(ToRectF(area));   // drawing failures are not reported
      (void)graphics->Clear(ToGfxColor(color)); // drawing failures are not reported
    };
    if (IsLent()) {
      for (const EdgeRect& lent : mCurrent->GetUpdateRegion()) {
        RectT<int32_t> area{std::max(rect.x, lent.left), std::max(rect.y, lent.top), 0, 0};
        area.width = std::min(rect.x + rect.width, lent.right) - area.x;
        area.height = std::min(rect.y + rect.height, lent.bottom) - area.y;
        if (area.width > 0 && area.height > 0) {
          clear(area);
        }
      }
    } else {
      clear(rect);
    }
    mApplied = {};
  }
  return QZ_OK;
}

QZResult LGDIRenderer::DrawFilledRect(const RectT<int32_t>& rect, const ColorT<float>& fillColor,
                                      const ColorT<float>& lineColor, float lineWidth) {
  if (!HasTarget()) {
    return QZ_FALSE;
  }
  if (fillColor.alpha > 0.0f) {
    FillRect(rect, fillColor, true);
  }
  if (lineColor.alpha > 0.0f) {
    DrawRect(rect, lineColor, lineWidth);
  }
  return QZ_OK;
}

QZResult LGDIRenderer::DrawColorRectList(ColorRectListT<float>& list, const PointT<double>& origin, bool /*keep*/) {
  if (!HasTarget()) {
    return QZ_FALSE;
  }
  Translate(origin);
  const auto& entries = list.GetEntries();
  for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
    const RectT<float>& r = entry->rect;
    const float sx = list.GetScaleX();
    const float sy = list.GetScaleY();
    FillRect({RoundToInt32(r.x * sx), RoundToInt32(r.y * sy), RoundToInt32(r.width * sx), RoundToInt32(r.height * sy)},
             entry->color, true);
  }
  Translate(-origin);
  return QZ_OK;
}

QZResult LGDIRenderer::DrawLine(const PointT<double>& from, const PointT<double>& to, const ColorT<float>& color,
                                float lineWidth) {
  if (mCurrent && ClippedOut(Extent(from, to), 1.0 + std::abs(double(lineWidth)))) {
    return QZ_OK;
  }
  Platform::Graphics::Graphics* graphics = DrawingTarget();
  if (!graphics) {
    return QZ_FALSE;
  }
  // Drawing failures are not reported.
  (void)graphics->DrawLine({ToGfxColor(color), lineWidth}, {float(from.x), float(from.y)}, {float(to.x), float(to.y)});
  return QZ_OK;
}

QZResult LGDIRenderer::DrawRenderContext(const RCPtr<LRenderContextInfo>& context, const PointT<int32_t>& point,
                                         const RectT<int32_t>& source) {
  const auto* offscreen = dynamic_cast<const LGDIRenderContextInfo*>(context.Get());
  if (!offscreen || !offscreen->IsOffscreenOnly()) {
    return QZ_E_INVALIDARG;
  }
  Platform::Graphics::Graphics* graphics = DrawingTarget();
  if (!graphics) {
    return QZ_FALSE;
  }
  if (offscreen == mCurrent) {
    return QZ_E_FAIL; // its surface is the target itself
  }
  offscreen->GetCurrentSurface()->CopyOut(*graphics, source, point);
  return graphics->LastStatus() == Platform::Graphics::Status::Ok ? QZ_OK : QZ_E_FAIL;
}

QZResult LGDIRenderer::PresentRenderContext(const RCPtr<LRenderContextInfo>& context, const PointT<int32_t>& point) {
  auto* offscreen = dynamic_cast<LGDIRenderContextInfo*>(context.Get());
  if (!offscreen || !offscreen->IsOffscreenOnly()) {
    return QZ_E_INVALIDARG;
  }
  const RCPtr<LGDIRendererOffscreenSurface> finished = offscreen->GetCurrentSurface();
  offscreen->SwapSurfaces();
  Platform::Graphics::Graphics* graphics = offscreen->GetCurrentSurface()->GetGraphics();
  if (!graphics) {
    return QZ_E_FAIL;
  }
  graphics->ResetWorldTransform();
  (void)graphics->ResetClip();                         // drawing failures are not reported
  (void)graphics->Clear(Platform::Graphics::Color{0}); // drawing failures are not reported
  const SizeT<int32_t> size = finished->GetSize();
  finished->CopyOut(*graphics, {0, 0, size.width, size.height}, point);
  const bool drawn = graphics->LastStatus() == Platform::Graphics::Status::Ok;
  mApplied = {}; // the frame may go on in the new surface
  return drawn ? QZ_OK : QZ_E_FAIL;
}

} // namespace QZ
