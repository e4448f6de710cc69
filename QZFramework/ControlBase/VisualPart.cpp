#include "QZFramework/ControlBase/VisualPart.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace QZ {

namespace {

// Drawn sizes within this of the part's own size read the part's pixels directly.
constexpr float kSameSize = 1.1920929e-6f;
// Relative tolerance of the edges of a stretched source area.
constexpr double kEdgeTolerance = 1.1920929e-7;

// Rounds down, counting a value a rounding error below a whole number as that number.
int32_t FloorWithTolerance(double value) { return int32_t(std::floor(value + std::fabs(value) * kEdgeTolerance)); }

// Saturates a 64-bit pixel coordinate to 32 bits.
int32_t Saturate(int64_t value) { return int32_t(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX)); }

} // namespace

RCPtr<LVisualPart> LVisualPart::Create(const WString& name, const ConstRCPtr<LBitmap>& bitmap, ResizeType resizeType,
                                       const ConstRCPtr<LColorizer>& colorizer, float opacity,
                                       const ConstRCPtr<LBitmap>& mask) {
  if (!bitmap) {
    return nullptr;
  }
  return RCPtr<LVisualPart>(
      new LVisualPart(name, bitmap, resizeType, colorizer, {bitmap->GetWidth(), bitmap->GetHeight()}, opacity, mask));
}

LVisualPart::LVisualPart(const WString& name, const ConstRCPtr<LBitmap>& bitmap, ResizeType resizeType,
                         const ConstRCPtr<LColorizer>& colorizer, const SizeT<int32_t>& size, float opacity,
                         const ConstRCPtr<LBitmap>& mask)
    : mName(name), mBitmap(bitmap), mSize(bitmap ? SizeT<int32_t>{bitmap->GetWidth(), bitmap->GetHeight()} : size),
      mResizeType(resizeType), mColorizer(colorizer), mOpacity(opacity), mMask(mask) {
  if (!mColorizer) {
    return;
  }
  if (!mBitmap && !mMask && mColorizer->GetType() == ColorizerType::SolidFill) {
    return;
  }
  mBitmap = LBitmap::ApplyColorizer(mColorizer, mOpacity, mSize, mBitmap, mMask);
}

LVisualPart::~LVisualPart() = default;

void LVisualPart::BindDescriptor(LVisualPartDescriptor* descriptor) {
  mDescriptor = descriptor;
  AddInternalReferences(1);
}

QZResult LVisualPart::ReleaseInternalReferences() {
  if (GetInternalRefCount() < 1) {
    return QZ_FALSE;
  }
  if (!mDescriptor) {
    return QZ_OK;
  }
  // The descriptor's reference to this part goes; this part's reference to the descriptor
  // stays until destruction, so the descriptor outlives the call.
  mDescriptor->mVisualPart = nullptr;
  AddInternalReferences(-1);
  return QZ_OK;
}

ColorT<float> LVisualPart::GetFillColor() const {
  ColorT<float> color = mColorizer->GetColor();
  color.alpha *= mOpacity;
  return color;
}

bool LVisualPart::IsOpaque() const {
  return !mBitmap && !mMask && mColorizer && mColorizer->GetType() == ColorizerType::SolidFill &&
         mResizeType != ResizeType::Center && GetFillColor().alpha >= 1.0f;
}

QZResult LVisualPart::Draw(LRenderer& renderer, const SizeT<float>& size) const {
  const int32_t width = RoundToInt32(size.width);
  const int32_t height = RoundToInt32(size.height);
  if (mBitmap) {
    // A backend keeps its drawing failures as its own status; the part has nothing to add.
    renderer.DrawBitmap(mBitmap, {0, 0, width, height}, mResizeType);
    return QZ_OK;
  }
  if (!mColorizer) {
    Throw<std::runtime_error>({"QZ::LVisualPart::Draw", R"(ControlBase\VisualPart)", 218});
  }
  const ColorT<float> color = GetFillColor();
  if (!(color.alpha > 0.0f)) {
    return QZ_OK;
  }
  RectT<int32_t> fill{0, 0, width, height};
  if (mResizeType == ResizeType::Center) {
    fill = {Saturate((int64_t(width) - mSize.width) / 2), Saturate((int64_t(height) - mSize.height) / 2), mSize.width,
            mSize.height};
  }
  renderer.FillRect(fill, color, true);
  return QZ_OK;
}

uint32_t LVisualPart::GetColorAtPoint(const PointT<int32_t>& point) const {
  if (point.x < 0 || point.y < 0 || point.x >= mSize.width || point.y >= mSize.height) {
    return kOutside;
  }
  if (mBitmap) {
    return mBitmap->GetPixelColor(point.x, point.y).ToARGB();
  }
  if (!mColorizer) {
    Throw<std::runtime_error>({"QZ::LVisualPart::GetColorAtPoint", R"(ControlBase\VisualPart)", 91});
  }
  switch (mColorizer->GetType()) {
  case ColorizerType::SolidFill:
    return GetFillColor().ToARGB();
  case ColorizerType::LinearGradient:
    Throw<std::runtime_error>({"QZ::LVisualPart::GetColorAtPoint", R"(ControlBase\VisualPart)", 76});
  default:
    Throw<std::runtime_error>({"QZ::LVisualPart::GetColorAtPoint", R"(ControlBase\VisualPart)", 81});
  }
}

uint32_t LVisualPart::GetColorAtPoint(const PointT<float>& point, const SizeT<float>& drawnSize) const {
  const float partWidth = float(mSize.width);
  const float partHeight = float(mSize.height);
  if (std::fabs(drawnSize.width - partWidth) <= kSameSize && std::fabs(drawnSize.height - partHeight) <= kSameSize) {
    return GetColorAtPoint(point.Round());
  }
  if (!(point.x >= 0.0f && point.x < drawnSize.width && point.y >= 0.0f && point.y < drawnSize.height)) {
    return kOutside;
  }
  switch (mResizeType) {
  case ResizeType::Tile:
    // A part without area repeats nothing (and must not be divided by).
    if (mSize.width <= 0 || mSize.height <= 0) {
      return kOutside;
    }
    return GetColorAtPoint(
        PointT<int32_t>{int32_t(point.x + 0.5f) % mSize.width, int32_t(point.y + 0.5f) % mSize.height});
  case ResizeType::Center:
    return GetColorAtPoint(
        PointT<float>{point.x - (drawnSize.width - partWidth) * 0.5f, point.y - (drawnSize.height - partHeight) * 0.5f}
            .Round());
  case ResizeType::Stretch: {
    const float scaleX = partWidth / drawnSize.width;
    const float scaleY = partHeight / drawnSize.height;
    if (drawnSize.width >= partWidth && drawnSize.height >= partHeight) {
      return GetColorAtPoint(PointT<int32_t>{int32_t(scaleX * point.x), int32_t(scaleY * point.y)});
    }
    return ScanStretchedArea(point, scaleX, scaleY);
  }
  default:
    Throw<std::runtime_error>({"QZ::LVisualPart::GetColorAtPoint", R"(ControlBase\VisualPart)", 165});
  }
}

uint32_t LVisualPart::ScanStretchedArea(const PointT<float>& point, float scaleX, float scaleY) const {
  const double left = double(scaleX) * point.x;
  const double top = double(scaleY) * point.y;
  const int32_t x0 = FloorWithTolerance(left);
  const int32_t y0 = FloorWithTolerance(top);
  const int32_t x1 = FloorWithTolerance(left + std::max(scaleX, 1.0f));
  const int32_t y1 = FloorWithTolerance(top + std::max(scaleY, 1.0f));
  uint32_t last = kOutside;
  for (int32_t x = x0; x < x1; ++x) {
    for (int32_t y = y0; y < y1; ++y) {
      last = GetColorAtPoint(PointT<int32_t>{x, y});
      if ((last >> 24) != 0) {
        return last;
      }
    }
  }
  return last;
}

} // namespace QZ
