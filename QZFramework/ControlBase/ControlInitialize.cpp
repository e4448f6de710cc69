// What the control factory's last step gives a control: the application's notification
// centre, a handler table, the create parameters of its skin entry, its tool tip and its
// local hot keys; and the idle subscription of a tree that has just come under a window.

#include "QZFramework/ControlBase/Control.h"
#include "QZFramework/ControlBase/ControlDescriptor.h"
#include "QZFramework/ControlBase/StringTable.h"
#include "QZFramework/Notification/NotificationCenter.h"
#include "QZFramework/Services/ApplicationContext.h"
#include "QZFramework/Utilities/Storage/WideChar.h"

namespace QZ {

LNotificationHandler<LControl>& LControl::HandlerTable() {
  if (!mNotificationHandler) {
    mNotificationHandler = RCPtr<LNotificationHandler<LControl>>(new LNotificationHandler<LControl>(*this));
  }
  return *mNotificationHandler;
}

QZResult LControl::Initialize() {
  mNotificationCenter = RCPtr<LNotificationCenter>(GetApplicationNotificationCenter());
  HandlerTable(); // made now, used by the subscriptions below and by widgets
  ApplyCreateParams();

  const LStringTable* params = mDescriptor ? mDescriptor->GetCreateParams().Get() : nullptr;
  // The string table's tool tip is the translated one: it wins over the skin's.
  if (!LookupString(mStringTable.Get(), TableKey<u"TOOLTIP">(), mToolTipText)) {
    LookupString(params, TableKey<u"TOOLTIP">(), mToolTipText); // without one the tip stays empty
  }
  // The skin's definitions first; a key keeps the first command it was bound to.
  (void)mHotKeys.ParseDefinitions(params, TableKey<u"LHK">());             // nothing to read without parameters
  (void)mHotKeys.ParseDefinitions(mStringTable.Get(), TableKey<u"LHK">()); // nothing to read without a table

  if (mParent && !mHotKeys.IsEmpty()) {
    // The siblings' keys (and the control's own, raised at the parent) reach the local hot
    // keys through the parent.
    const QZResult subscribed = HandlerTable().AddHandler(&LControl::OnSiblingKeyNotification,
                                                          RCPtr<LNotificationDistributor>(mParent), u"NID_SIBLING_KEY");
    if (Failed(subscribed)) {
      return subscribed;
    }
  }
  return QZ_OK;
}

QZResult LControl::ApplyCreateParams() {
  const bool negativeTabStop = mLayout && mLayout->tabStop < 0;
  const LStringTable* params = mDescriptor ? mDescriptor->GetCreateParams().Get() : nullptr;
  if (!params) {
    SetFocusable(negativeTabStop);
    return QZ_OK;
  }
  WString text;
  if (LookupString(params, TableKey<u"INITIAL_VALUE">(), text)) {
    SetValue(Chars::ToDouble(text.GetBuffer()));
  }
  if (LookupString(params, TableKey<u"NOT_FOCUSABLE">(), text)) {
    SetFocusable(IsTrueText(text));
  } else {
    SetFocusable(negativeTabStop);
  }
  if (LookupString(params, TableKey<u"USE_PARENT_TOOLTIP">(), text)) {
    mUseParentToolTip = IsTrueText(text);
  }
  if (LookupString(params, TableKey<u"WANTS_TAB">(), text)) {
    mWantsTab = IsTrueText(text);
  }
  return QZ_OK;
}

QZResult LControl::SubscribeNotifications() {
  if (mIdleRequests > 0) {
    const RCPtr<IRootWindow> window = GetRootWindowRef();
    const RCPtr<LNotificationDistributor> idle = window ? window->GetIdleDistributor() : nullptr;
    if (!idle || Failed(HandlerTable().AddHandler(&LControl::OnIdleTick, idle, u"NID_IDLE"))) {
      mIdleRequests = 0;
    }
  }
  for (uint32_t i = mChildren.GetCount(); i-- > 0;) {
    if (i < mChildren.GetCount()) {
      const RCPtr<LControl> child = mChildren.GetAt(i, ChildControlList::kInsertionOrder);
      child->SubscribeNotifications(); // each child keeps its own books
    }
  }
  return QZ_OK;
}

} // namespace QZ
