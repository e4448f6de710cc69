#pragma once
// QZ::LValueStepKeys: the arrow keys and the wheel of a control whose value steps by units
// (the knob, the slider). An arrow key pressed without a refused bit steps one unit, Right
// and Up up, Left and Down down; the first press of a hold is announced as
// "NID_VALUE_CHANGE_KEY_DOWN" and an arrow key's release as "NID_VALUE_CHANGE_KEY_UP". A
// wheel notch steps one unit, up or right up.
//
//   QZResult LKnob::OnKeyDown(const RCPtr<LKeyParam>& param) {
//     const auto announce = [&](NotificationName name) { (void)Notify(name, param); };
//     const auto step = [this](double units) { Step(units); };
//     return param && mStepKeys.OnKey(*param, kValueStepModifiers, announce, step) ? QZ_OK : QZ_FALSE;
//   }
//
// UI thread, like the control it serves.

#include <cstdint>

#include "Platform/Window/VirtualKeys.h"
#include "QZFramework/ControlBase/ControlParams.h"
#include "QZFramework/ControlBase/KeyParam.h"

namespace QZ {

// The modifier bits of a key code: a press with any of them is no step.
inline constexpr uint32_t kValueStepModifiers =
    kKeyCodeCtrl | kKeyCodeShift | kKeyCodeAlt | kKeyCodeCommand | kKeyCodeFurther;

class LValueStepKeys {
public:
  // Takes an arrow key: its release ends the hold (announce(u"NID_VALUE_CHANGE_KEY_UP"));
  // its press without a bit of refused starts the hold at the first press
  // (announce(u"NID_VALUE_CHANGE_KEY_DOWN")) and calls step(+1 or -1). True when it took
  // the key; false for another key, a refused press and a press marked invalid (the
  // caller's to handle).
  template <class Announce, class Step>
  bool OnKey(const LKeyParam& param, uint32_t refused, Announce announce, Step step) {
    namespace Win = Platform::Window;
    const uint32_t code = param.GetKey().code;
    const uint8_t virtualKey = uint8_t((code & kKeyCodeVirtualKeyMask) >> 16);
    if (virtualKey < Win::VK_LEFT || virtualKey > Win::VK_DOWN) {
      return false;
    }
    if (!(code & (kKeyCodeDown | kKeyCodeInvalid))) {
      mHeld = false;
      announce(u"NID_VALUE_CHANGE_KEY_UP");
      return true;
    }
    if (!(code & kKeyCodeDown) || (code & refused)) {
      return false;
    }
    if (!mHeld) {
      mHeld = true;
      announce(u"NID_VALUE_CHANGE_KEY_DOWN");
    }
    step(virtualKey == Win::VK_RIGHT || virtualKey == Win::VK_UP ? 1.0 : -1.0);
    return true;
  }
  // Ends a hold whose release will not come (the focus left): true when a key was held,
  // and the caller announces "NID_VALUE_CHANGE_KEY_UP".
  bool EndHold() {
    const bool held = mHeld;
    mHeld = false;
    return held;
  }
  // One notch: +1 when the wheel turned towards forward (kWheelUp or kWheelRight), else -1.
  static double WheelUnits(const LMouseWheelParam& param, uint32_t forward) {
    return param.GetDirection() == forward ? 1.0 : -1.0;
  }

private:
  bool mHeld = false;
};

} // namespace QZ
