#include "QZFramework/Controls/Button.h"

#include "QZFramework/ControlBase/ControlDescriptor.h"
#include "QZFramework/ControlBase/KeyParam.h"
#include "QZFramework/ControlBase/StringTable.h"
#include "QZFramework/Controls/ApplicationClock.h"
#include "QZFramework/Notification/Notification.h"

namespace QZ {
namespace {

constexpr uint32_t kEnterPressed = 0x200D0000;

// The create param's flag: lower-cased, "true" or not; false when absent (found false).
bool ReadFlag(const LStringTable* params, const WString& key, bool& found) {
  WString text;
  found = LookupString(params, key, text);
  return found && text.ToLower() == u"true";
}

} // namespace

LButton::LButton(const RCPtr<LControl>& parent, const WString& name) : LHandlerTableControl(parent, name) {}

// =============================================================================================
// Looks
// =============================================================================================

QZResult LButton::UpdateLook() {
  if (mPassive || mFlashActive) {
    return QZ_OK;
  }
  const bool on = IsOn();
  int32_t look;
  if (!IsEnabled(true)) {
    look = kLookDisabled + (on ? kLookOn : 0);
  } else {
    const bool pressed = HasCapture() && (IsButtonPressed(0) || IsButtonDragging(0));
    if (pressed) {
      // A held button whose pointer has left it shows hover, unless it stays pressed.
      look = IsMouseOver() || mPressedOutside ? kLookPressed : kLookHover;
    } else {
      look = IsMouseOver() && !HasCapture() ? kLookHover : kLookNormal;
    }
    look += on ? kLookOn : 0;
    look += HasFocus() ? kLookFocusOffset : 0;
  }
  ShowLook(look); // a shorter look list keeps the look it shows
  return QZ_OK;
}

QZResult LButton::SetEnabled(bool enabled) {
  const QZResult result = LControl::SetEnabled(enabled);
  UpdateLook();
  return result;
}

// =============================================================================================
// Value
// =============================================================================================

QZResult LButton::SetAutoValueSet(bool autoValueSet) {
  mAutoValueSet = autoValueSet;
  return QZ_OK;
}

QZResult LButton::SetIsRadio(bool isRadio) {
  mIsRadio = isRadio;
  return QZ_OK;
}

bool LButton::SetChecked(bool on) { return SetValue(on ? 1.0 : 0.0) >= 0.5; }

QZResult LButton::OnValueChanged() {
  const RCPtr<LControl> self(this);
  if (mIsRadio && IsOn() && GetParent()) {
    // The siblings' receivers may rearrange the parent's children: walk a copy.
    RCPtrArray<LControl, 1, 0> siblings;
    const ChildControlList& children = GetParent()->GetChildren();
    for (uint32_t i = 0; i < children.GetCount(); ++i) {
      siblings.AddItem(children.GetAt(i, ChildControlList::kInsertionOrder));
    }
    for (uint32_t i = siblings.GetCount(); i-- > 0;) {
      const RCPtr<LButton> sibling = DynamicCast<LButton>(siblings.GetAt(i));
      if (sibling && sibling->mIsRadio && sibling != self) {
        sibling->SetValue(0.0);
      }
    }
  }
  return UpdateLook();
}

QZResult LButton::HandleLeftClick(const RCPtr<LMouseButtonParam>&) {
  if (mAutoValueSet) {
    SetValue(!mIsRadio && IsOn() ? 0.0 : 1.0);
  }
  return QZ_OK;
}

// =============================================================================================
// Input
// =============================================================================================

bool LButton::ContainsPoint(const PointT<int32_t>& point) { return !mPassive && LControl::ContainsPoint(point); }

QZResult LButton::OnKeyDown(const RCPtr<LKeyParam>& param) {
  if (!param || param->GetKey().code != kEnterPressed) {
    return QZ_FALSE;
  }
  SimulateClick();
  return QZ_OK;
}

QZResult LButton::OnConditionsChanged(const RCPtr<LConditionsParam>& param) {
  const RCPtr<LControl> self(this);
  if (mAutoRepeat && param) {
    const uint32_t changed = param->GetChanged();
    const uint32_t now = param->GetCurrent();
    if ((changed & kConditionHover) && (now & kConditionHover)) {
      // Time spent outside does not count.
      mRepeatLastTime = Widgets::Now();
      return UpdateLook();
    }
    if ((changed & kConditionLeftDown) && (now & kConditionLeftDown) && IsEnabled(true) && !mRepeatActive) {
      mRepeatActive = true;
      AddIdleRequest(); // outside a window it is counted for later
      mRepeatLastTime = Widgets::Now();
      mRepeatTimeLeft = mFirstRepeatDelay;
      Announce(u"NID_BUTTON_AUTOREPEAT");
    } else if ((changed & kConditionCapture) && !(now & kConditionCapture) && mRepeatActive) {
      mRepeatActive = false;
      if (!mFlashActive) {
        ReleaseIdleRequest();
      }
    }
  }
  return UpdateLook();
}

// =============================================================================================
// Timed behaviour
// =============================================================================================

QZResult LButton::OnTick() {
  const RCPtr<LControl> self(this);
  if (mFlashActive && Widgets::IsDue(mFlashDuration - (Widgets::Now() - mFlashStart))) {
    EndFlash();
    UpdateLook();
    DeliverSimulatedClick();
  }
  if (mRepeatActive && IsMouseOver() && IsEnabled(true)) {
    const double now = Widgets::Now();
    mRepeatTimeLeft -= now - mRepeatLastTime;
    mRepeatLastTime = now;
    if (Widgets::IsDue(mRepeatTimeLeft)) {
      mRepeatTimeLeft = mRepeatInterval;
      Announce(u"NID_BUTTON_AUTOREPEAT");
    }
  }
  return QZ_OK;
}

QZResult LButton::SimulateClick() {
  const RCPtr<LControl> self(this);
  if (mFlashActive) {
    // The click still showing goes out now; the new flash takes a request of its own.
    EndFlash();
    DeliverSimulatedClick();
  }
  mFlashActive = true;
  SetFocus(true);   // a button that cannot hold the focus flashes without it
  AddIdleRequest(); // outside a window it is counted for later
  mFlashStart = Widgets::Now();
  ShowLook(kLookPressed + (IsOn() ? kLookOn : 0)); // a shorter look list keeps its look
  InvalidateArea();
  return QZ_OK;
}

void LButton::EndFlash() {
  mFlashActive = false;
  mFlashStart = 0.0;
  if (!mRepeatActive) {
    ReleaseIdleRequest();
  }
}

void LButton::DeliverSimulatedClick() {
  if (mAutoRepeat) {
    Announce(u"NID_BUTTON_AUTOREPEAT");
  }
  const RCPtr<IRootWindow> window = GetRootWindowRef();
  const uint32_t buttons = window ? window->GetMouseButtons() : 0;
  OnLeftClick(LMouseButtonParam::Create(kMouseButtonLeft, {0, 0}, 0, false, buttons, 0));
}

// =============================================================================================
// Initialisation and notifications
// =============================================================================================

QZResult LButton::Initialize() {
  const QZResult base = LControl::Initialize();
  if (Failed(base)) {
    return base;
  }
  if (Failed(CreateHandlerTable())) {
    return QZ_E_FAIL;
  }
  CheckResult(SubscribeSimulateClick(), {"QZ::LButton::Initialize", R"(Controls\Button)", 50});

  const LStringTable* params = GetControlDescriptor() ? GetControlDescriptor()->GetCreateParams().Get() : nullptr;
  bool found = false;
  const bool autoValueSet = ReadFlag(params, TableKey<u"AUTO_VALUE_SET">(), found);
  if (found) {
    SetAutoValueSet(autoValueSet);
  }
  const bool isRadio = ReadFlag(params, TableKey<u"IS_RADIO">(), found);
  if (found) {
    SetIsRadio(isRadio);
  }
  return QZ_OK;
}

QZResult LButton::SubscribeSimulateClick() {
  return GetHandlerTable()->AddAnySourceHandler(&LButton::OnSimulateClickNotification, u"NID_SIMULATE_CLICK");
}

QZResult LButton::OnSimulateClickNotification(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&) {
  if (IsEnabled(true)) {
    SimulateClick();
  }
  return QZ_FALSE;
}

WString LButton::GetToolTipText() { return IsTextTruncated() ? GetText() : LControl::GetToolTipText(); }

} // namespace QZ
