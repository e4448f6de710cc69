#pragma once
// QZ::LGlobalHotKeyManager: the hot keys that work whatever control has the focus. A key
// no control consumed is looked up here and its command goes out as a notification of
// that name to one receiver (the application's), before HandleKey returns.
//
//   QZ::RCPtr<QZ::LGlobalHotKeyManager> keys(new QZ::LGlobalHotKeyManager(receiver));
//   (void)keys->GetHotKeyMap().ParseDefinitions(table.Get(), u"GHK");  // "GHK.NID_EDIT_DELETE_REQ" = "VKEY_DELETE"
//   QZ::QZResult handled = keys->HandleKey(QZ::LKeyParam::Create(QZ::KeyCode(0x2E, true, 0, 0), true));
//   // 0: the receiver got "NID_EDIT_DELETE_REQ" carrying that key parameter
//
// The sender handed to the receiver is the application-wide distributor: the installed
// application context's "application" notification centre (GetApplicationNotificationCenter
// in QZFramework/Services/ApplicationContext.h), null while none is installed.
//
// UI thread only.

#include "QZFramework/ControlBase/HotKeyMap.h"
#include "QZFramework/ControlBase/KeyParam.h"
#include "QZFramework/Notification/NotificationClient.h"

namespace QZ {

class LGlobalHotKeyManager : public virtual LRefCountedObject {
public:
  // Empty bindings; holds a reference on receiver until destroyed.
  explicit LGlobalHotKeyManager(RCPtr<LNotificationReceiver> receiver);

  // The bindings: parse definitions into it, add, look up, and Clear it when a root
  // window changes its root control.
  HotKeyMap& GetHotKeyMap() { return mBindings; }
  const HotKeyMap& GetHotKeyMap() const { return mBindings; }

  // Looks up the command bound to key's code. Bound: a notification of the command's
  // name carrying key is delivered to the receiver at once; 0. Not bound, or no receiver
  // to deliver to: 1, nothing sent. QZ_E_INVALIDARG for a null key.
  [[nodiscard]] QZResult HandleKey(const RCPtr<LKeyParam>& key);

private:
  HotKeyMap mBindings;
  const RCPtr<LNotificationReceiver> mReceiver;
};

} // namespace QZ
