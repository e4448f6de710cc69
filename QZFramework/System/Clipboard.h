#pragma once
// QZ::LClipboard: the application's one clipboard object. It routes the application-wide
// edit requests ("NID_EDIT_CUT_REQ", "NID_EDIT_COPY_REQ", "NID_EDIT_PASTE_REQ",
// "NID_EDIT_DELETE_REQ", raised by menus and hot keys) to the control that has the keyboard
// focus, and exchanges plain text with the system clipboard for the text controls.
//
//   QZ::RCPtr<QZ::LClipboard> clipboard(new QZ::LClipboard);   // the application makes it
//   clipboard->Initialize();                                    // subscribes the requests
//   (void)clipboard->SetText(QZ::MakeStringableWrapper(u"Preset 12"));
//   QZ::ConstRCPtr<QZ::LStringWrapper> text = clipboard->GetText();   // from the cache
//   bool canPaste = clipboard->CanPerformEdit(QZ::LControl::kEditPaste);
//
// The text is re-read from the system only when the clipboard's sequence number moved
// (Platform/Clipboard/Clipboard.h says how it is kept); an empty copy leaves the clipboard
// emptied and marked (format 0x200). The owner forwards the window layer's clipboard
// updates (WM_CLIPBOARDUPDATE) to OnClipboardUpdate.
//
// Edit codes: 0 delete, 1 cut, 2 copy, 3 paste (QZ::LControl::kEditDelete ...).
//
// UI thread only.

#include <cstdint>

#include "QZFramework/Notification/NotificationClient.h"
#include "QZFramework/Notification/NotificationHandler.h"
#include "QZFramework/Utilities/Storage/Wrapper.h"

namespace QZ {

class LControl;

class LClipboard : public LNotificationClient {
public:
  // Null text; no subscription yet.
  LClipboard();
  ~LClipboard() override;
  LClipboard(const LClipboard&) = delete;
  LClipboard& operator=(const LClipboard&) = delete;

  // Subscribes the edit requests at the application's notification centre
  // (GetApplicationNotificationCenter) in the order cut, copy, paste, delete. 0. Throws
  // "Failed Result : QZRESULT = <code> : QZ::LClipboard::Initialize : System\ClipBoard :
  // Line 41" when the first subscription fails (42, 43, 44 for the others), also when
  // there is no centre.
  QZResult Initialize();

  // Whether the edit target (the active root window's focused control's keyboard target)
  // exists, accepts text input and can run the edit now (CanPaste with the code).
  bool CanPerformEdit(int32_t editCode);
  // Runs the edit on the edit target when CanPerformEdit holds: its PerformEdit's result;
  // else 1, nothing done.
  QZResult PerformEditRequest(int32_t editCode);

  // The clipboard's text: the cache while the sequence number is the one of the last read
  // or write, or while the clipboard carries the mark of an empty copy; null when the
  // clipboard holds no text; else read anew (the cache kept when the clipboard cannot be
  // opened or read).
  ConstRCPtr<LStringWrapper> GetText();
  // Writes text to the system clipboard and the cache: 0; QZ_E_FAIL when the clipboard
  // cannot be opened or written. Null text only empties the cache (0). Empty text empties
  // the clipboard and marks it. 1, nothing done, while a write is under way.
  QZResult SetText(const ConstRCPtr<LStringWrapper>& text);

  // The window layer's clipboard update: when it says another program took the clipboard,
  // the ownership-lost handling runs (OnDestroyClipboard). 0.
  QZResult OnClipboardUpdate();
  // Ownership lost (WM_DESTROYCLIPBOARD): SetText with null, which clears the cache.
  QZResult OnDestroyClipboard();

  // Routes the edit requests through the handler table; 0 for anything else.
  QZResult ReceiveNotification(const RCPtr<LNotificationDistributor>& distributor,
                               const RCPtr<LNotification>& notification) override;

private:
  // The handler of the four requests: PerformEditRequest with the request's code.
  QZResult OnEditRequest(const RCPtr<LNotificationDistributor>& distributor, const RCPtr<LNotification>& notification);
  // The active root window's focused control's keyboard target; null when any is missing.
  static RCPtr<LControl> GetEditTarget();

  RCPtr<LNotificationHandler<LClipboard>> mHandler;
  uint32_t mSequenceNumber = 0;
  ConstRCPtr<LStringWrapper> mText;
  bool mBusy = false;
};

} // namespace QZ
