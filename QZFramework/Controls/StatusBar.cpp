#include "QZFramework/Controls/StatusBar.h"

#include "QZFramework/ControlBase/ControlApplication.h"
#include "QZFramework/ControlBase/ControlDescriptor.h"
#include "QZFramework/ControlBase/StringTable.h"
#include "QZFramework/Controls/Label.h"
#include "QZFramework/Notification/Notification.h"
#include "QZFramework/Utilities/Storage/Wrapper.h"

namespace QZ {
namespace {

constexpr char16_t kSetStatusText[] = u"NID_SET_STATUS_TEXT";

RCPtr<LStatusBar> gApplicationStatusBar;

} // namespace

LStatusBar::LStatusBar(const RCPtr<LControl>& parent, const WString& name) : LHandlerTableControl(parent, name) {}

QZResult LStatusBar::Initialize() {
  const QZResult initialized = LControl::Initialize();
  if (Failed(initialized)) {
    return initialized;
  }
  const RCPtr<LStatusBar> self(this);
  if (Failed(CreateHandlerTable())) {
    return QZ_E_FAIL;
  }
  const QZResult subscribed = GetHandlerTable()->AddHandler(&LStatusBar::OnSetStatusText,
                                                            RCPtr<LNotificationDistributor>(self), kSetStatusText);
  if (Failed(subscribed)) {
    return subscribed;
  }
  AttachDistributor(RCPtr<LNotificationDistributor>(self));
  AddIdleRequest(); // a bar outside a window drains once it is in one
  mLabel = DynamicCast<LLabel>(FindChildByName(u"label1"));
  mIdleText = WString();
  if (mLabel) {
    const RCPtr<LControlDescriptor>& entry = mLabel->GetControlDescriptor();
    if (!LookupString(mLabel->GetStringTable().Get(), u"LABEL", mIdleText) && entry) {
      LookupString(entry->GetCreateParams().Get(), u"LABEL", mIdleText); // empty without one
    }
  }
  return initialized;
}

QZResult LStatusBar::ApplyCreateParams() {
  LControl::ApplyCreateParams();
  SetFocusable(true);
  return QZ_OK;
}

QZResult LStatusBar::SetStatusText(const WString& text) {
  const RCPtr<LStatusBar> self(this);
  ProcessNotifications(false);
  if (!mLabel) {
    return QZ_FALSE;
  }
  ShowText(text);
  if (const RCPtr<IRootWindow> window = GetRootWindowRef()) {
    window->UpdateLayout();
  }
  return QZ_OK;
}

QZResult LStatusBar::PostStatusText(const WString& text) {
  return PostNotification(LNotification::Create(kSetStatusText, RCPtr<LStringWrapper>(new LStringWrapper(text))));
}

QZResult LStatusBar::OnTick() {
  ProcessNotifications(false);
  return QZ_OK;
}

QZResult LStatusBar::OnSetStatusText(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification) {
  if (const RCPtr<LStringWrapper> text = notification->GetParameterAs<LStringWrapper>()) {
    ShowText(*text);
  }
  return QZ_FALSE;
}

void LStatusBar::ShowText(const WString& text) {
  if (mLabel) {
    mLabel->SetText(text);
  }
}

QZResult LStatusBar::ReleaseInternalReferences() {
  Shutdown();
  mLabel = nullptr;
  return LControl::ReleaseInternalReferences();
}

// =============================================================================================
// The application's status text
// =============================================================================================

RCPtr<LStatusBar> GetApplicationStatusBar() { return gApplicationStatusBar; }

void SetApplicationStatusBarForTesting(const RCPtr<LStatusBar>& bar) { gApplicationStatusBar = bar; }

QZResult SetApplicationStatusText(IControlApplication& application, const WString& text, bool immediate) {
  const RCPtr<IRootWindow> mainWindow = application.GetRootWindowAt(0);
  const RCPtr<LStatusBar> bar = GetApplicationStatusBar();
  if (!mainWindow || !bar) {
    return QZ_E_FAIL;
  }
  return immediate ? bar->SetStatusText(text) : bar->PostStatusText(text);
}

QZResult RestoreApplicationStatusText(IControlApplication& application, bool immediate) {
  const RCPtr<LStatusBar> bar = GetApplicationStatusBar();
  return SetApplicationStatusText(application, bar ? bar->GetIdleText() : WString(), immediate);
}

} // namespace QZ
