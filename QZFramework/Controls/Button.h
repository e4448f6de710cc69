#pragma once
// QZ::LButton ("Framework.Button"): the push, toggle and radio button, and the part that
// compound widgets click, drag and hold (a scroll bar's arrows and thumb, up-down arrows,
// check boxes). Everything it shows is one look of its list, chosen from its value and its
// conditions (14 looks: 0-6 off, 7-13 on; see UpdateLook).
//
//   factory->RegisterControlCreateFunction(u"Framework.Button", &QZ::CreateControlOf<QZ::LButton>);
//   QZ::RCPtr<QZ::LButton> ok = QZ::DynamicCast<QZ::LButton>(factory->CreateControl(dialog, entry));
//   listener->RegisterNotification(ok, u"NID_LEFT_CLICK");     // a click, or Enter after 0.15 s
//   ok->SimulateClick();                                       // pressed look, click at the tick
//
//   toggle: create params AUTO_VALUE_SET "true" (a click turns it on and off);
//   radio:  AUTO_VALUE_SET and IS_RADIO "true" (a click turns it on; its radio siblings off).
//
// Timed behaviour (auto repeat: "NID_BUTTON_AUTOREPEAT" at the press, after 0.3 s, then
// every 0.1 s while the pointer is over it; the 0.15 s flash of a simulated click) runs on
// the idle ticks against the application clock in seconds; either holds one idle request.
//
// UI thread, like every control.

#include "QZFramework/ControlBase/Control.h"
#include "QZFramework/ControlBase/HandlerTableControl.h"

namespace QZ {

class LButton : public LHandlerTableControl<LButton, LControl> {
public:
  // The looks of the 14-look list; an "on" button (value 0.5 or more) adds kLookOn to the
  // first six.
  static constexpr int32_t kLookNormal = 0;
  static constexpr int32_t kLookHover = 1;
  static constexpr int32_t kLookPressed = 2;
  static constexpr int32_t kLookFocusOffset = 3;
  static constexpr int32_t kLookDisabled = 6;
  static constexpr int32_t kLookOn = 7;

  LButton(const RCPtr<LControl>& parent, const WString& name);

  // --- The control's operations --------------------------------------------------------

  // Radio group: turning a radio button on turns off every other radio button among its
  // parent's children. Then UpdateLook. 0.
  QZResult OnValueChanged() override;
  // Auto repeat (a press starts it, losing the capture ends it, hover coming back resumes
  // its countdown), then UpdateLook. 0.
  QZResult OnConditionsChanged(const RCPtr<LConditionsParam>& param) override;
  // The base, then UpdateLook; the base's result.
  QZResult SetEnabled(bool enabled) override;
  // With auto value set: a toggle that is on goes off, anything else goes on. 0.
  QZResult HandleLeftClick(const RCPtr<LMouseButtonParam>& param) override;
  // False for a passive button, else the base answer.
  bool ContainsPoint(const PointT<int32_t>& point) override;
  // Enter without modifiers (0x200D0000) simulates a click: 0. Any other key: 1.
  QZResult OnKeyDown(const RCPtr<LKeyParam>& param) override;
  // Ends a simulated click once its flash is over; steps the auto repeat while the pointer
  // is over the button. 0.
  QZResult OnTick() override;
  // The base, then the "NID_SIMULATE_CLICK" route (from any source) and the create params
  // "AUTO_VALUE_SET" and "IS_RADIO" (lower-cased "true"; any other text false, an absent
  // one leaves the flag). The base's failure as it is; 0. Throws "Failed Result :
  // QZRESULT = ... : QZ::LButton::Initialize : Controls\Button : Line 50" when the route
  // cannot be registered.
  QZResult Initialize() override;
  // The label while it is cut off, else the control's tool tip.
  WString GetToolTipText() override;

  // --- The button's own -----------------------------------------------------------------

  // A left click sets the value (toggle or radio). 0.
  virtual QZResult SetAutoValueSet(bool autoValueSet);
  // The button belongs to its parent's radio group. 0.
  virtual QZResult SetIsRadio(bool isRadio);
  // Value 1.0 (on) or 0.0 through SetValue; whether the button is on now.
  virtual bool SetChecked(bool on);
  // Shows the look of the button's state (see the class comment); nothing for a passive
  // button or while a simulated click shows. 0.
  virtual QZResult UpdateLook();
  // A click as the user makes it: the focus, the pressed look for the flash duration, then
  // (at the idle tick) "NID_BUTTON_AUTOREPEAT" when auto repeat is on and the click
  // (HandleLeftClick, "NID_LEFT_CLICK"). A flash still showing is finished at once first.
  // 0.
  virtual QZResult SimulateClick();

  bool GetAutoValueSet() const { return mAutoValueSet; }
  bool GetIsRadio() const { return mIsRadio; }
  bool IsOn() const { return GetValue() >= 0.5; }
  // Auto repeat: switched on by the compound widgets that own the button (no create
  // param); SetRepeatActive(false) forgets a press in progress.
  void SetAutoRepeat(bool autoRepeat) { mAutoRepeat = autoRepeat; }
  bool GetAutoRepeat() const { return mAutoRepeat; }
  void SetRepeatActive(bool active) { mRepeatActive = active; }
  bool IsRepeatActive() const { return mRepeatActive; }
  // A passive button chooses no look of its own and is never hit: its owner drives it.
  void SetPassive(bool passive) { mPassive = passive; }
  bool IsPassive() const { return mPassive; }
  // Keep the pressed look while held with the pointer outside (a thumb being dragged).
  void SetPressedOutside(bool pressedOutside) { mPressedOutside = pressedOutside; }
  bool GetPressedOutside() const { return mPressedOutside; }
  // Delays in seconds (0.3, 0.1 and 0.15 by default).
  void SetRepeatTimes(double firstDelay, double interval) {
    mFirstRepeatDelay = firstDelay;
    mRepeatInterval = interval;
  }
  void SetFlashDuration(double seconds) { mFlashDuration = seconds; }
  bool IsFlashActive() const { return mFlashActive; }

protected:
  // The registration of "NID_SIMULATE_CLICK" from any source on the button's routes.
  virtual QZResult SubscribeSimulateClick();

private:
  QZResult OnSimulateClickNotification(const RCPtr<LNotificationDistributor>& distributor,
                                       const RCPtr<LNotification>& notification);
  // Stops the flash: its idle request goes unless a repeat holds one.
  void EndFlash();
  // "NID_BUTTON_AUTOREPEAT" when auto repeat is on, then a left click with the window's
  // buttons.
  void DeliverSimulatedClick();

  bool mAutoValueSet = false;
  bool mIsRadio = false;
  bool mAutoRepeat = false;
  bool mPassive = false;
  bool mRepeatActive = false;
  bool mPressedOutside = false;
  double mRepeatInterval = 0.1;
  double mFirstRepeatDelay = 0.3;
  double mRepeatLastTime = 0.0;
  double mRepeatTimeLeft = 0.0;
  double mFlashDuration = 0.15;
  double mFlashStart = 0.0;
  bool mFlashActive = false;
};

} // namespace QZ
