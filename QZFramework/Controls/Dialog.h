#pragma once
// QZ::LDialog: the top control of a dialog window. It knows the eight standard buttons by
// name, ends with a result code that listeners may veto, and runs itself in a modal window
// of its own. The editor's dialogs derive from it and add their own Initialize.
//
//   auto dialog = QZ::DynamicCast<QZ::LDialog>(application->CreateControl(u"PresetEditor.DialogAbout"));
//   listener->RegisterNotification(dialog, u"NID_DIALOG_CLOSING");   // may veto: LCancelArgs
//   int32_t result = dialog->DoModal();       // 6 after "buttonYes", 2 from the close box
//
//   // in a handler of the dialog (or a derived one):
//   dialog->EndDialog(QZ::LDialog::kResultOK);  // the modal loop ends on the next idle pass
//
// Standard buttons and the result each ends the dialog with: "buttonOK" and "buttonClose"
// 1 (once the button took the focus: a text box that holds it first commits its text, and
// a control that refuses to let it go keeps the dialog open), "buttonCancel" 2,
// "buttonAbort" 3, "buttonRetry" 4, "buttonIgnore" 5, "buttonYes" 6, "buttonNo" 7. Closing
// the window (its close box, Alt+F4) ends it with 2.
//
// Notifications, from the dialog: "NID_DIALOG_CLOSING" (QZ::LCancelArgs: set cancel to keep
// the dialog open), then "NID_DIALOG_CLOSED" (no parameter) once the end was asked.
//
// UI thread, like every control.

#include <cstdint>

#include "QZFramework/ControlBase/ControlRoles.h"
#include "QZFramework/ControlBase/HandlerTableControl.h"
#include "QZFramework/Controls/ScrollView.h"

namespace QZ {

// The parameter of "NID_DIALOG_CLOSING": a listener sets cancel to veto the close.
class LCancelArgs : public virtual LRefCountedObject {
public:
  static RCPtr<LCancelArgs> Create() { return RCPtr<LCancelArgs>(new LCancelArgs); }

  bool GetCancel() const { return mCancel; }
  void SetCancel(bool cancel) { mCancel = cancel; }

private:
  LCancelArgs() = default;

  bool mCancel = false;
};

class LDialog : public LHandlerTableControl<LDialog, LScrollView>, public IDialogRole {
public:
  // Results.
  static constexpr int32_t kResultOK = 1; // also Close
  static constexpr int32_t kResultCancel = 2;
  static constexpr int32_t kResultAbort = 3;
  static constexpr int32_t kResultRetry = 4;
  static constexpr int32_t kResultIgnore = 5;
  static constexpr int32_t kResultYes = 6;
  static constexpr int32_t kResultNo = 7;

  LDialog(const RCPtr<LControl>& parent, const WString& name);

  // The scroll view's, then each standard button present is heard ("NID_LEFT_CLICK").
  // The scroll view's failure as it is; QZ_E_FAIL when a button cannot be heard.
  QZResult Initialize() override;

  // --- The dialog's own, in slot order -------------------------------------------------

  // Has the application make a modal window for the dialog and run it: the result the
  // dialog ended with (-1 when a quit ended the loop); QZ_E_FAIL when the window cannot be
  // made or there is no application.
  virtual int32_t DoModal();
  // Hook after the dialog was ended. 0.
  virtual QZResult OnDialogClosed();

  // Ends the dialog with result: the result is stored, "NID_DIALOG_CLOSING" asks the
  // listeners, and unless one vetoed, the root window ends its modal loop with result on
  // its next idle pass, "NID_DIALOG_CLOSED" goes out and OnDialogClosed runs. 1 when vetoed;
  // else the root window's answer (0; QZ_E_FAIL without an OS window or a root window,
  // the notifications sent all the same).
  QZResult EndDialog(int32_t result);
  // Sends "NID_DIALOG_CLOSING" with a new LCancelArgs and answers it.
  RCPtr<LCancelArgs> NotifyClosing();
  // The result of the last EndDialog; 0 before one.
  int32_t GetResult() const { return mResult; }
  // The window was closed: EndDialog(kResultCancel).
  QZResult CancelFromWindow() override { return EndDialog(kResultCancel); }

private:
  // A standard button was clicked: its result, OK and Close once the button has the
  // focus. 1.
  QZResult OnStandardButtonClick(const RCPtr<LNotificationDistributor>& distributor,
                                 const RCPtr<LNotification>& notification);

  int32_t mResult = 0;
};

} // namespace QZ
