#include <cfloat>
#include <cmath>
#include <stdexcept>

#include "QZFramework/ControlBase/Look.h"
#include "QZFramework/Renderer/AutoClip.h"

namespace QZ {

namespace {

// A target size rounded to whole pixels, as parts are drawn.
SizeT<float> DrawnSize(const RectT<int32_t>& rect) {
  return {float(RoundToInt32(rect.width)), float(RoundToInt32(rect.height))};
}

} // namespace

template <class Draw>
int32_t LLook::ForEachVisibleRect(const RCPtr<LRenderer>& renderer, const RectListT<int32_t>& updateRegion,
                                  const RectT<int32_t>& target, Draw draw) {
  const RenderState* state = renderer->GetCurrentState();
  if (!state) {
    return 0;
  }
  const PointT<double> translation = state->origin;
  const RectListT<int32_t>* working = &updateRegion;
  RectListT<int32_t> limited;
  if (!mOwnRegion.IsEmpty()) {
    limited = mOwnRegion;
    limited.Offset(int32_t(translation.x), int32_t(translation.y));
    limited.Intersect(updateRegion);
    limited.Normalize();
    working = &limited;
  }
  const RectT<double> frame = target.ToDouble();
  int32_t drawn = 0;
  for (const EdgeRect& rect : *working) {
    RectT<double> visible;
    RectT<double>::Intersect(visible, rect.ToRect().ToDouble().Offset(-translation.x, -translation.y), frame);
    RectT<double> onClip;
    if (!(visible.width > DBL_EPSILON) || !(visible.height > DBL_EPSILON) ||
        !RectT<double>::Intersect(onClip, visible, state->clip)) {
      continue;
    }
    CAutoClip clip(renderer, frame, visible, CAutoClip::WhereItChanges{});
    draw();
    ++drawn;
  }
  return drawn;
}

QZResult LLook::DrawNonClientParts(const RCPtr<LRenderer>& renderer, const RectListT<int32_t>& updateRegion) {
  bool drewPart = false;
  PlaceNonClientRects();
  for (size_t i = 0; i < mNonClientParts.size(); ++i) {
    const RCPtr<LVisualPart>& part = mNonClientParts[i];
    if (!part) {
      continue;
    }
    const RectT<int32_t>& rect = mNonClientRects[i];
    drewPart |= ForEachVisibleRect(renderer, updateRegion, rect, [&] { part->Draw(*renderer, DrawnSize(rect)); }) >
                0; // Draw gives 0
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
  for (const RCPtr<LVisualPart>& part : mNonClientParts) {
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
  const SizeT<float> size = DrawnSize(mClientRect);
  const int32_t drawn = ForEachVisibleRect(renderer, updateRegion, mClientRect, [&] {
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
  const RectT<int32_t> block = GetTextBlockRect();
  ForEachVisibleRect(renderer, updateRegion, block, [&] {
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
    CAutoClip clip(renderer, own, own, CAutoClip::WhereItChanges{});
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
