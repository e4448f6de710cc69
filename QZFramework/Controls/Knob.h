#pragma once
// QZ::LKnob ("Framework.Knob"): a rotary control that shows its value as one frame of a
// film strip (one look per frame) and is turned by dragging (a linear or a radial
// gesture), the arrow keys and the wheel. The value runs over 0..127, linear.
//
//   Look list of the skin: frames 0 .. N-1, an empty entry, then optionally the focus film
//   strip and the disabled film strip, whose client images replace every frame's image
//   while the knob has the focus or is disabled.
//
//   Create parameters (numbers read with '.' as the decimal point, whatever the locale):
//     "LINEAR_GESTURE_FULL_RANGE"    pixels of a drag across the whole range, plus one
//                                    (default: a multiple of N near 128)
//     "RADIAL_GESTURE_START_ANGLE"   degrees clockwise from straight up; with the end
//     "RADIAL_GESTURE_END_ANGLE"     angle, either not 0 makes the gesture radial
//     "FINE_ADJUST_MULTIPLIER"       the linear gesture's factor while Ctrl is held (0.25)
//
//   knob->SetValue(0.5);   // frame round((N - 1) x 0.5); held back while the user drags
//
// Notifications through the knob's own distributor: "NID_VALUE_CHANGE_CAPTURE" (an
// LHolder<bool>: true when a left drag begins, false when it ends), "NID_VALUE_CHANGE_KEY_DOWN"
// and "NID_VALUE_CHANGE_KEY_UP" (the key parameter; none for an arrow key held while the
// focus left) around a series of arrow-key steps, and the control's "NID_VALUE_CHANGE".
// UI thread.

#include <cstdint>

#include "QZFramework/ControlBase/Control.h"
#include "QZFramework/Controls/ValueStepKeys.h"

namespace QZ {

class LKnob : public LControl {
public:
  // Gesture kinds.
  static constexpr uint32_t kLinearGesture = 0;
  static constexpr uint32_t kRadialGesture = 1;

  LKnob(const RCPtr<LControl>& parent, const WString& name);

  // While the left button drags the knob: keeps value for the end of the drag (the last
  // one wins; one outside 0..1 is dropped then) and returns the current value. Otherwise
  // LControl::SetValue.
  double SetValue(double value) override;
  // Shows the frame of the value; nothing without frames. 0.
  QZResult OnValueChanged() override;
  // Begins and ends drags (the radial gesture turns the knob at the press already), ends a
  // key series when the focus leaves, and puts the focus and disabled strips on the frames.
  QZResult OnConditionsChanged(const RCPtr<LConditionsParam>& param) override;
  // The drag's step, while the left button drags the knob. 0.
  QZResult HandleMouseMove(const RCPtr<LPointWithModifiersParam>& param) override;
  // Up: one unit up; any other direction one unit down. 0.
  QZResult OnMouseWheelV(const RCPtr<LMouseWheelParam>& param) override;
  // Right: one unit up; any other direction one unit down. 0.
  QZResult OnMouseWheelH(const RCPtr<LMouseWheelParam>& param) override;
  // The arrow keys: a release ends the series (0); Right and Up without modifiers step
  // one unit up, Left and Down one down (0). Any other key: 1.
  QZResult OnKeyDown(const RCPtr<LKeyParam>& param) override;
  // LControl's Initialize (its failure is returned), then the create parameters and the
  // range 0..127.
  QZResult Initialize() override;
  // Counts the frames, finds the focus and disabled strips and applies them, settles the
  // linear full range and the rotation centre. 0.
  QZResult OnLookChanged() override;

  uint32_t GetGestureKind() const { return mGestureKind; }
  int32_t GetLinearFullRange() const { return mLinearFullRange; }
  double GetRadialStartAngle() const { return mRadialStartAngle; }
  double GetRadialEndAngle() const { return mRadialEndAngle; }
  double GetFineAdjustMultiplier() const { return mFineAdjustMultiplier; }
  uint32_t GetFrameCount() const { return mFrameCount; }
  int32_t GetFocusLookIndex() const { return mFocusLookIndex; }
  int32_t GetDisabledLookIndex() const { return mDisabledLookIndex; }
  const PointT<int32_t>& GetCentre() const { return mCentre; }
  // -1 when no value waits for the end of a drag.
  double GetPendingValue() const { return mPendingValue; }

private:
  // One step of the linear gesture to point (the knob's coordinates).
  void DragLinear(const PointT<int32_t>& point);
  // Turns the knob towards point (the knob's coordinates) by the radial gesture.
  void TurnTo(const PointT<int32_t>& point);
  // One unit of 0..127 up or down through SetValue.
  void Step(double units);
  // Sets the client image of look into every frame (look -1: none, each frame's own).
  void SetFrameImages(int32_t look);

  uint32_t mGestureKind = kLinearGesture;
  int32_t mLinearFullRange = 0;
  double mRadialStartAngle = 0.0;
  double mRadialEndAngle = 0.0;
  double mFineAdjustMultiplier = 0.0;
  uint32_t mFrameCount = 0;
  PointT<int32_t> mLastPoint;
  PointT<int32_t> mEarlierPoint;
  PointT<int32_t> mCentre;
  double mPendingValue = -1.0;
  int32_t mFocusLookIndex = -1;
  int32_t mDisabledLookIndex = -1;
  LValueStepKeys mStepKeys;
};

} // namespace QZ
