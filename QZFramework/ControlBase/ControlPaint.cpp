// Painting of a control and its clipped subtree, the collection of the controls that paint
// above the tree, and the back-buffer operations of a buffered control.
//
// No control keeps a back buffer (mBuffered stays false: nothing sets it), so the buffered
// branches are not built: the back buffer is never cleared or drawn into, the child passes
// always paint on screen, and the back-buffer operations below do nothing.

#include <cfloat>
#include <optional>
#include <string>

#include "QZFramework/ControlBase/Control.h"
#include "QZFramework/ControlBase/Look.h"
#include "QZFramework/ObjectBase/DebugAssert.h"
#include "QZFramework/Renderer/AutoClip.h"
#include "QZFramework/Renderer/ClipIntersection.h"
#include "QZFramework/Services/Trace/DebugTrace.h"

namespace QZ {
namespace {

// Docking of a child as the child passes sort it: 0, 1 or 2 docked axes.
int32_t DockedAxes(const LLayoutDescriptor& layout) {
  return int32_t(layout.position[0].docked) + int32_t(layout.position[1].docked);
}

RectT<double> RoundedRect(const RectT<double>& rect) {
  // Nearly every control's rectangle is whole pixels already, which round to themselves (a
  // negative zero to zero).
  if (AreWholeInt32(rect.x, rect.y, rect.width, rect.height)) {
    return {rect.x + 0.0, rect.y + 0.0, rect.width + 0.0, rect.height + 0.0};
  }
  return RectT<int32_t>{RoundToInt32(rect.x), RoundToInt32(rect.y), RoundToInt32(rect.width), RoundToInt32(rect.height)}
      .ToDouble();
}

// GetLookRect(index) rounded to whole pixels, for the look FindLook(index) gives: a look's
// client rectangle is whole already, and only the control's own size needs rounding.
RectT<double> DrawnClientRect(const LLook* look, const RectT<double>& controlRect) {
  return look ? look->GetClientRect().ToDouble() : RoundedRect({0.0, 0.0, controlRect.width, controlRect.height});
}

bool HasArea(const RectT<double>& rect) { return rect.width > DBL_EPSILON && rect.height > DBL_EPSILON; }

// Whether outer holds all of inner.
bool Holds(const RectT<double>& outer, const RectT<double>& inner) {
  return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.width <= outer.x + outer.width &&
         inner.y + inner.height <= outer.y + outer.height;
}

// A frame whose corner is origin and which reaches the far edges of clip, so that a
// relative push clips to clip alone.
RectT<double> FrameReaching(const PointT<double>& origin, const RectT<double>& clip) {
  return {origin.x, origin.y, clip.x + clip.width - origin.x, clip.y + clip.height - origin.y};
}

// Whether a rectangle of the update region (window coordinates) comes within a pixel of
// visible (in the coordinates of origin). Every drawing of a control and its clipped
// subtree is cut to the update rectangles: one nowhere near them draws nothing.
bool NearUpdateRegion(const RectListT<int32_t>& updateRegion, const RectT<double>& visible,
                      const PointT<double>& origin) {
  const double left = visible.x + origin.x - 1.0;
  const double top = visible.y + origin.y - 1.0;
  const double right = visible.x + visible.width + origin.x + 1.0;
  const double bottom = visible.y + visible.height + origin.y + 1.0;
  for (const EdgeRect& rect : updateRegion) {
    if (rect.left < right && rect.right > left && rect.top < bottom && rect.bottom > top) {
      return true;
    }
  }
  return false;
}

// A look's weight (or the control's opacity) multiplies the renderer's alpha factor for its
// drawing, which changes nothing else of the state (every draw pops what it pushes): the
// factor alone is put back, without a saved state per look and pass.
class WeightScope {
public:
  WeightScope(LRenderer& renderer, float weight) : mState(*renderer.GetCurrentState()), mFactor(mState.factor) {
    mState.factor *= weight;
  }
  WeightScope(const WeightScope&) = delete;
  WeightScope& operator=(const WeightScope&) = delete;
  ~WeightScope() { mState.factor = mFactor; }

private:
  RenderState& mState;
  float mFactor;
};

// Runs one draw operation of a look. A look that fails (a skin it cannot draw) costs its
// own drawing only: the failure is traced and the tree goes on painting.
template <class Draw>
void DrawLookGuarded(const LControl& control, Draw draw) {
  try {
    draw();
  } catch (const ExceptionBase& failure) {
    DebugTrace::Get().Narrow() << "QZ::LControl::Paint : " << control.GetName().ToUTF8().GetBuffer() << " : "
                               << failure.What() << "\n";
  }
}

} // namespace

QZResult LControl::Paint(const RCPtr<LRenderer>& renderer, const RectListT<int32_t>& updateRegion,
                         RCPtrArray<LControl, 1, 0>& deferred, bool deferredPass) {
  QZ_ASSERT_MAIN_THREAD("the control tree");
  const bool clipsToParent = !mLayout || mLayout->clipToParent;
  if (!renderer || clipsToParent == deferredPass) {
    return QZ_E_INVALIDARG;
  }
  const RenderState* state = renderer->GetCurrentState();
  if (!IsShownItself() || !state) {
    return QZ_OK;
  }
  RectT<double> visible = mRect;
  if (!deferredPass) {
    IntersectClip(visible, visible, state->clip);
  }
  if (!HasArea(visible)) {
    if (mUnclippedCount > 0) {
      CollectUnclipped(deferred, true, false);
    }
    return QZ_OK;
  }

  // A control at its parent's origin that fills the clip (a window's top control) leaves
  // the state as it is.
  CAutoClip ownClip(renderer, RoundedRect(mRect), visible, CAutoClip::WhereItChanges{});
  WeightScope opacity(*renderer, mOpacity);
  RectT<double> onClip;
  if (!IntersectClip(onClip, {0.0, 0.0, mRect.width, mRect.height}, renderer->GetCurrentState()->clip)) {
    if (mUnclippedCount > 0) {
      CollectUnclipped(deferred, true, false);
    }
    return QZ_OK;
  }

  const uint32_t lookCount = mLooks.GetCount();
  // Drawing a look's parts changes no weight (DrawContent, after them, may): a sole look,
  // as most controls have, draws both kinds of parts under one reading of the weights.
  const int32_t sole = GetSoleLook();
  // Under opaque children the looks would only be painted over.
  const bool covered = mChildren.GetCount() > 0 && CoveredByOpaqueChildren(renderer, updateRegion, sole);
  if (!covered && sole >= 0) {
    if (const RCPtr<LLook>& look = mLooks.GetAt(uint32_t(sole)); look) {
      WeightScope weighted(*renderer, GetLookWeight(uint32_t(sole)));
      DrawLookGuarded(*this, [&] { return look->DrawClientParts(renderer, updateRegion); });
      DrawLookGuarded(*this, [&] { return look->DrawNonClientParts(renderer, updateRegion); });
    }
  } else if (!covered) {
    for (uint32_t i = 0; i < lookCount; ++i) {
      const RCPtr<LLook>& look = mLooks.GetAt(i);
      if (const float weight = GetLookWeight(i); look && weight > 0.0f) {
        WeightScope weighted(*renderer, weight);
        DrawLookGuarded(*this, [&] { return look->DrawClientParts(renderer, updateRegion); });
      }
    }
    for (uint32_t i = 0; i < lookCount; ++i) {
      const RCPtr<LLook>& look = mLooks.GetAt(i);
      if (const float weight = GetLookWeight(i); look && weight > 0.0f) {
        WeightScope weighted(*renderer, weight);
        DrawLookGuarded(*this, [&] { return look->DrawNonClientParts(renderer, updateRegion); });
      }
    }
  }

  if (!(mEmptyPaintHooks & kEmptyDrawContent)) {
    DrawOnUpdateRects(renderer, updateRegion, &LControl::DrawContent);
  }

  const PointT<double> textOffset = mLooksFollowScroll ? mScrollOffset : PointT<double>{};
  for (uint32_t i = 0; i < lookCount; ++i) {
    const float weight = GetLookWeight(i);
    if (!(weight > 0.0f)) {
      continue;
    }
    WeightScope weighted(*renderer, weight);
    if (const RCPtr<LLook>& look = mLooks.GetAt(i); look && !covered) {
      DrawLookGuarded(*this, [&] { return look->DrawLabelText(renderer, updateRegion, textOffset); });
    }
    if (mChildren.GetCount() > 0) {
      PaintChildren(renderer, updateRegion, deferred, int32_t(i));
    }
  }

  if (!(mEmptyPaintHooks & kEmptyDrawOverlay)) {
    DrawOnUpdateRects(renderer, updateRegion, &LControl::DrawOverlay);
  }

  // Controls free of this one's clip paint after the whole tree, in the deferred pass (the
  // count tells whether a child is one, without a look at every child).
  for (uint32_t i = 0; mUnclippedCount > 0 && i < mChildren.GetCount(); ++i) {
    const RCPtr<LControl>& child = mChildren.GetAt(i, ChildControlList::kPaintOrder);
    if (child->IsShown(false) && !child->mLayout->clipToParent) {
      deferred.AddItem(child);
    }
  }
  return QZ_OK;
}

int32_t LControl::GetSoleLook() const {
  int32_t sole = -1;
  for (uint32_t i = 0; i < mLooks.GetCount(); ++i) {
    if (GetLookWeight(i) > 0.0f) {
      if (sole != -1) {
        return -1;
      }
      sole = int32_t(i);
    }
  }
  return sole;
}

bool LControl::PaintsOpaquely() const {
  if (!mLayout || !mLayout->clipToParent || mOpacity < 1.0f || !IsShownItself()) {
    return false;
  }
  const int32_t sole = GetSoleLook();
  if (sole < 0) {
    return false;
  }
  const RCPtr<LLook>& look = mLooks.GetAt(uint32_t(sole));
  return look && GetLookWeight(uint32_t(sole)) >= 1.0f && look->IsOpaque() &&
         look->GetSize().width >= RoundToInt32(mRect.width) && look->GetSize().height >= RoundToInt32(mRect.height);
}

bool LControl::CoveredByOpaqueChildren(const RCPtr<LRenderer>& renderer, const RectListT<int32_t>& updateRegion,
                                       int32_t sole) const {
  if (sole < 0) {
    return false;
  }
  // Children docked on fewer than two axes are cut to the client area and drawn from its
  // corner less the scroll offset (ChildClip).
  const RectT<double> client = DrawnClientRect(mLooks.GetAt(uint32_t(sole)).Get(), mRect);
  const PointT<double> origin{client.x - mScrollOffset.x, client.y - mScrollOffset.y};
  const RenderState& state = *renderer->GetCurrentState();
  for (const EdgeRect& rect : updateRegion) {
    RectT<double> local;
    if (!IntersectClip(local, rect.ToRect().ToDouble().Offset(-state.origin.x, -state.origin.y), state.clip)) {
      continue;
    }
    bool under = false;
    for (uint32_t i = 0; i < mChildren.GetCount() && !under; ++i) {
      const LControl& child = *mChildren.GetAt(i, ChildControlList::kPaintOrder);
      // The geometry first: most children miss the rectangle, and their layouts and looks
      // stay untouched (each a read of memory a blink's repaint finds cold).
      const RectT<double>& placed = child.mRect;
      if (placed.x + origin.x > local.x + 0.5 || placed.y + origin.y > local.y + 0.5 ||
          placed.x + placed.width + origin.x < local.x + local.width - 1.0 ||
          placed.y + placed.height + origin.y < local.y + local.height - 1.0) {
        continue; // rounded (a corner by half a pixel, a far edge by one), it cannot hold it either
      }
      RectT<double> shown;
      under = child.mLayout && DockedAxes(*child.mLayout) < 2 &&
              IntersectClip(shown, RoundedRect(child.mRect).Offset(origin.x, origin.y), client) &&
              Holds(shown, local) && child.PaintsOpaquely();
    }
    if (!under) {
      return false;
    }
  }
  return true;
}

void LControl::DrawOnUpdateRects(const RCPtr<LRenderer>& renderer, const RectListT<int32_t>& updateRegion,
                                 QZResult (LControl::*draw)(const RCPtr<LRenderer>&)) {
  for (const EdgeRect& rect : updateRegion) {
    const RenderState& state = *renderer->GetCurrentState();
    RectT<double> local = rect.ToRect().ToDouble().Offset(-state.origin.x, -state.origin.y);
    IntersectClip(local, local, state.clip);
    if (!HasArea(local)) {
      continue;
    }
    if (local == state.clip) {
      // The rectangle holds all the clip already holds: the push would change nothing.
      (void)(this->*draw)(renderer); // a hook: its answer changes nothing here
    } else {
      CAutoClip clip(renderer, FrameReaching({0.0, 0.0}, local), local, nullptr);
      (void)(this->*draw)(renderer); // likewise
    }
  }
}

void LControl::PaintChildren(const RCPtr<LRenderer>& renderer, const RectListT<int32_t>& updateRegion,
                             RCPtrArray<LControl, 1, 0>& deferred, int32_t lookIndex) {
  const uint32_t count = mChildren.GetCount();
  const ClipDescriptor client = ChildClip(lookIndex, true);
  uint32_t index = PaintChildPass(renderer, updateRegion, deferred, 0, 0, client);
  if (index < count) {
    index = PaintChildPass(renderer, updateRegion, deferred, index, 1, client);
  }
  if (index < count) {
    PaintChildPass(renderer, updateRegion, deferred, index, 2, ChildClip(lookIndex, false));
  }
}

uint32_t LControl::PaintChildPass(const RCPtr<LRenderer>& renderer, const RectListT<int32_t>& updateRegion,
                                  RCPtrArray<LControl, 1, 0>& deferred, uint32_t first, int32_t dockedAxes,
                                  const ClipDescriptor& clip) {
  const uint32_t count = mChildren.GetCount();
  uint32_t end = first;
  for (; end < count; ++end) {
    const RCPtr<LLayoutDescriptor>& layout = mChildren.GetAt(end, ChildControlList::kPaintOrder)->mLayout;
    // A child without a layout is never shown: it neither belongs to a pass nor ends one.
    if (layout && (!layout->clipToParent || DockedAxes(*layout) != dockedAxes)) {
      break;
    }
  }
  if (end == first) {
    return end;
  }
  // The client clip bands skip whole bands of children off the renderer's clip; the
  // children docked on both axes are not clipped to the client area.
  RectT<double> onClip;
  if (clip.flavor == ClipFlavorClip &&
      (!HasArea(clip.clip) || !IntersectClip(onClip, clip.clip, renderer->GetCurrentState()->clip))) {
    for (uint32_t i = first; i < end; ++i) {
      const RCPtr<LControl>& child = mChildren.GetAt(i, ChildControlList::kPaintOrder);
      if (child->mUnclippedCount > 0) {
        child->CollectUnclipped(deferred, true, false);
      }
    }
    return end;
  }
  // A client clip is relative and without a stencil: often it changes nothing.
  std::optional<CAutoClip> pushed;
  if (clip.flavor == ClipFlavorClip) {
    pushed.emplace(renderer, clip.frame, clip.clip, CAutoClip::WhereItChanges{});
  } else {
    pushed.emplace(renderer, clip);
  }
  for (uint32_t i = first; i < end; ++i) {
    // Painting never changes the tree: the list's own reference keeps the child.
    const RCPtr<LControl>& child = mChildren.GetAt(i, ChildControlList::kPaintOrder);
    // A child off the clip or away from every update rectangle (most of them, for a small
    // repaint) is passed over here, as its Paint would draw nothing: only what floats free
    // of it below is still to be found.
    const RenderState& state = *renderer->GetCurrentState();
    RectT<double> visible;
    IntersectClip(visible, child->mRect, state.clip);
    if (!HasArea(visible) || !NearUpdateRegion(updateRegion, visible, state.origin)) {
      if (child->mUnclippedCount > 0) {
        child->CollectUnclipped(deferred, true, false);
      }
      continue;
    }
    child->Paint(renderer, updateRegion, deferred, false); // a clipped child in its own pass
  }
  return end;
}

ClipDescriptor LControl::ChildClip(int32_t lookIndex, bool clipToClient) const {
  const RectT<double> client = DrawnClientRect(FindLook(lookIndex), mRect);
  const PointT<double> origin{client.x - mScrollOffset.x, client.y - mScrollOffset.y};
  ClipDescriptor descriptor;
  if (clipToClient) {
    descriptor.flavor = ClipFlavorClip;
    descriptor.frame = FrameReaching(origin, client);
    descriptor.clip = client;
  } else {
    descriptor.flavor = ClipFlavorOffset;
    descriptor.offset = origin;
  }
  return descriptor;
}

uint32_t LControl::CollectUnclipped(RCPtrArray<LControl, 1, 0>& list, bool skipHidden, bool includeSelf) {
  const uint32_t before = list.GetCount();
  const bool hidden = !IsShown(false);
  if (includeSelf && mLayout && !mLayout->clipToParent && !(skipHidden && hidden)) {
    list.AddItem(RCPtr<LControl>(this));
  }
  // The count says whether anything below is left to find.
  if ((skipHidden && hidden) || mUnclippedCount == 0) {
    return list.GetCount() - before;
  }
  for (uint32_t i = 0; i < mChildren.GetCount(); ++i) {
    const RCPtr<LControl>& child = mChildren.GetAt(i, ChildControlList::kPaintOrder);
    child->CollectUnclipped(list, skipHidden, true);
  }
  return list.GetCount() - before;
}

// --- Back buffer (no control keeps one) -----------------------------------------------------

QZResult LControl::RebuildBackBuffer() { return QZ_FALSE; }

QZResult LControl::AddToUpdateRegion(const RectT<double>&, bool) { return QZ_FALSE; }

QZResult LControl::BeginClientUpdate() {
  mSavedLookRect = GetLookRect(-1);
  mClientUpdate = true;
  return QZ_OK;
}

QZResult LControl::EndClientUpdate() {
  mClientUpdate = false;
  return QZ_OK;
}

QZResult LControl::ScrollContent(const PointT<double>&, const PointT<double>&) { return QZ_FALSE; }

QZResult LControl::OnChildLayoutChanged(const RCPtr<LControl>&) { return QZ_FALSE; }

} // namespace QZ
