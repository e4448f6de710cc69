#pragma once
// QZ::LNotificationReceiver: what a distributor calls to deliver a notification.
// QZ::LNotificationClient: a receiver that registers at distributors for notification
// ids and keeps the books that let both sides be freed.
//
//   class LEngine : public QZ::LNotificationClient {
//     QZResult ReceiveNotification(const QZ::RCPtr<QZ::LNotificationDistributor>& from,
//                                  const QZ::RCPtr<QZ::LNotification>& notification) override;
//   };
//   engine->RegisterNotification(centre, u"NID_APP_EXIT_REQ");        // every one
//   bar->RegisterNotification(centre, u"NID_SET_STATUS_TEXT",
//                             QZ::kNotificationLatestOnly);           // only the newest posted
//
// Reference accounting: each registration a distributor accepts holds a reference on
// the client, counted as internal. When the owner drops the last outside reference,
// ReleaseInternalReferences unregisters everything and the client is destroyed; a class
// that overrides it runs ReleaseClientReferences (see LRefCountedObject for the order).
//
// A client must be held by a smart pointer while it registers or unregisters (the calls
// take a reference on it for their duration). Registrations may change on any thread,
// also from inside ReceiveNotification; they are serialised by the client's lock, taken
// before any distributor's lock (never after one).

#include <cstdint>

#include "QZFramework/Notification/Notification.h"
#include "QZFramework/Services/Sync/Mutex.h"
#include "QZFramework/Utilities/Storage/Array.h"

namespace QZ {

class LNotificationDistributor;

// Registration flag: deliver to this entry only the newest posted notification of its id
// (see LNotificationQueue::PostNotification); sent notifications never reach it.
inline constexpr uint32_t kNotificationLatestOnly = 0x1;

class LNotificationReceiver : public virtual LRefCountedObject {
public:
  // Delivers notification from distributor, on the sending thread (the main thread for
  // posted ones). The result is ignored by distributors.
  virtual QZResult ReceiveNotification(const RCPtr<LNotificationDistributor>& distributor,
                                       const RCPtr<LNotification>& notification) = 0;
  // Removes the registration for id at distributor.
  virtual QZResult UnregisterNotification(LNotificationDistributor* distributor, NotificationName id) = 0;
};

class LNotificationClient : public LNotificationReceiver {
public:
  LNotificationClient() = default;

  // Does nothing and returns 0; clients override it.
  QZResult ReceiveNotification(const RCPtr<LNotificationDistributor>& distributor,
                               const RCPtr<LNotification>& notification) override;

  // Registers this client at distributor for name with flags (kNotificationLatestOnly or
  // 0). Registering again for the same id keeps one registration and takes the new
  // flags. Returns the id, or null for a null distributor or a name that interns to 0.
  NotificationID RegisterNotification(const RCPtr<LNotificationDistributor>& distributor, NotificationName name,
                                      uint32_t flags = 0);
  // 0 when the registration was removed; 1 when there was none (also when this client
  // holds none at all); QZ_E_INVALIDARG for a null distributor or id. Called on a thread that
  // is not itself delivering a notification, it returns only once no other thread is
  // still calling this client for that registration: nothing is called after it has
  // returned. The caller must then hold no lock that this client's receiver takes.
  // Called from inside a delivery (a receiver unregistering), it does not wait: the
  // walk in progress skips the registration from its removal on.
  QZResult UnregisterNotification(LNotificationDistributor* distributor, NotificationName id) override;
  // Removes every registration; returns how many were removed. Waits as
  // UnregisterNotification does.
  int32_t UnregisterAllNotifications();
  // The number of (distributor, id) registrations held.
  int32_t GetRegistrationCount() const;

  // ReleaseClientReferences, then the base test.
  QZResult ReleaseInternalReferences() override;

protected:
  // This base's release step: removes every registration this client holds.
  void ReleaseClientReferences() { UnregisterAllNotifications(); }

private:
  mutable Mutex mMutex;
  int32_t mRegistrationCount = 0;
  // Each distributor holding at least one registration, once. Not owning: the
  // registrations keep them alive.
  Array<LNotificationDistributor*> mDistributors;
};

} // namespace QZ
