#pragma once
// QZ::LToolTip ("Framework.ToolTip"): the hint a control raises under the name "toolTip"
// while the pointer rests on it. It waits, shows next to the pointer, stays a while and
// goes; a tip that follows soon after a visible one shows at once.
//
//   // What LControl::CreateToolTip does on hover and on leave:
//   QZ::RCPtr<QZ::LControl> made = factory->CreateControl(owner, factory->FindControlDescriptor(u"toolTip"));
//   made->SetText(u"Sends the preset");
//   QZ::DynamicCast<QZ::LToolTip>(made)->Popup();    // shown 500 ms later, below the pointer
//   ...
//   QZ::DynamicCast<QZ::LToolTip>(made)->Dismiss();  // hidden; it leaves its parent at the
//                                                    // parent's next idle tick
//
// Timing is read from the application's millisecond clock (IControlApplication::
// GetTickCountMs) with unsigned differences, so it survives the clock's wrap. All tips of
// the process share the time at which a visible tip was last dismissed. UI thread.

#include <cstdint>

#include "QZFramework/ControlBase/Control.h"
#include "QZFramework/ControlBase/ControlRoles.h"

namespace QZ {

class LToolTip : public LControl, public IToolTipRole {
public:
  // The tip shows once more than this has passed since Popup.
  static constexpr uint32_t kShowDelayMs = 500;
  // A shown tip goes once more than this has passed since it showed.
  static constexpr uint32_t kDisplayTimeMs = 5000;
  // A tip popped up less than this after a visible tip was dismissed shows at once.
  static constexpr uint32_t kChainingWindowMs = 50;
  // The tip's top edge lies this far below the pointer.
  static constexpr int32_t kPointerOffsetY = 20;
  // The tip is at most the window's client width less this.
  static constexpr int32_t kWidthMargin = 8;

  // States.
  static constexpr uint32_t kHidden = 0;
  static constexpr uint32_t kWaiting = 1;
  static constexpr uint32_t kShown = 2;

  LToolTip(const RCPtr<LControl>& parent, const WString& name);

  // Limits the tip's width to the window's client width less kWidthMargin (0 at least),
  // then shows it at once when a visible tip was dismissed less than kChainingWindowMs ago,
  // else waits for kShowDelayMs; takes an idle request for the timing.
  void Popup() override;
  // Ends the timing (releasing the idle request), records the time when the tip was
  // shown, and has the parent remove the tip at its next idle tick (the tip is hidden at
  // once). Without a parent only the first two happen.
  void Dismiss() override;

  uint32_t GetState() const { return mState; }
  uint32_t GetStateTime() const { return mStateTime; }

  // The time at which a visible tip was last dismissed (0 at start), and the hook that
  // puts it back to 0 for tests.
  static uint32_t GetLastVisibleDismissal();
  static void ResetLastVisibleDismissal();

  // The tip catches the pointer everywhere: false.
  bool IsTransparentAtPoint(const PointT<int32_t>& point) override;
  // Waiting: shows the tip once the delay has passed. Shown: dismisses it once the display
  // time has passed. 0.
  QZResult OnTick() override;
  // Reads none of the create parameters; the tip is never focusable. 0.
  QZResult ApplyCreateParams() override;
  // Hides the tip (it shows when its time comes) and keeps it not focusable. 0.
  QZResult OnLookChanged() override;

private:
  // Moves the tip below the pointer, inside the window's client area, and makes it visible.
  void Show();
  // The placement of one axis (0 X, 1 Y): pointer + offset, pulled back inside the client
  // area, never below 0, relative to the parent's content origin.
  void PlaceAxis(int32_t axis, double pointer, double clientSize);

  uint32_t mState = kHidden;
  uint32_t mStateTime = 0;
};

} // namespace QZ
