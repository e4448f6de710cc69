#pragma once
// The per-window drawing context of a renderer and the drawing state it carries:
//
//   QZ::LStencil             a clip mask (size and rectangle) that a state may hold;
//   QZ::RenderState          origin, clip rectangle, alpha factor and stencil;
//   QZ::LRenderContextInfo   window, bounds, update region, current and saved states.
//
// Each backend derives its own context from LRenderContextInfo and makes it in
// LRenderer::InitRenderContextInfo. Contexts belong to the main thread; the reference
// counts are atomic, nothing else is locked.

#include <cstdint>
#include <vector>

#include "QZFramework/ObjectBase/RCPtr.h"
#include "QZFramework/Utilities/Graphics/Geometry.h"
#include "QZFramework/Utilities/Graphics/RectList.h"

namespace QZ {

// The OS window's native handle as the windowing layer gives it; opaque here, null for
// a context that draws to no window.
using WindowHandle = void*;

class LStencil : public virtual LRefCountedObject {
public:
  // A mask of the given size covering (0, 0, width, height).
  explicit LStencil(const SizeT<int32_t>& size) : mSize(size), mRect{0, 0, size.width, size.height} {}
  LStencil(const SizeT<int32_t>& size, const RectT<int32_t>& rect) : mSize(size), mRect(rect) {}

  const SizeT<int32_t>& GetSize() const { return mSize; }
  const RectT<int32_t>& GetRect() const { return mRect; }

private:
  SizeT<int32_t> mSize;
  RectT<int32_t> mRect;
};

// One drawing state. Copies share the stencil.
struct RenderState {
  // The no-clipping rectangle: -5e15 and 1e16 in single precision, widened.
  static constexpr RectT<double> kUnclipped{double(-5e15f), double(-5e15f), double(1e16f), double(1e16f)};

  PointT<double> origin{0.0, 0.0}; // translation of drawing coordinates
  RectT<double> clip = kUnclipped; // in the coordinates of the origin
  float factor = 1.0f;             // the alpha factor painting multiplies into its drawing
  bool hasStencil = false;
  RCPtr<LStencil> stencil;
};

class LRenderContextInfo : public virtual LRefCountedObject {
public:
  // The window may be null; offscreenOnly marks a context that is drawn into and then
  // copied by the renderer, never shown by itself.
  LRenderContextInfo(const RectT<int32_t>& bounds, WindowHandle window, bool offscreenOnly)
      : mWindow(window), mOffscreenOnly(offscreenOnly), mBounds(bounds) {}

  // The largest surface the backend can make for this context.
  virtual SizeT<int32_t> GetMaxSurfaceSize() const = 0;

  WindowHandle GetWindow() const { return mWindow; }
  bool IsOffscreenOnly() const { return mOffscreenOnly; }

  // The area to draw this frame (window coordinates); the owner fills and clears it.
  RectListT<int32_t>& GetUpdateRegion() { return mUpdateRegion; }
  const RectListT<int32_t>& GetUpdateRegion() const { return mUpdateRegion; }

  const RectT<int32_t>& GetBounds() const { return mBounds; }
  void SetBounds(const RectT<int32_t>& bounds) { mBounds = bounds; }

  // The state drawing uses now.
  RenderState& GetState() { return mState; }
  const RenderState& GetState() const { return mState; }

  // States saved by the push operations of the renderer, the last saved at the back.
  // A vector: painting pushes and pops several states per control, and a vector keeps
  // its storage between them.
  std::vector<RenderState>& GetSavedStates() { return mSavedStates; }
  const std::vector<RenderState>& GetSavedStates() const { return mSavedStates; }

private:
  WindowHandle mWindow;
  bool mOffscreenOnly;
  RectListT<int32_t> mUpdateRegion;
  RectT<int32_t> mBounds;
  RenderState mState;
  std::vector<RenderState> mSavedStates;
};

} // namespace QZ
