#pragma once
// QZ::LGLRenderer: the OpenGL renderer (kind 0 of LRenderer::Create). Bitmaps become
// textures, polylines, polygons and colour-rectangle lists become display lists, filled
// polygons are tessellated, and text is drawn as textured glyph quads by the font
// renderer's glyph processor.
//
//   QZ::RCPtr<QZ::LRenderer> renderer = QZ::LRenderer::Create(QZ::kRendererOpenGL, bounds, window);
//   QZ::RCPtr<QZ::LRenderContextInfo> context;
//   renderer->InitRenderContextInfo(bounds, window, false, context);   // window: SDL, OpenGL
//   renderer->RenderStart(context);
//   renderer->DrawBitmap(bitmap, {10, 10, 120, 24}, QZ::ResizeType::Tile);
//   renderer->RenderFinish(context);                                  // shows the frame
//
// One GL rendering context, made at construction on a hidden window, serves every
// window; it is current only between RenderStart and RenderFinish. Drawing coordinates
// are pixels with y growing downwards; the clip is the GL scissor box. A frame of a
// double-buffered window ends by copying its back buffer to the front buffer, so the
// back buffer keeps the frame for the next partial update.
//
// Built objects are cached: display lists per polyline or list handle (256 each) and
// textures per native image (64), replacing the one unused longest. When a frame ends
// more than the purge interval after the last purge, what was not used since that purge
// is dropped.
//
// Failures: construction and InitRenderContextInfo report to the debug trace and throw
// Runtime Error; DrawBitmap throws as it says; GL errors elsewhere are drained and
// ignored. Main thread only.

#include <cstdint>

#include "Platform/Gl/Wgl.h"
#include "QZFramework/Renderer/FontRenderer/FontRenderer.h"
#include "QZFramework/Renderer/MillisecondClock.h"
#include "QZFramework/Renderer/OpenGL/GLDisplayList.h"
#include "QZFramework/Renderer/OpenGL/GLRenderContext.h"
#include "QZFramework/Renderer/OpenGL/GLTexture.h"
#include "QZFramework/Renderer/Renderer.h"
#include "QZFramework/Utilities/Storage/PurgableObjectCache.h"

namespace QZ {

class LGLRenderer : public LRenderer {
public:
  static constexpr uint32_t kListCacheCapacity = 256;
  static constexpr uint32_t kTextureCacheCapacity = 64;
  // Milliseconds; a purge is due when the clock has advanced more than this.
  static constexpr uint32_t kPurgeInterval = 300000;

  // Makes the rendering context for windows like `window` (null: any GL window). The
  // font renderer may be null: text is then neither drawn nor measured. Throws Runtime
  // Error (after a report to the debug trace) when no context can be made.
  LGLRenderer(WindowHandle window, const RCPtr<LFontRenderer>& fontRenderer,
              MillisecondClock clock = MonotonicMilliseconds, uint32_t purgeInterval = kPurgeInterval);
  ~LGLRenderer() override;
  LGLRenderer(const LGLRenderer&) = delete;
  LGLRenderer& operator=(const LGLRenderer&) = delete;

  // The font renderer's metrics; QZ_E_FAIL without one.
  QZResult GetFontMetrics(const LFont& font, int32_t& height, int32_t& ascent, int32_t& descent) override;
  // The font renderer's measure; all zero for empty text or without a font renderer.
  RectT<float> MeasureText(const LFont& font, const WString& text) override;
  int32_t GetRendererType() override { return kRendererOpenGL; }
  // A context for window (an SDL window made for OpenGL), given the renderer's pixel
  // format and the renderer's GL state. Throws Runtime Error (after a report) when the
  // window cannot take the format.
  [[nodiscard]] QZResult InitRenderContextInfo(const RectT<int32_t>& bounds, WindowHandle window, bool offscreenOnly,
                                               RCPtr<LRenderContextInfo>& out) override;
  // Also sets the GL viewport and a projection of the viewport with y downwards.
  QZResult SetViewport(const RectT<int32_t>& viewport) override;
  // Enters the context (LRenderer's rules) and makes the GL context current on its window.
  QZResult RenderStart(const RCPtr<LRenderContextInfo>& context) override;
  // Shows the frame (see above), leaves the context, and purges when due.
  QZResult RenderFinish(const RCPtr<LRenderContextInfo>& context) override;

  // Text with its line's top-left corner at position.
  QZResult DrawText(const WString& text, const LFont& font, const PointT<double>& position,
                    const ColorT<float>& color) override;
  QZResult DrawRect(const RectT<int32_t>& rect, const ColorT<float>& color, float lineWidth) override;
  // blend false clears rect (moved by the origin, not clipped) to (0, 0, 0, 0), whatever
  // the colour.
  QZResult FillRect(const RectT<int32_t>& rect, const ColorT<float>& color, bool blend) override;
  QZResult DrawFilledRect(const RectT<int32_t>& rect, const ColorT<float>& fillColor, const ColorT<float>& lineColor,
                          float lineWidth) override;
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
  // Stretch scales the bitmap over the destination, Tile repeats it unscaled from the
  // destination's corner (the clip cuts the last tiles), Center puts it unscaled in the
  // middle (halves truncated); the bitmap's own size always stretches. Throws Failed
  // Result QZ_E_INVALIDARG for a null bitmap and Logic Error for an unknown resize type.
  QZResult DrawBitmap(const ConstRCPtr<LBitmap>& bitmap, const RectT<int32_t>& destination, ResizeType resize) override;
  // For offscreen-only GL contexts (else QZ_E_INVALIDARG): draws texture 0 over the source
  // rectangle at point.
  QZResult DrawRenderContext(const RCPtr<LRenderContextInfo>& context, const PointT<int32_t>& point,
                             const RectT<int32_t>& source) override;
  QZResult PresentRenderContext(const RCPtr<LRenderContextInfo>& context, const PointT<int32_t>& point) override;

  // The base's bookkeeping, then the scissor box: the clip moved by the origin, in
  // whole pixels, cut at the viewport's left and bottom; an empty box clips everything.
  QZResult SetClipRect(const RectT<double>& clip) override;
  // The base's bookkeeping, then the same translation of the model-view matrix.
  QZResult Translate(const PointT<double>& offset) override;

  bool IsDoubleBuffered() const { return mDoubleBuffered; }
  bool SwapsByCopy() const { return mSwapCopies; }

private:
  using PolylineListCache = PurgableObjectCache<LGLDisplayList, PolylineT<float>, int32_t, &PolylineT<float>::GetHandle,
                                                8, &GetBits<8, 4, int32_t>>;
  using RectListCache = PurgableObjectCache<LGLDisplayList, ColorRectListT<float>, int32_t,
                                            &ColorRectListT<float>::GetHandle, 8, &GetBits<8, 4, int32_t>>;
  // Textures are kept by the address of the native image they show.
  static uintptr_t TextureKey(const uintptr_t& image) { return image; }
  using TextureCache =
      PurgableObjectCache<LGLTexture, uintptr_t, uintptr_t, &LGLRenderer::TextureKey, 8, &GetBits<8, 4, uintptr_t>>;
  enum class Shape { LineSegments, Polyline, Polygon, Filled };

  // Reports the failure and throws the construction's Runtime Error of line.
  [[noreturn]] void FailConstruction(const char* messageKey, int line);
  // Switches to a format that swaps by copy when the driver offers one.
  void PreferCopySwapFormat();
  bool HasExtension(const char* name);
  LGLRenderContextInfo* CurrentGLContext() const;
  void CopyBackToFront(const RectT<int32_t>& viewport);
  QZResult DrawShape(PolylineT<float>& polyline, const ColorT<float>& color, const PointT<double>& origin,
                     const PointT<double>& scale, bool keep, Shape shape);
  void PurgeWhenDue();

  RCPtr<LFontRenderer> mFontRenderer;
  WindowHandle mWindow;
  bool mDoubleBuffered = true;
  bool mSwapCopies = true;
  MillisecondClock mClock;
  uint32_t mPurgeInterval;
  uint32_t mLastPurge;
  PolylineListCache mFilledPolygons{kListCacheCapacity};
  PolylineListCache mPolygons{kListCacheCapacity};
  PolylineListCache mLineSegments{kListCacheCapacity};
  PolylineListCache mPolylines{kListCacheCapacity};
  RectListCache mRectLists{kListCacheCapacity};
  TextureCache mTextures{kTextureCacheCapacity};
  Platform::Gl::RenderingContext mContext = nullptr;
  int mPixelFormat = 0;
  Platform::Gl::PixelFormatDescriptor mDescriptor;
};

} // namespace QZ
