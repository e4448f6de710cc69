#pragma once
// QZ::LLevelMeter ("Framework.LevelMeter"): a level shown as a lit bar, a peak marker that
// travels along the same axis and a clip light that may latch until it is clicked. The
// bar ("activeOverlay"), the marker ("peakLo", with the hidden "peakHi" marking the far end
// of its travel) and the light ("clipButton") are skin parts; the meter only sizes, moves,
// shows and hides them. The meter's value (0..1) is the level. A meter taller than wide is
// vertical: its bar covers the unlit part from the top.
//
//   factory->RegisterControlCreateFunction(u"Framework.LevelMeter", &QZ::CreateControlOf<QZ::LLevelMeter>);
//   QZ::RCPtr<QZ::LLevelMeter> meter = QZ::DynamicCast<QZ::LLevelMeter>(factory->CreateControl(panel, entry));
//   meter->AttachClipButton(true);      // the light stays on until the user clicks it
//   meter->SetLevels(0.3, 0.5);         // a 200 wide meter: bar 60 wide, marker half way
//   meter->UpdateLevelParts(0.9, 0.9, meter->GetMode() + 1);   // a new mode lights the clip
//   listener->RegisterNotification(meter, u"NID_CLIPLIGHT_UNLATCHED");   // the click on it
//
// A part the skin leaves out is skipped: without "activeOverlay" no bar, without "peakLo"
// or "peakHi" no marker, without "clipButton" no light (AttachClipButton then fails and
// IsClipLit is false). UI thread, like every control.

#include <cstdint>

#include "QZFramework/ControlBase/Control.h"
#include "QZFramework/ControlBase/HandlerTableControl.h"

namespace QZ {

class LLevelMeter : public LHandlerTableControl<LLevelMeter, LControl> {
public:
  LLevelMeter(const RCPtr<LControl>& parent, const WString& name);
  ~LLevelMeter() override;

  // --- LControl ----------------------------------------------------------------------------

  // A level set from outside (SetValue): the parts follow with the peak 0 and the stored
  // mode. Nothing while the meter applies a level of its own. 0.
  QZResult OnValueChanged() override;
  // The base's initialisation, then the handler table and the parts: "peakLo" and
  // "activeOverlay" show the meter's tool tip, "clipButton" is held. The base's result.
  QZResult Initialize() override;
  // Decides the orientation from the size, records the marker's travel from "peakLo" and
  // "peakHi" (the marker is dropped without "peakHi"), hides the parts and makes them and
  // the meter not focusable; then the parts follow the current level. 0.
  QZResult OnLookChanged() override;

  // --- The meter's own operations --------------------------------------------------------

  // UpdateLevelParts(level, peak, the stored mode).
  virtual QZResult SetLevels(double level, double peak);
  // A mode other than the stored one lights the clip light; the same mode puts it out
  // unless it latches. The mode is stored, the level becomes the meter's value, the bar
  // takes (width, or height when vertical) x (level, or 1 - level when vertical) rounded
  // half away from zero and is hidden below 1 pixel; the marker moves to the travel x peak
  // (rounded the same way) from its reference and is hidden at 0. 0.
  virtual QZResult UpdateLevelParts(double level, double peak, int32_t mode);
  // Puts the light out and, when latching changes, subscribes to the light's clicks
  // (latching) or withdraws that subscription. 0; QZ_E_FAIL without a light; a failed
  // subscription's result.
  virtual QZResult AttachClipButton(bool latching);
  // Whether the light's value is 0.5 or more; false without a light.
  virtual bool IsClipLit();
  // The caller's mode, stored without any update.
  virtual int32_t GetMode();
  virtual int32_t SetMode(int32_t mode);

  bool IsVertical() const { return mVertical != 0; }

private:
  // A click on the latched light: a lit light goes out and "NID_CLIPLIGHT_UNLATCHED" goes
  // to the meter's clients. 1 (taken) either way.
  QZResult OnClipLightClick(const RCPtr<LNotificationDistributor>& distributor,
                            const RCPtr<LNotification>& notification);
  // The meter's axis: 1 (Y) when vertical, else 0 (X).
  int32_t Axis() const { return mVertical ? 1 : 0; }

  int32_t mMode = 0;
  bool mClipLatching = false;
  PointT<double> mPeakLow;  // "peakLo"'s position when the looks were applied
  PointT<double> mPeakHigh; // "peakHi"'s
  RCPtr<LControl> mPeakMarker;
  RCPtr<LControl> mActiveOverlay;
  RCPtr<LControl> mClipLight;
  bool mUpdating = false; // the meter is applying a level of its own
  uint32_t mVertical = 0;
};

} // namespace QZ
