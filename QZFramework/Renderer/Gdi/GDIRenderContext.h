#pragma once
// The drawing context of the GDI renderer (QZ::LGDIRenderer) for one window, or for
// offscreen drawing:
//
//   QZ::GDIWindowPixels               the window's pixels, as the OS window lends them;
//   QZ::LGDIRendererOffscreenSurface  an image and the graphics drawing on it;
//   QZ::LGDIRenderContextInfo         the context: a current and a back surface.
//
//   QZ::RCPtr<QZ::LRenderContextInfo> context;
//   renderer->InitRenderContextInfo({0, 0, w, h}, window, false, context);
//   auto* gdi = static_cast<QZ::LGDIRenderContextInfo*>(context.Get());
//   gdi->SetWindowPixels({surface->pixels, surface->w, surface->h, surface->pitch});
//
// A window's frame whose update region is one rectangle is drawn straight into the
// window's pixels, confined to that rectangle; any other frame is drawn into the current
// surface, and at its end the renderer copies the rectangles of the update region to the
// window's pixels, having first taken what the window showed there. An offscreen-only context is never copied out:
// other frames draw it (LGDIRenderer::DrawRenderContext).
//
// Main thread only, like the renderer.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "Platform/Graphics/Graphics.h"
#include "QZFramework/Renderer/RenderContext.h"

namespace QZ {

// Pixels lent by a window: premultiplied ARGB32 words in native byte order (alpha in
// the top byte), rows `pitch` bytes apart; the layout of an SDL window surface, whose
// fields (pixels, w, h, pitch) fill it as they are. No pixels: nothing to copy to.
struct GDIWindowPixels {
  void* pixels = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  int32_t pitch = 0;
};

class LGDIRendererOffscreenSurface : public virtual LRefCountedObject {
public:
  // A transparent image of width x height (each side at least 1). Its pixels take memory
  // only once something draws on it or reads them (Platform::Graphics::Image).
  LGDIRendererOffscreenSurface(int32_t width, int32_t height);

  // The graphics drawing on the image, made at the first call after construction or
  // Resize. Null when the image or its graphics could not be made (too large, out of
  // memory). Owned here; valid until the next Resize.
  Platform::Graphics::Graphics* GetGraphics() const {
    // Inline for a lent frame's drawings, which ask for it each.
    return mLent && !mLentClearPending ? mLentGraphics.get() : PreparedGraphics();
  }
  Platform::Graphics::Image* GetImage() const;
  // The image's size; {0, 0} without an image.
  SizeT<int32_t> GetSize() const;
  // Makes the image fresh and transparent at the new size (each side at least 1); the
  // graphics' modes, transform and clip start anew. An image that keeps its size is made
  // transparent when its pixels are next used (GetImage, GetGraphics), unless the drawing
  // says first that it covers every pixel opaquely (WillCoverWhole).
  void Resize(int32_t width, int32_t height);
  // The next drawing sets every pixel without regard to what was there: a clearing still
  // pending (of the lent pixels while they are lent) would be overwritten, and is dropped.
  void WillCoverWhole() { (mLent ? mLentClearPending : mClearPending) = false; }
  // Whether a clearing is pending that WillCoverWhole would drop.
  bool IsClearPending() const { return mLent ? mLentClearPending : mClearPending; }
  // From now until EndLending, GetGraphics draws into the lent pixels (a window's, for one
  // frame, as large as the image) in place of the image. clear: the part of them made
  // transparent before the first drawing unless that covers them whole (empty: none).
  // False, nothing lent, when the pixels are missing, of another size or refuse graphics.
  bool LendPixels(const GDIWindowPixels& pixels, const RectT<int32_t>& clear);
  void EndLending();
  bool IsLent() const { return mLent; }
  // Bytes the image's pixels take.
  size_t MemoryBytes() const;
  // Draws `source` of the image, unscaled, with its top-left corner at `at` into target,
  // by target's transform, clip and compositing mode.
  void CopyOut(Platform::Graphics::Graphics& target, const RectT<int32_t>& source, const PointT<int32_t>& at) const;

private:
  // GetGraphics, once a clearing is pending or nothing is lent.
  Platform::Graphics::Graphics* PreparedGraphics() const;

  std::unique_ptr<Platform::Graphics::Image> mImage;
  mutable std::unique_ptr<Platform::Graphics::Graphics> mGraphics; // declared after the image: destroyed first
  mutable bool mClearPending = false;
  // The graphics on the pixels lent last, kept for the next frame that lends the same.
  std::unique_ptr<Platform::Graphics::Graphics> mLentGraphics;
  GDIWindowPixels mLentPixels;
  bool mLent = false;
  RectT<int32_t> mLentClear; // the lent pixels still to be made transparent
  mutable bool mLentClearPending = false;
};

class LGDIRenderContextInfo : public LRenderContextInfo {
public:
  static constexpr int32_t kMaxSurfaceSide = 4096;

  // Makes both surfaces at GetSurfaceSize().
  LGDIRenderContextInfo(const RectT<int32_t>& bounds, WindowHandle window, bool offscreenOnly);

  // 4096 x 4096.
  SizeT<int32_t> GetMaxSurfaceSize() const override { return {kMaxSurfaceSide, kMaxSurfaceSide}; }

  // The size surfaces are made at: the bounds' size, each side limited to 1 .. 4096.
  SizeT<int32_t> GetSurfaceSize() const;

  // The surface frames are drawn into, and the other one.
  const RCPtr<LGDIRendererOffscreenSurface>& GetCurrentSurface() const { return mCurrent; }
  const RCPtr<LGDIRendererOffscreenSurface>& GetBackSurface() const { return mBack; }
  // Makes both surfaces anew at GetSurfaceSize(): fresh and transparent. A window
  // context's back surface, which its frames never draw into (and which so takes no
  // memory), is left as it is when it has that size already.
  void RecreateSurfaces();
  // Bytes both surfaces' pixels take.
  size_t MemoryBytes() const;
  // The back surface becomes the current one and the other way round.
  void SwapSurfaces() { mCurrent.Swap(mBack); }

  // Where frames are drawn or copied to. The pixels stay the lender's and must stay valid
  // until replaced or until the context is destroyed; the renderer writes them only
  // during a frame of this context.
  void SetWindowPixels(const GDIWindowPixels& pixels) { mWindowPixels = pixels; }
  const GDIWindowPixels& GetWindowPixels() const { return mWindowPixels; }
  // The drawer's promise that each drawing of a frame keeps within one rectangle of the
  // update region (its clip inside that rectangle), as the control tree's paint does: a
  // frame of several rectangles is then drawn straight into the window's pixels, each
  // drawing confined to the first rectangle it meets, instead of into a surface copied
  // out. Off unless set; frames of one rectangle are drawn straight in either way.
  void SetEachDrawingInOneRect(bool promised) { mEachDrawingInOneRect = promised; }
  bool EachDrawingInOneRect() const { return mEachDrawingInOneRect; }

private:
  RCPtr<LGDIRendererOffscreenSurface> mCurrent;
  RCPtr<LGDIRendererOffscreenSurface> mBack;
  GDIWindowPixels mWindowPixels;
  bool mEachDrawingInOneRect = false;
};

} // namespace QZ
