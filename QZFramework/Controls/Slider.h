#pragma once
// QZ::LSlider ("Framework.Slider"): a control whose movable part, the thumb, shows the
// value on the straight line between the marker parts "thumbStart" (value 0) and
// "thumbEnd" (value 1). The line may be horizontal, vertical or slanted. The value runs
// over 0..127, linear; one unit below is one unit of that range.
//
//   factory->RegisterControlCreateFunction(u"Framework.Slider", &QZ::CreateControlOf<QZ::LSlider>);
//   slider->SetValueAndPlaceThumb(0.5);          // the thumb halfway between the markers
//   listener->RegisterNotification(slider, u"NID_VALUE_CHANGE");
//
// The user moves it by dragging the thumb along the line (values set from outside
// meanwhile wait for the drag's end, the last one counting), by pressing the track (one
// page of 0.1 towards the pointer at the click; held, after 0.3 s and then every 0.1 s,
// never past the pointer), by the arrow keys and by the wheel (one unit each). Delays are
// measured with the application clock in seconds.
//
// Notifications (the slider's own distributor): "NID_VALUE_CHANGE" (LValueParam) for each
// change, and once more at a drag's end when notify-at-drag-end is on;
// "NID_VALUE_CHANGE_CAPTURE" (LHolder<bool>) true when a thumb drag begins, false when it
// ends; "NID_VALUE_CHANGE_KEY_DOWN" (the LKeyParam) at the first arrow step of a series,
// "NID_VALUE_CHANGE_KEY_UP" (the LKeyParam; null when the focus left meanwhile) at its end.
//
// Without "thumbStart" no thumb is made and the slider shows and does nothing; coincident
// markers put every point at the value 0. UI thread, like every control.

#include "QZFramework/ControlBase/HandlerTableControl.h"
#include "QZFramework/Controls/Panel.h"
#include "QZFramework/Controls/ValueStepKeys.h"

namespace QZ {

class LSlider : public LHandlerTableControl<LSlider, LPanel> {
public:
  // Looks by state.
  static constexpr int32_t kLookNormal = 0;
  static constexpr int32_t kLookFocused = 1;
  static constexpr int32_t kLookDisabled = 2;

  LSlider(const RCPtr<LControl>& parent, const WString& name);

  // --- The slider's own operations -----------------------------------------------------

  // Sets the value with LControl::SetValue (never held back), then places the thumb. The
  // value kept.
  virtual double SetValueAndPlaceThumb(double value);
  // With a thumb: SetValueAndPlaceThumb with the value of the thumb's rounded position.
  virtual void SetValueFromThumb();
  // Moves the thumb to thumbStart + (thumbEnd - thumbStart) x value, each axis rounded half
  // away from zero. Nothing while dragging, or without the thumb or a marker.
  virtual void PlaceThumb();
  // Where the thumb goes for the pointer at (x, y) (slider coordinates) while it is
  // dragged: on the line (the foot of the perpendicular, in single precision, for a
  // slanted one) and inside the box the markers span. Without a marker: the thumb's place.
  virtual PointT<int32_t> GetThumbRectForPoint(int32_t x, int32_t y);
  // The distance from thumbStart to (x, y) over the distance between the markers: neither
  // clamped nor signed. 0 for coincident markers or without one.
  virtual double ValueFromPoint(double x, double y);

  // --- The control's operations ----------------------------------------------------------

  // During a drag the value only waits for the drag's end (the last one counts, one outside
  // 0..1 is dropped then); otherwise SetValueAndPlaceThumb. The stored value.
  double SetValue(double value) override;
  // Takes a skin's "thumb" child when there is no thumb yet; with one, places it (the
  // panel's client area is not recomputed). 0.
  QZResult UpdateClientArea() override;
  // Looks (kLookNormal, kLookFocused with the focus inside, kLookDisabled), the held track
  // and the end of a key series when the focus leaves.
  QZResult OnConditionsChanged(const RCPtr<LConditionsParam>& param) override;
  // One unit up (direction up; right for the horizontal wheel) or down per notch. 0.
  QZResult OnMouseWheelV(const RCPtr<LMouseWheelParam>& param) override;
  QZResult OnMouseWheelH(const RCPtr<LMouseWheelParam>& param) override;
  // A page towards the pointer, never past it. 0.
  QZResult HandleLeftClick(const RCPtr<LMouseButtonParam>& param) override;
  // Right and Up step one unit up, Left and Down one down (pressed without modifiers); the
  // release of an arrow key ends the series. 0 for those; other keys go to the panel.
  QZResult HandleKey(const RCPtr<LKeyParam>& param) override;
  // Pages while the track is held. 0.
  QZResult OnTick() override;
  // LPanel's Initialize (a failure gives QZ_E_FAIL), then the markers and the thumb: a
  // child named "thumb", else one made from a copy of thumbStart's entry named "thumb",
  // placed freely on both axes and shown. Then the thumb is placed, the range is 0..127 and
  // the drag threshold 0. 0.
  QZResult Initialize() override;
  // A skin's "thumb" entry, and on a skin switch the thumb made from thumbStart, are set up
  // from the new thumbStart entry's size and looks, free on both axes; others as the
  // control's.
  QZResult SetUpSubControls(const RCPtr<LControl>& child, const RCPtr<LControlDescriptor>& descriptor) override;
  // Hides the markers (only the thumb shows) and takes the point of the thumb that sits on
  // the line from thumbStart: its centre, or its placement anchor on an axis that has one.
  QZResult OnLookChanged() override;

  // --- Settings and state ------------------------------------------------------------------

  // Whether a value set during a drag is applied at its end (on at construction).
  void SetApplyPendingAtDragEnd(bool apply) { mApplyPendingAtDragEnd = apply; }
  // Whether a drag's end sends one more "NID_VALUE_CHANGE" (off at construction).
  void SetNotifyAtDragEnd(bool notify) { mNotifyAtDragEnd = notify; }
  bool GetNotifyAtDragEnd() const { return mNotifyAtDragEnd; }
  // The change of the 0..1 value per track page (0.1).
  double GetPageStep() const { return mPageStep; }
  void SetPageStep(double step) { mPageStep = step; }
  // The held track's delays in seconds (0.3 before the first repeat, 0.1 between repeats).
  void SetPageRepeatTimes(double firstDelay, double interval) {
    mPageFirstDelay = firstDelay;
    mPageRepeatInterval = interval;
  }
  bool IsDragging() const { return mDragging; }
  bool IsTrackPressed() const { return mTrackPressed; }
  // A value set during the drag; -1 for none.
  double GetPendingValue() const { return mPendingValue; }
  const PointT<int32_t>& GetThumbAnchor() const { return mThumbAnchor; }

  const RCPtr<LControl>& GetThumb() const { return mThumb; }
  const RCPtr<LControl>& GetThumbStart() const { return mThumbStart; }
  const RCPtr<LControl>& GetThumbEnd() const { return mThumbEnd; }

protected:
  RCPtr<LControl> mThumb;
  RCPtr<LControl> mThumbStart;
  RCPtr<LControl> mThumbEnd;

private:
  // Makes the thumb from thumbStart's entry; null when it cannot be made.
  RCPtr<LControl> CreateThumb();
  // The entry of a thumb: entry (or thumbStart's) renamed "thumb", with a copy of the
  // thumbStart entry's layout free on both axes; null without a thumbStart entry.
  RCPtr<LControlDescriptor> ThumbEntry(const RCPtr<LControlDescriptor>& entry) const;
  // Writes position into the thumb's placement on both axes.
  void MoveThumbTo(const PointT<int32_t>& position);
  // One page from the value towards the track point p (slider coordinates).
  void PageTowards(const PointT<double>& p);
  // One unit up (+1) or down (-1) in range units; the range clamps.
  void StepUnits(double units);
  void ShowStateLook();

  QZResult OnThumbDrag(const RCPtr<LNotificationDistributor>& distributor, const RCPtr<LNotification>& notification);
  QZResult OnThumbMove(const RCPtr<LNotificationDistributor>& distributor, const RCPtr<LNotification>& notification);

  bool mDragging = false;
  PointT<int32_t> mGrabOffset;
  double mPageStep = 0.1;
  bool mTrackPressed = false;
  double mLastTickTime = 0.0;
  double mRepeatCountdown = 0.0;
  double mPageFirstDelay = 0.3;
  double mPageRepeatInterval = 0.1;
  double mPendingValue = -1.0;
  bool mApplyPendingAtDragEnd = true;
  bool mNotifyAtDragEnd = false;
  LValueStepKeys mStepKeys;
  PointT<int32_t> mThumbAnchor;
};

} // namespace QZ
