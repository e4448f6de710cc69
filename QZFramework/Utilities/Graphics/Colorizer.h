#pragma once
// QZ::LColorizer: a skin's recolouring rule for images, read by the bitmaps
// (LBitmap::ApplyColorizer) and built by the skin reader.
//
//   QZ::RCPtr<QZ::LColorizer> red(new QZ::LColorizer(u"Red", QZ::ColorizerType::SolidFill, {1, 0, 0, 1}));
//   auto tinted = QZ::LBitmap::ApplyColorizer(red, 0.5f, size, image, nullptr);
//
// Immutable after construction; shared read-only between the parts that use it, so any
// thread may read it.

#include <cstdint>

#include "QZFramework/ObjectBase/RefCountedObject.h"
#include "QZFramework/Utilities/Graphics/Color.h"
#include "QZFramework/Utilities/Graphics/Geometry.h"
#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

// The skin's ColorType: "SolidFill", "LinearGradient", "RadialGradient".
enum class ColorizerType : int32_t { SolidFill = 0, LinearGradient = 1, RadialGradient = 2 };

class LColorizer : public virtual LRefCountedObject {
public:
  // The gradient fields matter only for the gradient types; a solid fill leaves them 0.
  LColorizer(const WString& name, ColorizerType type, const ColorT<float>& color,
             const ColorT<float>& gradientEndColor = {}, const PointT<float>& gradientStart = {},
             const PointT<float>& gradientEnd = {})
      : mName(name), mType(type), mColor(color), mGradientEndColor(gradientEndColor), mGradientStart(gradientStart),
        mGradientEnd(gradientEnd) {}

  // The name.
  WString ToString() const override { return mName; }

  const WString& GetName() const { return mName; }
  ColorizerType GetType() const { return mType; }
  const ColorT<float>& GetColor() const { return mColor; }
  const ColorT<float>& GetGradientEndColor() const { return mGradientEndColor; }
  const PointT<float>& GetGradientStart() const { return mGradientStart; }
  const PointT<float>& GetGradientEnd() const { return mGradientEnd; }

  // A gradient type whose two colours differ in any channel; every other colorizer
  // paints with its colour alone.
  bool IsGradientFill() const { return mType != ColorizerType::SolidFill && !(mGradientEndColor == mColor); }

private:
  WString mName;
  ColorizerType mType;
  ColorT<float> mColor;
  ColorT<float> mGradientEndColor;
  PointT<float> mGradientStart;
  PointT<float> mGradientEnd;
};

} // namespace QZ
