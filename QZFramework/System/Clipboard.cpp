#include "QZFramework/System/Clipboard.h"

#include <string>

#include "Platform/Clipboard/Clipboard.h"
#include "QZFramework/ControlBase/Control.h"
#include "QZFramework/ControlBase/ControlApplication.h"
#include "QZFramework/Notification/Notification.h"
#include "QZFramework/Notification/NotificationCenter.h"
#include "QZFramework/Services/ApplicationContext.h"

namespace QZ {
namespace {

namespace System = Platform::Clipboard;

constexpr std::string_view kSourceName = R"(System\ClipBoard)";

// The requests in the order Initialize subscribes them, with their edit codes.
struct EditRequest {
  NotificationName name;
  int32_t editCode;
};
constexpr EditRequest kEditRequests[] = {
    {u"NID_EDIT_CUT_REQ", LControl::kEditCut},
    {u"NID_EDIT_COPY_REQ", LControl::kEditCopy},
    {u"NID_EDIT_PASTE_REQ", LControl::kEditPaste},
    {u"NID_EDIT_DELETE_REQ", LControl::kEditDelete},
};

} // namespace

LClipboard::LClipboard() = default;

LClipboard::~LClipboard() = default;

QZResult LClipboard::Initialize() {
  if (!mHandler) {
    mHandler = RCPtr<LNotificationHandler<LClipboard>>(new LNotificationHandler<LClipboard>(*this));
  }
  const RCPtr<LNotificationDistributor> centre(GetApplicationNotificationCenter());
  int line = 41;
  for (const EditRequest& request : kEditRequests) {
    CheckResult(mHandler->AddHandler(&LClipboard::OnEditRequest, centre, request.name),
                {"QZ::LClipboard::Initialize", kSourceName, line++});
  }
  return QZ_OK;
}

RCPtr<LControl> LClipboard::GetEditTarget() {
  IControlApplication* application = GetControlApplication();
  const RCPtr<IRootWindow> window = application ? application->GetActiveRootWindow() : nullptr;
  const RCPtr<LControl> focused = window ? window->GetFocusedControl() : nullptr;
  return focused ? focused->GetKeyboardTarget() : nullptr;
}

bool LClipboard::CanPerformEdit(int32_t editCode) {
  const RCPtr<LControl> target = GetEditTarget();
  return target && target->AcceptsTextInput() && target->CanPaste(editCode);
}

QZResult LClipboard::PerformEditRequest(int32_t editCode) {
  const RCPtr<LControl> target = GetEditTarget();
  if (!target || !target->AcceptsTextInput() || !target->CanPaste(editCode)) {
    return QZ_FALSE;
  }
  return target->PerformEdit(editCode);
}

QZResult LClipboard::OnEditRequest(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification) {
  for (const EditRequest& request : kEditRequests) {
    if (notification->GetID() == GetNotificationID(request.name)) {
      return PerformEditRequest(request.editCode);
    }
  }
  return QZ_FALSE;
}

ConstRCPtr<LStringWrapper> LClipboard::GetText() {
  const uint32_t sequence = System::GetClipboardSequenceNumber();
  if (sequence == mSequenceNumber || System::IsClipboardFormatAvailable(System::kEmptiedFormat)) {
    return mText;
  }
  const bool wide = System::IsClipboardFormatAvailable(System::CF_UNICODETEXT);
  if (!wide && !System::IsClipboardFormatAvailable(System::CF_TEXT)) {
    mText = nullptr;
    return mText;
  }
  if (!System::OpenClipboard()) {
    return mText;
  }
  std::u16string text;
  if (System::GetClipboardData(wide ? System::CF_UNICODETEXT : System::CF_TEXT, text)) {
    mText = MakeStringableWrapper(WString(text.data(), uint32_t(text.size())));
    mSequenceNumber = sequence;
  }
  System::CloseClipboard(); // a round that only read has nothing to write
  return mText;
}

QZResult LClipboard::SetText(const ConstRCPtr<LStringWrapper>& text) {
  if (mBusy) {
    return QZ_FALSE;
  }
  mBusy = true;
  struct ClearBusy {
    bool& busy;
    ~ClearBusy() { busy = false; }
  } clearBusy{mBusy};

  mText = text;
  if (!text) {
    return QZ_OK;
  }
  if (!System::OpenClipboard()) {
    return QZ_E_FAIL;
  }
  System::EmptyClipboard(); // the round is open
  const bool set = text->IsEmpty() ? System::SetClipboardData(System::kEmptiedFormat)
                                   : System::SetClipboardData(System::CF_UNICODETEXT, text->View());
  const bool written = System::CloseClipboard();
  mSequenceNumber = System::GetClipboardSequenceNumber();
  return set && written ? QZ_OK : QZ_E_FAIL;
}

QZResult LClipboard::OnClipboardUpdate() {
  if (System::ClipboardUpdated()) {
    OnDestroyClipboard();
  }
  return QZ_OK;
}

QZResult LClipboard::OnDestroyClipboard() {
  SetText(nullptr);
  return QZ_OK;
}

QZResult LClipboard::ReceiveNotification(const RCPtr<LNotificationDistributor>& distributor,
                                         const RCPtr<LNotification>& notification) {
  return mHandler ? mHandler->HandleNotification(distributor, notification) : QZResult(QZ_OK);
}

} // namespace QZ
