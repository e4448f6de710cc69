#pragma once
// QZ::LGDIRenderer: the renderer the application uses (kind 1 of LRenderer::Create),
// drawing with the image and 2-D drawing layer (Platform/Graphics) over Cairo.
//
//   QZ::RCPtr<QZ::LRenderer> renderer(new QZ::LGDIRenderer);
//   QZ::RCPtr<QZ::LRenderContextInfo> context;
//   renderer->InitRenderContextInfo({0, 0, 800, 600}, window, false, context);
//   static_cast<QZ::LGDIRenderContextInfo&>(*context).SetWindowPixels(pixels);
//   context->GetUpdateRegion().AddRect({0, 0, 800, 600});
//   renderer->RenderStart(context);       // a full update region: fresh surfaces
//   renderer->DrawBitmap(bitmap, {10, 10, 120, 24}, QZ::ResizeType::Stretch);
//   renderer->RenderFinish(context);      // copies the update region to the window
//
// Frames: a frame draws into the context's current surface (GDIRenderContext.h); when
// it finishes, the update region's rectangles are copied to the window's pixels. Surfaces
// are made anew when their size no longer matches the bounds or the update region is
// one rectangle covering the bounds; otherwise they keep their pixels and only the update
// region is redrawn.
//
// Bitmaps are scaled, tiled or centred once per (bitmap, target size) and kept as cached
// bitmaps, which later frames blit (a bitmap of one opaque colour stretched or tiled is
// kept as that colour and filled); a bitmap drawn at its own size is blitted from its own
// pixels, without a copy (so it shows changes to them at once); polylines become paths kept while the polyline is
// unchanged and drawn as the same shape. Both caches hold 256 entries and give up the
// least recently used one.
// When a frame finishes more than the purge interval after the last purge, the cached
// bitmaps not used since that purge are dropped; the interval first runs from the end of
// the first frame that cached a bitmap (until then the clock is not read).
//
// Text: drawn with its layout rectangle's top-left corner one pixel above the position
// asked, by the layout rule of Platform::Graphics::Graphics (which measuring shares). Fonts are found by
// face name through fontconfig; an unknown face falls back to the generic sans-serif one.
//
// Drawing state: the clip and origin of the current state reach the surface's graphics
// when something is drawn, and only when they changed since they last did; pushing and
// popping states around nothing drawn costs no work on the surface. A rectangle or bitmap
// that both the new clip and the clip in force hold whole is drawn without changing the
// clip; rectangles, lines and bitmaps wholly outside the clip are not drawn at all (an
// unknown resize type of such a bitmap goes unnoticed: it never has to be fitted). An
// opaque fill, or a bitmap, of whole pixels under a whole origin and clip (most of a
// paint's fills and bitmaps) sets its pixels directly and leaves the graphics' state as it
// is.
//
// A full frame's fresh surface is made transparent only when its pixels are first used:
// an opaque fill that covers the whole surface as the frame's first drawing leaves the
// clearing out.
//
// Drawing slots do nothing without a current context (they return 1 then), except
// DrawBitmap, which throws. Failures of the drawing layer inside a drawing slot are kept
// as the last status of the drawing objects and not reported. Main thread only; nothing
// is locked.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Platform/Graphics/Graphics.h"
#include "QZFramework/Renderer/Gdi/GDIRenderContext.h"
#include "QZFramework/Renderer/MillisecondClock.h"
#include "QZFramework/Renderer/Renderer.h"
#include "QZFramework/Utilities/Graphics/Bitmap.h"
#include "QZFramework/Utilities/Storage/PurgableObjectCache.h"

namespace QZ {

// Final: the state setters it inherits are then known to be LRenderer's own, which its
// push and pop call directly.
class LGDIRenderer final : public LRenderer {
public:
  static constexpr uint32_t kCacheCapacity = 256;
  // Milliseconds; a purge is due when the clock has advanced more than this.
  static constexpr uint32_t kPurgeInterval = 300000;

  // The key of a cached bitmap: a bitmap at a target size. Equal when all three are.
  template <int Bits>
  struct CashableBitmapDescriptor {
    ConstRCPtr<LBitmap> bitmap;
    int32_t width = 0;
    int32_t height = 0;

    bool operator==(const CashableBitmapDescriptor&) const = default;
    static const CashableBitmapDescriptor& GetSelf(const CashableBitmapDescriptor& key) { return key; }
    // Bucket: the bitmap's address and the target size, mixed. The bitmaps of a skin are
    // mostly cuts of a few shared images: by the image alone they would share one bucket.
    static uint32_t GetHashBits(const CashableBitmapDescriptor& key) {
      const auto address = reinterpret_cast<uintptr_t>(key.bitmap.Get());
      const uint32_t mixed = uint32_t(address >> 4) ^ (uint32_t(key.width) << 16) ^ uint32_t(key.height);
      return (mixed * 0x9E3779B1u) >> (32 - Bits);
    }
  };
  using BitmapDescriptor = CashableBitmapDescriptor<8>;

  // A bitmap scaled, tiled or centred to its target size, ready to blit; or, for a bitmap
  // of one opaque colour stretched or tiled (every pixel of the target that colour), the
  // colour alone, filled instead of blitted.
  class LCachedBitmap : public virtual LRefCountedObject {
  public:
    explicit LCachedBitmap(std::unique_ptr<Platform::Graphics::CachedBitmap> bitmap) : mBitmap(std::move(bitmap)) {}
    explicit LCachedBitmap(Platform::Graphics::Color solid) : mSolid(solid) {}
    // Null for a colour.
    const Platform::Graphics::CachedBitmap* Get() const { return mBitmap.get(); }
    Platform::Graphics::Color GetSolid() const { return mSolid; }

  private:
    std::unique_ptr<Platform::Graphics::CachedBitmap> mBitmap;
    Platform::Graphics::Color mSolid;
  };

  // The path built from a polyline, for one of the line slots.
  class LGraphicsPath : public virtual LRefCountedObject {
  public:
    // LineSegments: one figure per pair of points; Polyline: one line through all;
    // Polygon: one closed figure.
    enum class Shape { LineSegments, Polyline, Polygon };

    LGraphicsPath(Shape shape, const PolylineT<float>& polyline);
    Shape GetShape() const { return mShape; }
    // Fill (even-odd) or stroke; with a matrix, a transformed copy is drawn.
    void Fill(Platform::Graphics::Graphics& graphics, const Platform::Graphics::Brush& brush,
              const Platform::Graphics::Matrix* matrix) const;
    void Draw(Platform::Graphics::Graphics& graphics, const Platform::Graphics::Pen& pen,
              const Platform::Graphics::Matrix* matrix) const;

  private:
    Shape mShape;
    Platform::Graphics::Path mPath;
  };

  using CachedBitmapCache = PurgableObjectCache<LCachedBitmap, BitmapDescriptor, BitmapDescriptor,
                                                &BitmapDescriptor::GetSelf, 8, &BitmapDescriptor::GetHashBits>;
  using GraphicsPathCache = PurgableObjectCache<LGraphicsPath, PolylineT<float>, int32_t, &PolylineT<float>::GetHandle,
                                                8, &GetBits<8, 4, int32_t>>;

  // clock (not empty) times the purges of the cached bitmaps: the application hands its
  // own clock in; purgeInterval is in the clock's milliseconds.
  explicit LGDIRenderer(MillisecondClock clock = MonotonicMilliseconds, uint32_t purgeInterval = kPurgeInterval);
  ~LGDIRenderer() override;

  // Whole pixels from the face's design metrics at 96 pixels per inch, each rounded
  // up: ascent negative, descent positive, height the line spacing but never less than
  // descent - ascent. 0, or QZ_E_FAIL when no font can be made (outputs unchanged).
  QZResult GetFontMetrics(const LFont& font, int32_t& height, int32_t& ascent, int32_t& descent) override;
  // {0, ascent, width, height}: width is the text's extent rounded up, plus 3 pixels
  // when not 0; all zero for an empty text or when no font can be made.
  RectT<float> MeasureText(const LFont& font, const WString& text) override;
  // kRendererGDI.
  int32_t GetRendererType() override { return kRendererGDI; }
  // Bytes the cached bitmaps (scaled, tiled and centred copies) take.
  size_t GetCachedBitmapBytes() const;
  // Makes an LGDIRenderContextInfo; 0.
  [[nodiscard]] QZResult InitRenderContextInfo(const RectT<int32_t>& bounds, WindowHandle window, bool offscreenOnly,
                                               RCPtr<LRenderContextInfo>& out) override;
  // Enters the context (LRenderer's rules and exceptions), then readies its surfaces and
  // the drawing state for the frame. A context of another renderer is entered but draws
  // nothing.
  QZResult RenderStart(const RCPtr<LRenderContextInfo>& context) override;
  // Copies the update region to the window's pixels (not for offscreen-only contexts),
  // leaves the context (LRenderer's rules), and purges the cached bitmaps when due.
  QZResult RenderFinish(const RCPtr<LRenderContextInfo>& context) override;
  // LRenderer's, with the state setters called directly.
  QZResult PushClip(const RectT<double>& frame, const RectT<double>& clip, const RCPtr<LStencil>& stencil,
                    bool relative) override {
    return PushClipThrough(*this, frame, clip, stencil, relative);
  }
  QZResult PopClip() override { return PopClipThrough(*this); }

  // Text with its layout origin at (x, y - 1); no wrapping, no clipping box.
  QZResult DrawText(const WString& text, const LFont& font, const PointT<double>& position,
                    const ColorT<float>& color) override;
  QZResult DrawRect(const RectT<int32_t>& rect, const ColorT<float>& color, float lineWidth) override;
  // blend false sets the surface pixels of rect (surface coordinates: no translation, no
  // clip) to color, alpha included.
  QZResult FillRect(const RectT<int32_t>& rect, const ColorT<float>& color, bool blend) override;
  QZResult DrawFilledRect(const RectT<int32_t>& rect, const ColorT<float>& fillColor, const ColorT<float>& lineColor,
                          float lineWidth) override;
  // Each rectangle, last to first, scaled by the list's scales and rounded, filled
  // blended at origin. keep is not used.
  QZResult DrawColorRectList(ColorRectListT<float>& list, const PointT<double>& origin, bool keep) override;
  QZResult DrawLine(const PointT<double>& from, const PointT<double>& to, const ColorT<float>& color,
                    float lineWidth) override;
  QZResult DrawLineSegments(PolylineT<float>& polyline, const ColorT<float>& color, const PointT<double>& origin,
                            const PointT<double>& scale, bool keep) override;
  QZResult DrawPolyline(PolylineT<float>& polyline, const ColorT<float>& color, const PointT<double>& origin,
                        const PointT<double>& scale, bool keep) override;
  QZResult DrawPolygon(PolylineT<float>& polyline, const ColorT<float>& color, const PointT<double>& origin,
                       const PointT<double>& scale, bool keep) override;
  QZResult FillPolygon(PolylineT<float>& polyline, const ColorT<float>& color, const PointT<double>& origin,
                       const PointT<double>& scale, bool keep) override;
  // Blits the bitmap fitted to the destination's size at its corner: Stretch scales it
  // (bilinear), Tile repeats it unscaled from the corner, Center puts it unscaled in the
  // middle (a half-pixel offset samples the nearest pixel). A null bitmap, or one
  // without pixels, draws nothing. Throws Runtime Error without a current context, and
  // Invalid Argument for an unknown resize type when the fitted bitmap has to be made
  // (the bitmap's own size always stretches, whatever the type).
  QZResult DrawBitmap(const ConstRCPtr<LBitmap>& bitmap, const RectT<int32_t>& destination, ResizeType resize) override;
  // Draws source of an offscreen-only context's current surface at point. QZ_E_INVALIDARG
  // for a context that is not an offscreen-only LGDIRenderContextInfo, QZ_E_FAIL when
  // it is the current context or the drawing fails.
  QZResult DrawRenderContext(const RCPtr<LRenderContextInfo>& context, const PointT<int32_t>& point,
                             const RectT<int32_t>& source) override;
  // Swaps an offscreen-only context's surfaces, clears the new current one and draws the
  // finished one into it at point. Results as DrawRenderContext (no current context
  // needed).
  QZResult PresentRenderContext(const RCPtr<LRenderContextInfo>& context, const PointT<int32_t>& point) override;

private:
  // The graphics of the current context's current surface, its pixels ready (a pending
  // clearing done); null without one.
  Platform::Graphics::Graphics* Target() const;
  // Whether there is a current surface to draw on, without readying its pixels.
  bool HasTarget() const;
  // Whether drawing within extent (current coordinates), grown by margin pixels on each
  // side, would change no pixel: it lies wholly outside the current state's clip. Painting
  // a small damaged rectangle walks the whole tree; what lies elsewhere is dropped here.
  bool ClippedOut(const RectT<int32_t>& extent, double margin = 1.0) const;
  // An opaque fill of rect (current coordinates) is about to be drawn: when it and the
  // clip cover the whole current surface, a clearing still pending is left out.
  void CoverWholeSurface(const RectT<int32_t>& rect);
  // Target() with the transform and clip of the current state, applied when they differ
  // from what was applied last; null without a surface. With extent (current
  // coordinates), the clip is left as it is when it and the current state's both hold
  // extent whole.
  Platform::Graphics::Graphics* DrawingTarget(const RectT<int32_t>* extent = nullptr);
  // An opaque fill of rect (current coordinates) straight into the target's pixels, when
  // the state's origin and clip and the rectangle are whole pixels: the pixels DrawingTarget
  // and the graphics' fill would set, without carrying the state to the graphics. False,
  // nothing done, otherwise.
  bool FilledOpaqueInPlace(const RectT<int32_t>& rect, uint32_t argb);
  // Whether rect (current coordinates), the state's origin and its clip in the surface's
  // pixels (confined to the lent rectangle it meets) are whole pixels that every step to
  // the drawing layer keeps exact: then what a drawing of whole pixels sets depends on
  // them alone, and they are given as whole numbers (rect moved to the surface's pixels).
  bool InWholePixels(const RectT<int32_t>& rect, Platform::Graphics::Rect& device,
                     Platform::Graphics::Rect& clip) const;
  // A bitmap drawn at whole pixels (its own pixels at their size, a cached bitmap or its
  // colour) straight into the target's pixels, under the state's clip, without carrying
  // the state to the graphics. False, nothing done, when it cannot be.
  bool DrewBitmapInPlace(const Platform::Graphics::Image& image, const RectT<int32_t>& source,
                         const LCachedBitmap* cached, const RectT<int32_t>& destination);
  // Makes the graphics' transform the origin's and its clip clip (the origin's
  // coordinates); holdsSurface: the clip holds the whole surface.
  static void ApplyState(Platform::Graphics::Graphics& graphics, const PointT<double>& origin,
                         const RectT<double>& clip, bool holdsSurface);
  RCPtr<LCachedBitmap> BuildCachedBitmap(const LBitmap& bitmap, const Platform::Graphics::Image& image, int32_t width,
                                         int32_t height, ResizeType resize) const;
  QZResult DrawShape(PolylineT<float>& polyline, const ColorT<float>& color, const PointT<double>& origin,
                     const PointT<double>& scale, bool keep, LGraphicsPath::Shape shape, bool fill);
  void CopyToWindow(const LGDIRenderContextInfo& context) const;
  // Whether the frame is drawn straight into the window's pixels (a current context).
  bool IsLent() const;
  // The part of a device rectangle that a frame drawn straight into the window's pixels may
  // touch: its share of the first rectangle of the update region it meets (the painting
  // walk draws each piece under one rectangle's clip), empty when it meets none. Lent only.
  RectT<double> ConfinedToLent(const RectT<double>& device) const;
  // Takes the current context's update region into mLentRects when its frame is lent, else
  // empties them: at every change of the current context.
  void KeepLentRects();
  void PurgeWhenDue();
  // The drawing layer's font for the face name, with the generic sans-serif family when
  // the name is unknown or its family cannot make the font; nullopt when neither can.
  std::optional<Platform::Graphics::Font> MakeFont(const LFont& font, float size, Platform::Graphics::FontUnit unit);

  // 96 / the surface's horizontal resolution, taken at each RenderStart.
  float mTextScale = 1.0f;
  // The GDI context on top of the stack, which holds it; null outside a frame.
  LGDIRenderContextInfo* mCurrent = nullptr;
  // What DrawingTarget applied last, and to which graphics; cleared whenever anything else
  // may have changed a graphics' transform or clip, or the graphics themselves changed.
  struct AppliedState {
    const Platform::Graphics::Graphics* graphics = nullptr;
    PointT<double> origin;
    RectT<double> deviceClip; // the clip in the surface's pixels
  };
  AppliedState mApplied;
  // The update region's rectangles of a lent frame, in order: ConfinedToLent meets them
  // for each drawing, and converted once they are met faster than in the region's list.
  std::vector<RectT<double>> mLentRects;
  // The family of the face name looked up last (painting draws and measures most texts in
  // one face): names are matched by the drawing layer's rules, which never change.
  struct FamilyLookup {
    std::u16string name;
    std::optional<Platform::Graphics::FontFamily> family;
    bool known = false;
  };
  FamilyLookup mFamily;
  // Text is measured on a 1 x 1 image.
  std::unique_ptr<Platform::Graphics::Image> mMeasuringImage;
  std::unique_ptr<Platform::Graphics::Graphics> mMeasuring;
  CachedBitmapCache mBitmaps{kCacheCapacity};
  GraphicsPathCache mPaths{kCacheCapacity};
  MillisecondClock mClock;
  uint32_t mPurgeInterval;
  bool mPurgeClockStarted = false; // a frame ended with a bitmap cached
  uint32_t mLastPurge = 0;
};

extern template QZResult LRenderer::PushClipThrough(LGDIRenderer&, const RectT<double>&, const RectT<double>&,
                                                    const RCPtr<LStencil>&, bool);
extern template QZResult LRenderer::PopClipThrough(LGDIRenderer&);

} // namespace QZ
