#include "QZFramework/Renderer/Renderer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <utility>

#include "QZFramework/ObjectBase/DebugAssert.h"
#include "QZFramework/Renderer/D3D9/D3D9Renderer.h"
#include "QZFramework/Renderer/FontRenderer/FreetypeFontRenderer.h"
#include "QZFramework/Renderer/Gdi/GDIRenderer.h"
#include "QZFramework/Renderer/OpenGL/GLGlyphRenderer.h"
#include "QZFramework/Renderer/OpenGL/GLRenderer.h"

namespace QZ {

namespace {

PointT<double> RoundedPoint(const PointT<double>& point) {
  // Nearly every corner a paint pushes is whole already, which rounds to itself (a negative
  // zero to zero).
  if (AreWholeInt32(point.x, point.y, point.x, point.y)) [[likely]] {
    return {point.x + 0.0, point.y + 0.0};
  }
  return point.Round().ToDouble();
}

// What Normalize makes of r. The edges of nearly every clip a paint pushes are whole: the
// same sums are formed, and the snapping is left out where it changes nothing.
[[gnu::noinline]] RectT<double> Normalized(RectT<double> r) {
  r.Normalize();
  return r;
}

RectT<double> NormalizedClip(const RectT<double>& r) {
  const double right = r.x + r.width;
  const double bottom = r.y + r.height;
  if (r.width >= 0.0 && r.height >= 0.0 && HasWholeClipEdges(r)) [[likely]] {
    const double left = r.x + 0.0;
    const double top = r.y + 0.0;
    return {left, top, (right + 0.0) - left, (bottom + 0.0) - top};
  }
  return Normalized(r);
}

} // namespace

RCPtr<LRenderer> LRenderer::Create(int32_t kind, const RectT<int32_t>& /*bounds*/, WindowHandle window) {
  switch (kind) {
  case kRendererOpenGL: {
    const RCPtr<LGlyphProcessor> glyphs(new LGLGlyphRenderer);
    return RCPtr<LRenderer>(new LGLRenderer(window, RCPtr<LFontRenderer>(new LFreetypeFontRenderer(glyphs, glyphs))));
  }
  case kRendererGDI:
    return RCPtr<LRenderer>(new LGDIRenderer);
  case kRendererStandBy:
    return RCPtr<LRenderer>(new LD3D9Renderer);
  default:
    Throw<std::domain_error>({"QZ::LRenderer::Create", R"(Renderer\Renderer)", 129});
  }
}

QZResult LRenderer::SetViewport(const RectT<int32_t>& viewport) {
  LRenderContextInfo* context = GetCurrentContext();
  if (!context) {
    return QZ_FALSE;
  }
  context->SetBounds(viewport);
  return QZ_OK;
}

QZResult LRenderer::SetStencil(const RCPtr<LStencil>& stencil) {
  RenderState* state = GetCurrentState();
  if (!state) {
    return QZ_FALSE;
  }
  state->stencil = stencil;
  return QZ_OK;
}

QZResult LRenderer::RenderStart(const RCPtr<LRenderContextInfo>& context) {
  QZ_ASSERT_MAIN_THREAD("a renderer");
  if (!context) {
    Throw<std::runtime_error>({"QZ::LRenderer::RenderStart", R"(Renderer\Renderer)", 232}, "Render context is NULL");
  }
  if (std::find(mContexts.begin(), mContexts.end(), context) != mContexts.end()) {
    Throw<std::runtime_error>({"QZ::LRenderer::RenderStart", R"(Renderer\Renderer)", 238}, "Render context reentered.");
  }
  mContexts.push_back(context);
  return QZ_OK;
}

QZResult LRenderer::RenderFinish(const RCPtr<LRenderContextInfo>& context) {
  QZ_ASSERT_MAIN_THREAD("a renderer");
  if (mContexts.empty() || mContexts.back() != context) {
    Throw<std::runtime_error>({"QZ::LRenderer::RenderFinish", R"(Renderer\Renderer)", 251},
                              "RenderFinish context does not match RenderStart context");
  }
  mContexts.pop_back();
  return QZ_OK;
}

QZResult LRenderer::PushClipOffset(const PointT<double>& offset) {
  LRenderContextInfo* context = GetCurrentContext();
  if (!context || context->GetSavedStates().empty()) {
    return QZ_FALSE;
  }
  PushState();
  const PointT<double> rounded = RoundedPoint(offset);
  Translate(rounded);
  RectT<double>& clip = context->GetState().clip;
  clip = clip.Offset(-rounded.x, -rounded.y);
  return QZ_OK;
}

QZResult LRenderer::PushClip(const RectT<double>& frame, const RectT<double>& clip, const RCPtr<LStencil>& stencil,
                             bool relative) {
  return PushClipThrough(*this, frame, clip, stencil, relative);
}

template <class Self>
QZResult LRenderer::PushClipThrough(Self& self, const RectT<double>& frame, const RectT<double>& clip,
                                    const RCPtr<LStencil>& stencil, bool relative) {
  LRenderContextInfo* context = self.GetCurrentContext();
  if (!context) {
    return QZ_FALSE;
  }
  PointT<double> corner = frame.GetOrigin();
  if (!relative) {
    corner = corner - context->GetState().origin;
  }
  corner = RoundedPoint(corner);
  self.PushState();
  RectT<double> r = clip;
  if (relative) {
    IntersectClip(r, r, frame);
    IntersectClip(r, r, context->GetState().clip);
  }
  self.SetClipRect(NormalizedClip(r));
  self.Translate(corner);
  if (relative) {
    RectT<double>& current = context->GetState().clip;
    current = current.Offset(-corner.x, -corner.y);
  }
  if (stencil) {
    RenderState& state = context->GetState();
    if (!state.hasStencil) {
      self.SetStencil(stencil);
      state.hasStencil = true;
    } else {
      self.SetStencil(RCPtr<LStencil>(new LStencil(stencil->GetSize())));
    }
  }
  return QZ_OK;
}

QZResult LRenderer::PopClip() { return PopClipThrough(*this); }

template <class Self>
QZResult LRenderer::PopClipThrough(Self& self) {
  LRenderContextInfo* context = self.GetCurrentContext();
  if (!context || context->GetSavedStates().empty()) {
    return QZ_FALSE;
  }
  std::vector<RenderState>& saved = context->GetSavedStates();
  RenderState& restored = saved.back();
  RenderState& state = context->GetState();
  // Painting pops a state per control and part: the setters (which a backend may carry
  // to its device) run only for what differs.
  if (!(restored.origin == state.origin)) {
    self.Translate(restored.origin - state.origin);
    // The difference of two origins need not add back exactly: restore the saved value.
    state.origin = restored.origin;
  }
  state.factor = restored.factor;
  if (!(restored.clip == state.clip)) {
    self.SetClipRect(restored.clip);
  }
  if (restored.stencil != state.stencil) {
    self.SetStencil(restored.stencil);
  }
  state.hasStencil = restored.hasStencil;
  saved.pop_back();
  return QZ_OK;
}

// LGDIRenderer's push and pop (final: its setters need no dispatch).
template QZResult LRenderer::PushClipThrough(LGDIRenderer&, const RectT<double>&, const RectT<double>&,
                                             const RCPtr<LStencil>&, bool);
template QZResult LRenderer::PopClipThrough(LGDIRenderer&);

} // namespace QZ
