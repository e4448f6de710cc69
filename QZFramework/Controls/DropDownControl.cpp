#include "QZFramework/Controls/DropDownControl.h"

namespace QZ {

LDropDownControl::LDropDownControl(const RCPtr<LControl>& parent, const WString& name)
    : LHandlerTableControl(parent, name) {}

QZResult LDropDownControl::Initialize() {
  const QZResult result = LControl::Initialize();
  if (Failed(result)) {
    return result;
  }
  if (Failed(CreateHandlerTable())) {
    return QZ_E_FAIL;
  }
  if (Failed(GetHandlerTable()->AddHandler(&LDropDownControl::OnMouseDownNotification,
                                           RCPtr<LNotificationDistributor>(this), u"NID_MOUSE_DOWN"))) {
    return QZ_E_FAIL;
  }
  return result;
}

QZResult LDropDownControl::SetFocus(bool forward) {
  const RCPtr<LControl> self(this);
  const QZResult result = LControl::SetFocus(forward);
  const bool open = IsDroppedDown();
  if (open) {
    ShowDropDown(false);
  }
  // Set after the close: a part that hands its focus back as it hides calls this again.
  mClosedOnFocus = open;
  return result;
}

QZResult LDropDownControl::OnConditionsChanged(const RCPtr<LConditionsParam>& param) {
  LControl::OnConditionsChanged(param);
  if (param && (param->GetCurrent() & kConditionLeftDown) && !(param->GetPrevious() & kConditionLeftDown)) {
    if (mSuppressOpen) {
      mSuppressOpen = false;
    } else {
      ShowDropDown(true);
    }
  }
  return QZ_OK;
}

bool LDropDownControl::KillFocus() {
  const RCPtr<LControl> self(this);
  // The focus goes first: a part that held it, hidden, has none to hand back.
  const bool killed = LControl::KillFocus();
  ShowDropDown(false);
  return killed;
}

QZResult LDropDownControl::OnMouseDownNotification(const RCPtr<LNotificationDistributor>&,
                                                   const RCPtr<LNotification>&) {
  if (mClosedOnFocus) {
    mSuppressOpen = true;
  }
  return QZ_OK;
}

} // namespace QZ
