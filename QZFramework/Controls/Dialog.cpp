#include "QZFramework/Controls/Dialog.h"

#include "QZFramework/ControlBase/ControlApplication.h"
#include "QZFramework/Notification/Notification.h"

namespace QZ {

namespace {

struct StandardButton {
  const char16_t* name;
  int32_t result;
  bool takesFocusFirst;
};

// In the order the buttons are looked for and compared.
constexpr StandardButton kStandardButtons[] = {
    {u"buttonOK", LDialog::kResultOK, true},          {u"buttonClose", LDialog::kResultOK, true},
    {u"buttonCancel", LDialog::kResultCancel, false}, {u"buttonAbort", LDialog::kResultAbort, false},
    {u"buttonRetry", LDialog::kResultRetry, false},   {u"buttonIgnore", LDialog::kResultIgnore, false},
    {u"buttonYes", LDialog::kResultYes, false},       {u"buttonNo", LDialog::kResultNo, false},
};

} // namespace

LDialog::LDialog(const RCPtr<LControl>& parent, const WString& name) : LHandlerTableControl(parent, name) {}

QZResult LDialog::Initialize() {
  const QZResult result = LScrollView::Initialize();
  if (Failed(result)) {
    return result;
  }
  if (Failed(CreateHandlerTable())) {
    return QZ_E_FAIL;
  }
  for (const StandardButton& button : kStandardButtons) {
    if (const RCPtr<LControl> child = FindChildByName(WString(button.name))) {
      if (Failed(GetHandlerTable()->AddHandler(&LDialog::OnStandardButtonClick, RCPtr<LNotificationDistributor>(child),
                                               u"NID_LEFT_CLICK"))) {
        return QZ_E_FAIL;
      }
    }
  }
  return result;
}

int32_t LDialog::DoModal() {
  IControlApplication* application = GetControlApplication();
  return application ? application->CreateRootWindowForControl(RCPtr<LControl>(this), true) : QZ_E_FAIL;
}

QZResult LDialog::OnDialogClosed() { return QZ_OK; }

QZResult LDialog::EndDialog(int32_t result) {
  const RCPtr<LDialog> self(this);
  mResult = result;
  if (NotifyClosing()->GetCancel()) {
    return QZ_FALSE;
  }
  const RCPtr<IRootWindow> window = GetRootWindowRef();
  const QZResult ended = window ? window->EndModal(result) : QZResult(QZ_E_FAIL);
  Announce(u"NID_DIALOG_CLOSED");
  OnDialogClosed();
  return ended;
}

RCPtr<LCancelArgs> LDialog::NotifyClosing() {
  const RCPtr<LCancelArgs> args = LCancelArgs::Create();
  Announce(u"NID_DIALOG_CLOSING", args);
  return args;
}

QZResult LDialog::OnStandardButtonClick(const RCPtr<LNotificationDistributor>& distributor,
                                        const RCPtr<LNotification>&) {
  const RCPtr<LControl> button = DynamicCast<LControl>(distributor);
  if (!button) {
    return QZ_FALSE;
  }
  const WString name = button->GetName();
  for (const StandardButton& standard : kStandardButtons) {
    if (name == standard.name) {
      // A control that still holds the focus gives it up (a text box commits its text);
      // one that refuses keeps the dialog open.
      if (!standard.takesFocusFirst || !Failed(button->SetFocus(true))) {
        EndDialog(standard.result); // vetoed or not, the click is handled
      }
      break;
    }
  }
  return QZ_FALSE;
}

} // namespace QZ
