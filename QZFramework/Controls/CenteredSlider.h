#pragma once
// QZ::LCenteredSlider ("Framework.CenteredSlider"): a slider whose filled range runs between
// its centre and its thumb. It keeps the two range parts "lowRangeBounds" and
// "highRangeBounds" (each with a "fill" child; the range parts' class is
// "Framework.CenteredSliderBounds") on the travel axis at the thumb's centre: at
// Initialize, whenever the value is set through SetValueAndPlaceThumb, and on every pointer
// move of the thumb. How a fill then spans from the centre to the thumb (anchors,
// references and sizes of the range parts) is the skin's: the slider moves only their
// absolute offsets.
//
//   slider->SetValueAndPlaceThumb(0.25);   // thumb and range parts move
//
// The range parts and their fills are mouse-transparent: a click on a fill reaches the
// slider underneath. A missing range part or fill is skipped; a missing thumb throws
// "Runtime Error : Null Pointer : Thumb Child was not created. :
// QZ::LCenteredSlider::SetBoundsPosFromThumbPos : Controls\CenteredSlider : Line 67". UI
// thread.

#include "QZFramework/ControlBase/HandlerTableControl.h"
#include "QZFramework/Controls/Slider.h"

namespace QZ {

class LCenteredSlider : public LHandlerTableControl<LCenteredSlider, LSlider> {
public:
  LCenteredSlider(const RCPtr<LControl>& parent, const WString& name);

  // LSlider's Initialize (a failure gives QZ_E_FAIL), then the range parts (made
  // mouse-transparent with their fills), the thumb's "NID_MOUSE_MOVE", and the range parts
  // placed. 0. Throws without a thumb.
  QZResult Initialize() override;
  // LSlider's, then the range parts placed. The value kept. Throws without a thumb.
  double SetValueAndPlaceThumb(double value) override;
  // Gives each range part the thumb's centre as its absolute offset on the travel axis:
  // X when the markers share their Y, Y when they share their X (both when they coincide,
  // neither when they differ on both axes). Throws without a thumb.
  virtual void SetBoundsPosFromThumbPos();

  const RCPtr<LControl>& GetLowRangeBounds() const { return mLowRangeBounds; }
  const RCPtr<LControl>& GetHighRangeBounds() const { return mHighRangeBounds; }

private:
  // The thumb's pointer moves: the range parts follow. 0, so that the move goes on to the
  // slider's own handling.
  QZResult OnThumbMouseMove(const RCPtr<LNotificationDistributor>& distributor,
                            const RCPtr<LNotification>& notification);

  RCPtr<LControl> mLowRangeBounds;
  RCPtr<LControl> mHighRangeBounds;
};

} // namespace QZ
