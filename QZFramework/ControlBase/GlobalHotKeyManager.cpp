#include "QZFramework/ControlBase/GlobalHotKeyManager.h"

#include "QZFramework/Notification/NotificationCenter.h"
#include "QZFramework/Services/ApplicationContext.h"

namespace QZ {

LGlobalHotKeyManager::LGlobalHotKeyManager(RCPtr<LNotificationReceiver> receiver) : mReceiver(std::move(receiver)) {}

QZResult LGlobalHotKeyManager::HandleKey(const RCPtr<LKeyParam>& key) {
  if (!key) {
    return QZ_E_INVALIDARG;
  }
  const WString command = mBindings.FindCommand(key->GetKey());
  if (command.IsEmpty() || !mReceiver) {
    return QZ_FALSE;
  }
  // The command's handlers may let this manager go; the receiver stays held meanwhile.
  const RCPtr<LNotificationReceiver> receiver = mReceiver;
  const RCPtr<LNotificationDistributor> sender(GetApplicationNotificationCenter());
  receiver->ReceiveNotification(sender, LNotification::Create(command.GetBuffer(), key)); // ignored, as by distributors
  return QZ_OK;
}

} // namespace QZ
