#pragma once
// QZ::LVisualPart: the drawable form of one skin Part: a bitmap drawn with a resize rule,
// or a colour filled from a colorizer. Looks draw their frames, fills and images with
// them and ask them which colour shows at a point (transparent pixels of a skin do not
// catch the mouse).
//
//   QZ::RCPtr<QZ::LVisualPart> arrow = QZ::LVisualPart::Create(u"arrow", bitmap, QZ::ResizeType::Center,
//                                                              nullptr, 1.0f, nullptr);
//   arrow->Draw(*renderer, {24.0f, 24.0f});             // DrawBitmap(bitmap, {0, 0, 24, 24}, Center)
//   uint32_t argb = arrow->GetColorAtPoint({3.0f, 4.0f}, {24.0f, 24.0f});
//
// A part is immutable once built. Parts made by a part descriptor
// (LVisualPartDescriptor::CreateVisualPart) and the descriptor hold each other: the
// descriptor's hold is an internal reference of the part, so the part goes, and the
// descriptor forgets it, when the last reference from outside the descriptor goes.
// UI thread, like the renderer and the bitmaps.

#include <cstdint>

#include "QZFramework/ControlBase/LookDescriptor.h"
#include "QZFramework/ObjectBase/RCPtr.h"
#include "QZFramework/Renderer/Renderer.h"
#include "QZFramework/Utilities/Graphics/Bitmap.h"
#include "QZFramework/Utilities/Graphics/Colorizer.h"
#include "QZFramework/Utilities/Graphics/Geometry.h"
#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

class LVisualPart : public virtual LRefCountedObject {
public:
  // What a point outside a part shows: transparent white.
  static constexpr uint32_t kOutside = 0x00FFFFFF;

  // A bitmap part of the bitmap's size; null when bitmap is null. Colorizer and mask may
  // be null; construction as below.
  static RCPtr<LVisualPart> Create(const WString& name, const ConstRCPtr<LBitmap>& bitmap, ResizeType resizeType,
                                   const ConstRCPtr<LColorizer>& colorizer, float opacity,
                                   const ConstRCPtr<LBitmap>& mask);

  // With a bitmap the size is the bitmap's. Without a colorizer the part draws the bitmap
  // as it is; without bitmap and mask a solid colorizer makes a colour part of `size`;
  // any other colorizer is baked into a new bitmap (LBitmap::ApplyColorizer with
  // opacity, size, bitmap and mask), drawn from then on as a bitmap part. Throws what
  // ApplyColorizer throws (Domain Error for a gradient fill or an image with a mask,
  // Runtime Error for a side below 1).
  LVisualPart(const WString& name, const ConstRCPtr<LBitmap>& bitmap, ResizeType resizeType,
              const ConstRCPtr<LColorizer>& colorizer, const SizeT<int32_t>& size, float opacity,
              const ConstRCPtr<LBitmap>& mask);
  ~LVisualPart() override;

  // Draws the part into (0, 0, size) of the renderer's current coordinates, the size
  // rounded half away from zero to W x H. A bitmap part: DrawBitmap(bitmap,
  // {0, 0, W, H}, resize type), whose rule fits it (and rejects an unknown type). A
  // colour part fills {0, 0, W, H} (Center: its own size centred, halves truncated) with
  // the colour, its alpha times the opacity; nothing when that alpha is not above 0.
  // Returns 0. Throws Runtime Error for a part with neither bitmap nor colorizer.
  virtual QZResult Draw(LRenderer& renderer, const SizeT<float>& size) const;

  // The ARGB colour at a pixel of the part at its own size; kOutside outside it. A colour
  // part gives its colour with alpha times opacity (also when that alpha is 0). Throws
  // Runtime Error for a colour part without colorizer or with a gradient colorizer.
  uint32_t GetColorAtPoint(const PointT<int32_t>& point) const;
  // Whether drawing the part sets every pixel of the size it is drawn at to an opaque
  // colour: a solid colour part, not centred, whose alpha times opacity is 1. (Bitmap
  // parts are not looked into.)
  bool IsOpaque() const;
  // The ARGB colour at a point of the part drawn at drawnSize: its own size reads the
  // pixel at the rounded point; Tile wraps by the part's size, Center shifts by the
  // margin, Stretch scales (shrunk, the first visible source pixel under the point,
  // column by column). kOutside outside the drawn area and for a tiled part without
  // area. Throws Runtime Error for a resize type other than the three, and what the
  // pixel lookup throws.
  uint32_t GetColorAtPoint(const PointT<float>& point, const SizeT<float>& drawnSize) const;

  // Lets the descriptor forget this part (one internal reference less): 0. A part that
  // no descriptor holds does nothing: 0; with no internal reference: 1.
  QZResult ReleaseInternalReferences() override;

  const WString& GetName() const { return mName; }
  // Null for a colour part.
  const ConstRCPtr<LBitmap>& GetBitmap() const { return mBitmap; }
  const SizeT<int32_t>& GetSize() const { return mSize; }
  ResizeType GetResizeType() const { return mResizeType; }
  // May be null.
  const ConstRCPtr<LColorizer>& GetColorizer() const { return mColorizer; }
  float GetOpacity() const { return mOpacity; }
  // May be null.
  const ConstRCPtr<LBitmap>& GetMask() const { return mMask; }
  // The descriptor that built the part, null for a part made otherwise.
  const RCPtr<LVisualPartDescriptor>& GetDescriptor() const { return mDescriptor; }

private:
  friend class LVisualPartDescriptor;
  // Called once by the descriptor that just built the part and keeps it.
  void BindDescriptor(LVisualPartDescriptor* descriptor);

  // The colour part's colour, alpha times opacity.
  ColorT<float> GetFillColor() const;
  // For a part stretched smaller: the first visible pixel of the source area under the
  // point, column by column from the left; else the last pixel scanned, or kOutside.
  uint32_t ScanStretchedArea(const PointT<float>& point, float scaleX, float scaleY) const;

  WString mName;
  ConstRCPtr<LBitmap> mBitmap;
  SizeT<int32_t> mSize;
  ResizeType mResizeType;
  ConstRCPtr<LColorizer> mColorizer;
  float mOpacity;
  ConstRCPtr<LBitmap> mMask;
  RCPtr<LVisualPartDescriptor> mDescriptor;
};

} // namespace QZ
