#pragma once
// QZ::LSlider ("Framework.Slider"): a control whose movable part, the thumb, shows the
// value on the straight line between the marker parts "thumbStart" (value 0) and
// "thumbEnd" (value 1). The value runs over 0..127, linear.
//
//   slider->SetValueAndPlaceThumb(0.5);   // the thumb halfway between the markers
//
// So far the slider has its parts and places its thumb; the user's side of it (dragging
// the thumb, paging on the track, keys, wheel, looks) comes with the rest of the widget
// set. UI thread.

#include "QZFramework/Controls/Panel.h"

namespace QZ {

class LSlider : public LPanel {
public:
  LSlider(const RCPtr<LControl>& parent, const WString& name);

  // Sets the value with LControl::SetValue (never held back), then places the thumb. The
  // value kept.
  virtual double SetValueAndPlaceThumb(double value);
  // Moves the thumb to thumbStart + (thumbEnd - thumbStart) x value, each axis rounded half
  // away from zero. Nothing without the thumb or a marker.
  virtual void PlaceThumb();

  // LPanel's Initialize (a failure gives QZ_E_FAIL), then the markers and the thumb: a
  // child named "thumb", else one made from a copy of thumbStart's entry named "thumb",
  // placed freely on both axes and shown. Then the thumb is placed, the range is 0..127 and
  // the drag threshold 0. 0.
  QZResult Initialize() override;
  // Hides the markers: only the thumb shows. 0.
  QZResult OnLookChanged() override;

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
};

} // namespace QZ
