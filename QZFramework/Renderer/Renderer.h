#pragma once
// QZ::LRenderer: the drawing interface every control draws through, and the factory of
// the renderer of a window.
//
//   QZ::RCPtr<QZ::LRenderer> renderer = QZ::LRenderer::Create(QZ::kRendererGDI, bounds, window);
//   QZ::RCPtr<QZ::LRenderContextInfo> context;
//   renderer->InitRenderContextInfo(bounds, window, false, context);
//   renderer->RenderStart(context);
//   {
//     QZ::CAutoClip clip(renderer, frame, clipRect, nullptr);   // PushClip ... PopClip
//     renderer->FillRect({0, 0, 10, 10}, colour, true);
//   }
//   renderer->RenderFinish(context);
//
// The base class keeps what every backend shares: the stack of render contexts entered
// by RenderStart and left by RenderFinish, and on the current context (the last one
// entered) the drawing state and the states saved by the push operations. Backends
// implement the drawing slots and override the state setters (SetViewport, SetStencil,
// SetClipRect, Translate) to apply a change to their device as well, calling the base
// body for the bookkeeping.
//
// The state and clip operations act on the current context. Without one (outside a
// frame, or on a renderer that keeps no stack) they do nothing and return 1.
//
// Renderers belong to the main thread; nothing is locked.

#include <cmath>
#include <cstdint>
#include <vector>

#include "QZFramework/Renderer/ClipIntersection.h"
#include "QZFramework/Renderer/MeasurementRenderer.h"
#include "QZFramework/Renderer/RenderContext.h"
#include "QZFramework/Utilities/Graphics/Color.h"
#include "QZFramework/Utilities/Graphics/ColorRectList.h"
#include "QZFramework/Utilities/Graphics/Polyline.h"

namespace QZ {

class LBitmap;

// Renderer kinds, as Create takes them and GetRendererType returns them.
inline constexpr int32_t kRendererOpenGL = 0;
inline constexpr int32_t kRendererGDI = 1;
inline constexpr int32_t kRendererStandBy = 2;

// How DrawBitmap fits a bitmap to its destination (the skin's "Stretch", "Tile",
// "Center"). Backends reject any other value.
enum class ResizeType : int32_t { Stretch = 0, Tile = 1, Center = 2 };

// A whole number well inside the range where normalising a clip snaps an edge to the edge
// itself (a negative zero gives zero).
inline bool IsWholeClipEdge(double edge) {
  return std::fabs(edge) < 1125899906842624.0 && double(int64_t(edge)) == edge;
}

// Whether the rectangle's four edges (x, y, x + width, y + height) are each IsWholeClipEdge.
// Inline: painting asks it of most clips it pushes or keeps.
inline bool HasWholeClipEdges(const RectT<double>& r) {
  const double right = r.x + r.width;
  const double bottom = r.y + r.height;
  return AreWholeInt32(r.x, r.y, right, bottom) ||
         (IsWholeClipEdge(r.x) && IsWholeClipEdge(r.y) && IsWholeClipEdge(right) && IsWholeClipEdge(bottom));
}

class LRenderer : public LMeasurementRenderer {
public:
  // A renderer of the given kind. The bounds are not used; the window goes to the
  // renderers that need one. Throws Domain Error for a kind that is not built.
  static RCPtr<LRenderer> Create(int32_t kind, const RectT<int32_t>& bounds, WindowHandle window);

  // The kind of this renderer.
  virtual int32_t GetRendererType() = 0;
  // Makes a context of this backend for a window (or none) and stores it in out.
  // Returns 0, or a failure code with out unchanged.
  [[nodiscard]] virtual QZResult InitRenderContextInfo(const RectT<int32_t>& bounds, WindowHandle window,
                                                       bool offscreenOnly, RCPtr<LRenderContextInfo>& out) = 0;
  // Stores viewport as the current context's bounds. 0; 1 without a context.
  virtual QZResult SetViewport(const RectT<int32_t>& viewport);
  // Stores stencil (may be null) in the current state. 0; 1 without a context.
  virtual QZResult SetStencil(const RCPtr<LStencil>& stencil);
  // Enters context: it becomes the current one. Returns 0. Throws Runtime Error for a
  // null context or one already entered; the stack is then unchanged.
  virtual QZResult RenderStart(const RCPtr<LRenderContextInfo>& context);
  // Leaves context, which must be the current one. Returns 0. Throws Runtime Error
  // otherwise (also on an empty stack); the stack is then unchanged.
  virtual QZResult RenderFinish(const RCPtr<LRenderContextInfo>& context);

  // Drawing, into the current context, in the coordinates of the current origin and
  // within the current clip. Without a current context a backend draws nothing.
  virtual QZResult DrawText(const WString& text, const LFont& font, const PointT<double>& position,
                            const ColorT<float>& color) = 0;
  virtual QZResult DrawRect(const RectT<int32_t>& rect, const ColorT<float>& color, float lineWidth) = 0;
  // blend false replaces the pixels (alpha included) instead of blending over them.
  virtual QZResult FillRect(const RectT<int32_t>& rect, const ColorT<float>& color, bool blend) = 0;
  // Fills when fillColor has alpha, then outlines when lineColor has alpha.
  virtual QZResult DrawFilledRect(const RectT<int32_t>& rect, const ColorT<float>& fillColor,
                                  const ColorT<float>& lineColor, float lineWidth) = 0;
  // keep false: whatever the backend built from the list is dropped after drawing.
  virtual QZResult DrawColorRectList(ColorRectListT<float>& list, const PointT<double>& origin, bool keep) = 0;
  virtual QZResult DrawLine(const PointT<double>& from, const PointT<double>& to, const ColorT<float>& color,
                            float lineWidth) = 0;
  // Slots 14-17 draw the polyline's points moved to origin and scaled by scale; keep
  // false drops what the backend built from the polyline after drawing.
  virtual QZResult DrawLineSegments(PolylineT<float>& polyline, const ColorT<float>& color,
                                    const PointT<double>& origin, const PointT<double>& scale, bool keep) = 0;
  virtual QZResult DrawPolyline(PolylineT<float>& polyline, const ColorT<float>& color, const PointT<double>& origin,
                                const PointT<double>& scale, bool keep) = 0;
  virtual QZResult DrawPolygon(PolylineT<float>& polyline, const ColorT<float>& color, const PointT<double>& origin,
                               const PointT<double>& scale, bool keep) = 0;
  virtual QZResult FillPolygon(PolylineT<float>& polyline, const ColorT<float>& color, const PointT<double>& origin,
                               const PointT<double>& scale, bool keep) = 0;
  virtual QZResult DrawBitmap(const ConstRCPtr<LBitmap>& bitmap, const RectT<int32_t>& destination,
                              ResizeType resize) = 0;
  // Copies the source rectangle of an offscreen context to point in the current one.
  virtual QZResult DrawRenderContext(const RCPtr<LRenderContextInfo>& context, const PointT<int32_t>& point,
                                     const RectT<int32_t>& source) = 0;
  // Shows an offscreen context's finished surface at point and starts its next one.
  virtual QZResult PresentRenderContext(const RCPtr<LRenderContextInfo>& context, const PointT<int32_t>& point) = 0;

  // While a state is saved: saves the state, rounds offset half away from zero,
  // Translates by it and moves the clip by minus it. With no saved state it does
  // nothing and returns 1.
  virtual QZResult PushClipOffset(const PointT<double>& offset);
  // Saves the state, then clips and moves the origin to the frame's corner (rounded
  // half away from zero; relative: the frame is in current coordinates, else the
  // corner is absolute). relative also limits the clip to the frame and to the current
  // clip and re-expresses it in the new origin. A stencil is set (the first of this
  // state), or a fresh one of its size replaces the one there.
  virtual QZResult PushClip(const RectT<double>& frame, const RectT<double>& clip, const RCPtr<LStencil>& stencil,
                            bool relative);
  // Whether PushClip(frame, clip, null, true) would leave the current state as it is: the
  // frame's corner rounds to the origin and the clip holds all of the current one. False
  // outside a frame.
  // Inline: painting asks it several times per control.
  bool ClipLeavesStateAsIs(const RectT<double>& frame, const RectT<double>& clip) const {
    const RenderState* state = GetCurrentState();
    // A corner within half a pixel of the origin rounds to it (a NaN one is pushed).
    if (!state || !(std::fabs(frame.x) < 0.5 && std::fabs(frame.y) < 0.5)) {
      return false;
    }
    // Whole edges are what normalising leaves as they are; any other clip is simply pushed.
    return ClipKeeps(clip, frame, state->clip) && HasWholeClipEdges(state->clip);
  }

  // PushState, SetClipRect and Translate are defined here: the push and pop of a final
  // backend, which call them without a dispatch, build them in.
  // Saves a copy of the current state (stencil shared).
  virtual QZResult PushState() {
    LRenderContextInfo* context = GetCurrentContext();
    if (!context) {
      return QZ_FALSE;
    }
    context->GetSavedStates().push_back(context->GetState());
    return QZ_OK;
  }
  // Restores the last saved state (origin through Translate, clip through SetClipRect,
  // stencil through SetStencil, factor and stencil flag directly). With no saved state
  // it does nothing and returns 1.
  virtual QZResult PopClip();
  // Stores clip as the current clip rectangle.
  virtual QZResult SetClipRect(const RectT<double>& clip) {
    RenderState* state = GetCurrentState();
    if (!state) {
      return QZ_FALSE;
    }
    state->clip = clip;
    return QZ_OK;
  }
  // Adds offset to the current origin.
  virtual QZResult Translate(const PointT<double>& offset) {
    RenderState* state = GetCurrentState();
    if (!state) {
      return QZ_FALSE;
    }
    state->origin = state->origin + offset;
    return QZ_OK;
  }

  // The current context, or null outside a frame. The stack holds it.
  LRenderContextInfo* GetCurrentContext() const { return mContexts.empty() ? nullptr : mContexts.back().Get(); }
  // The current context's state, or null outside a frame.
  RenderState* GetCurrentState() const {
    LRenderContextInfo* context = GetCurrentContext();
    return context ? &context->GetState() : nullptr;
  }
  // How many contexts are entered.
  uint32_t GetContextDepth() const { return uint32_t(mContexts.size()); }

protected:
  // The bodies of PushClip and PopClip, which reach PushState and the state setters through
  // self: a backend whose class is final passes itself, and those are then called without a
  // dispatch (no class below it can override them). Instantiated in Renderer.cpp for
  // LRenderer and for each such backend.
  template <class Self>
  static QZResult PushClipThrough(Self& self, const RectT<double>& frame, const RectT<double>& clip,
                                  const RCPtr<LStencil>& stencil, bool relative);
  template <class Self>
  static QZResult PopClipThrough(Self& self);

private:
  std::vector<RCPtr<LRenderContextInfo>> mContexts;
};

} // namespace QZ
