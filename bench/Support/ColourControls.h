#pragma once
// Controls that paint plain colours, placed by hand (layout is not what the benchmarks
// measure): each look a colour fill of the control's size, the first look shown.
//
//   const QZ::RCPtr<QZ::LControl> top(new QZBench::FilledControl(nullptr, u"top", {0, 0, 240, 160}, {0xFF2B3A47}));
//   QZ::RCPtr<QZ::LControl>(new QZBench::FilledControl(top, u"button", {70, 60, 100, 30},
//                                                     {0xFFE0A030, 0xFF3C8DBC}));   // the parent holds it
//
// UI thread, like every control.

#include <cstdint>
#include <initializer_list>

#include "QZFramework/ControlBase/Control.h"
#include "QZFramework/ControlBase/Look.h"
#include "QZFramework/ControlBase/LookDescriptor.h"
#include "QZFramework/Utilities/Graphics/Colorizer.h"

namespace QZBench {

// A look of size whose client part is the colour argb.
inline QZ::RCPtr<QZ::LLook> ColourLook(uint32_t argb, QZ::SizeT<int32_t> size) {
  const QZ::RCPtr<QZ::LColorizer> colour(
      new QZ::LColorizer(u"fill", QZ::ColorizerType::SolidFill, QZ::ColorT<float>::FromARGB(argb)));
  const QZ::RCPtr<QZ::LVisualPartDescriptor> part(
      new QZ::LVisualPartDescriptor(u"fill", {}, QZ::ResizeType::Stretch, colour, {1, 1}, 1.0f, {}));
  const QZ::RCPtr<QZ::LLookDescriptor> descriptor(new QZ::LLookDescriptor(u"look"));
  descriptor->SetClientPart(
      QZ::RCPtr<QZ::LDockedPart>(new QZ::LDockedPart(part, QZ::LDockedPart::ClientDock(0, 0, 0, 0))));
  const QZ::RCPtr<QZ::LLook> look = QZ::LLook::Create(descriptor, false);
  look->SetSize(size);
  return look;
}

// A control at rect (its parent's coordinates) with a look of each colour, the first shown.
class FilledControl : public QZ::LControl {
public:
  FilledControl(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name, const QZ::RectT<int32_t>& rect,
                std::initializer_list<uint32_t> colours)
      : LControl(parent, name) {
    mLayout = QZ::LLayoutDescriptor::Create();
    mRect = rect.ToDouble();
    QZ::RCPtrArray<QZ::LLook, 1, 0> looks;
    for (uint32_t colour : colours) {
      looks.AddItem(ColourLook(colour, {rect.width, rect.height}));
    }
    SetLooks(looks);
    ShowLook(0);
  }

protected:
  // Shows look index alone. The weights are set in place, as a control's own look change
  // sets them: no allocation a real press does not make.
  void ShowLook(uint32_t index) {
    if (mLookWeights.GetCount() != mLooks.GetCount()) {
      mLookWeights.SetCount(mLooks.GetCount());
    }
    for (uint32_t i = 0; i < mLooks.GetCount(); ++i) {
      mLookWeights.GetAt(i) = i == index ? 1.0f : 0.0f;
    }
  }
};

} // namespace QZBench
