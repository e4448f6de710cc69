#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>
#include <optional>
#include <stdexcept>

#include "QZFramework/ControlBase/Look.h"
#include "QZFramework/Renderer/AutoClip.h"
#include "QZFramework/Renderer/ClipIntersection.h"

namespace QZ {

namespace {

// A target's size as parts are drawn: whole pixels already.
SizeT<float> DrawnSize(const RectT<int32_t>& rect) { return {float(rect.width), float(rect.height)}; }

// The working region of a look's drawing (the update region, cut to the look's own region
// when it has one), in the coordinates of the renderer's origin. For several targets its
// rectangles that meet the renderer's clip are found, and moved to those coordinates, once
// for all of them, as most of a frame's rectangles lie elsewhere.
class WorkingRects {
public:
  enum Targets { kOneTarget, kSeveralTargets };

  // Inlined: with one target the search below is never made.
  [[gnu::always_inline]] WorkingRects(const RectListT<int32_t>& updateRegion, const RectListT<int32_t>& ownRegion,
                                      const RenderState& state, Targets targets)
      : mState(state), mWorking(&updateRegion), mAllKept(targets == kSeveralTargets) {
    if (!ownRegion.IsEmpty()) {
      mLimited.emplace(ownRegion);
      mLimited->Offset(int32_t(state.origin.x), int32_t(state.origin.y));
      mLimited->Intersect(updateRegion);
      mLimited->Normalize();
      mWorking = &*mLimited;
    }
    if (mAllKept) {
      mBounds = {DBL_MAX, DBL_MAX, -DBL_MAX, -DBL_MAX};
    }
    for (auto rect = mWorking->begin(); mAllKept && rect != mWorking->end(); ++rect) {
      const RectT<double> local = Local(*rect);
      RectT<double> onClip;
      if (!IntersectClip(onClip, local, state.clip)) {
        continue;
      }
      if (mCount == kKept) {
        mAllKept = false;
        break;
      }
      mKept[mCount++] = {local.x, local.y, local.width, local.height};
      mBounds = {std::min(mBounds.left, local.x), std::min(mBounds.top, local.y),
                 std::max(mBounds.right, local.x + local.width), std::max(mBounds.bottom, local.y + local.height)};
    }
  }

  // False when no rectangle ForEach gives can share an area with target (local
  // coordinates): a frame's parts mostly lie away from what it repaints.
  bool MayMeet(const RectT<double>& target) const {
    return !mAllKept || (target.x < mBounds.right && target.x + target.width > mBounds.left &&
                         target.y < mBounds.bottom && target.y + target.height > mBounds.top);
  }

  const RenderState& State() const { return mState; }

  // Calls each with the rectangles that may meet the clip, in the region's order.
  template <class Each>
  void ForEach(Each each) const {
    if (mAllKept) {
      for (uint32_t i = 0; i < mCount; ++i) {
        const Kept& kept = mKept[i];
        each(RectT<double>{kept.x, kept.y, kept.width, kept.height});
      }
      return;
    }
    for (const EdgeRect& rect : *mWorking) {
      each(Local(rect));
    }
  }

private:
  static constexpr uint32_t kKept = 16;
  // A kept rectangle, left unset until kept: a look with one target keeps none.
  struct Kept {
    double x, y, width, height;
  };

  RectT<double> Local(const EdgeRect& rect) const {
    return rect.ToRect().ToDouble().Offset(-mState.origin.x, -mState.origin.y);
  }

  const RenderState& mState;
  const RectListT<int32_t>* mWorking;
  std::optional<RectListT<int32_t>> mLimited;
  std::array<Kept, kKept> mKept; // in local coordinates, made once for all targets
  uint32_t mCount = 0;
  // The edges of the kept rectangles together (none kept: nothing meets them); set only
  // where rectangles are kept.
  struct {
    double left, top, right, bottom;
  } mBounds;
  bool mAllKept; // else every rectangle is walked
};

// The common frame of the draw operations: calls draw() once for each working rectangle
// that meets target (look coordinates) and the renderer's clip, inside a clip pushed for
// it. Returns how many times draw ran.
template <class Draw>
int32_t ForEachVisibleRect(const RCPtr<LRenderer>& renderer, const WorkingRects& rects, const RectT<int32_t>& target,
                           Draw draw) {
  const RectT<double> frame = target.ToDouble();
  if (!rects.MayMeet(frame)) {
    return 0;
  }
  int32_t drawn = 0;
  rects.ForEach([&](const RectT<double>& local) {
    RectT<double> visible;
    IntersectClip(visible, local, frame);
    RectT<double> onClip;
    if (!(visible.width > DBL_EPSILON) || !(visible.height > DBL_EPSILON) ||
        !IntersectClip(onClip, visible, rects.State().clip)) {
      return;
    }
    CAutoClip clip(renderer, frame, visible, CAutoClip::WhereItChanges{});
    draw();
    ++drawn;
  });
  return drawn;
}

} // namespace

QZResult LLook::DrawNonClientParts(const RCPtr<LRenderer>& renderer, const RectListT<int32_t>& updateRegion) {
  const RenderState* state = renderer->GetCurrentState();
  if (!state || mDescriptor->GetNonClientParts().GetCount() == 0) {
    return 0;
  }
  MakeNonClientParts();
  PlaceNonClientRects();
  bool drewPart = false;
  const WorkingRects rects(updateRegion, mOwnRegion, *state, WorkingRects::kSeveralTargets);
  for (size_t i = 0; i < mNonClientParts.size(); ++i) {
    const RCPtr<LVisualPart>& part = mNonClientParts[i];
    if (!part) {
      continue;
    }
    const RectT<int32_t>& rect = mNonClientRects[i];
    drewPart |=
        ForEachVisibleRect(renderer, rects, rect, [&] { part->Draw(*renderer, DrawnSize(rect)); }) > 0; // Draw gives 0
  }
  return drewPart ? 1 : 0;
}

void LLook::DecodeImagesAhead() const {
  const auto ahead = [](const RCPtr<LVisualPart>& part) {
    if (part && part->GetBitmap()) {
      part->GetBitmap()->DecodeAhead();
    }
  };
  if (!(mOverlayPart && mOverlayReplacesClient)) {
    ahead(mClientPart);
  }
  ahead(mOverlayPart);
  for (const RCPtr<LVisualPart>& part : GetNonClientParts()) {
    ahead(part);
  }
}

bool LLook::IsOpaque() const {
  return mOwnRegion.IsEmpty() && mClientPart && !(mOverlayPart && mOverlayReplacesClient) &&
         mClientRect == RectT<int32_t>{0, 0, mSize.width, mSize.height} && mClientPart->IsOpaque();
}

QZResult LLook::DrawClientParts(const RCPtr<LRenderer>& renderer, const RectListT<int32_t>& updateRegion) {
  const bool drawClient = mClientPart && !(mOverlayPart && mOverlayReplacesClient);
  if (!drawClient && !mOverlayPart) {
    return 0;
  }
  const RenderState* state = renderer->GetCurrentState();
  if (!state) {
    return 0;
  }
  const SizeT<float> size = DrawnSize(mClientRect);
  const WorkingRects rects(updateRegion, mOwnRegion, *state, WorkingRects::kOneTarget);
  const int32_t drawn = ForEachVisibleRect(renderer, rects, mClientRect, [&] {
    if (drawClient) {
      mClientPart->Draw(*renderer, size); // Draw gives 0
    }
    if (mOverlayPart) {
      mOverlayPart->Draw(*renderer, size);
    }
  });
  return drawn > 0 ? 1 : 0;
}

QZResult LLook::DrawLabelText(const RCPtr<LRenderer>& renderer, const RectListT<int32_t>& updateRegion,
                              const PointT<double>& textOffset) {
  if (!mFontText) {
    return 1;
  }
  const RenderState* state = renderer->GetCurrentState();
  if (!state) {
    return 0;
  }
  const RectT<int32_t> block = GetTextBlockRect();
  const WorkingRects rects(updateRegion, mOwnRegion, *state, WorkingRects::kOneTarget);
  ForEachVisibleRect(renderer, rects, block, [&] {
    if (!mTextForegroundPart) {
      return;
    }
    if (mTextForegroundPart->GetBitmap()) {
      Throw<std::domain_error>({"QZ::LLook::DrawLabelText", R"(ControlBase\Look)", 293},
                               "Bitmap fill for text foreground part not yet implemented.");
    }
    const ConstRCPtr<LColorizer>& colorizer = mTextForegroundPart->GetColorizer();
    if (colorizer && colorizer->GetType() != ColorizerType::SolidFill) {
      Throw<std::domain_error>({"QZ::LLook::DrawLabelText", R"(ControlBase\Look)", 302},
                               "Gradient fill for text foreground part not yet implemented.");
    }
    // The first clip already moved the origin to the block's corner: this one is the
    // block itself in its own coordinates.
    const RectT<double> own{0.0, 0.0, double(block.width), double(block.height)};
    CAutoClip clip(renderer, own, own, nullptr);
    const uint32_t lines = mFontText->Layout();
    const RCPtr<LFont>& font = mFontText->GetFont();
    if (!font) {
      return;
    }
    const ColorT<float> color = ColorT<float>::FromARGB(mTextForegroundPart->GetColorAtPoint(PointT<int32_t>{0, 0}));
    for (uint32_t i = 0; i < lines; ++i) {
      const RectT<float>& line = mFontText->GetLineRect(i);
      const PointT<int32_t> position =
          PointT<double>{double(line.x) - textOffset.x, double(line.y) - textOffset.y}.Round();
      // A backend keeps its drawing failures as its own status.
      renderer->DrawText(mFontText->GetLine(i), *font, position.ToDouble(), color);
    }
  });
  return 0;
}

} // namespace QZ
