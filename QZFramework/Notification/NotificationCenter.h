#pragma once
// QZ::LNotificationCenter: a named distributor with its own queue, delivering what is
// posted to it through itself. QZ::LNotificationCenterManager keeps the centres by name;
// the application's centre is named "application".
//
//   QZ::LNotificationCenterManager centres;                        // one per application
//   QZ::RCPtr<QZ::LNotificationCenter> app = centres.GetNotificationCenter(u"application");
//   engine->RegisterNotification(app, u"NID_APP_EXIT_REQ");
//   app->PostNotification(QZ::LNotification::Create(u"NID_APP_EXIT_REQ"));   // any thread
//   while (centres.ProcessNotifications(firstIdlePass)) { ... }              // main thread
//
// A centre lives while someone outside holds it. When the last outside reference goes,
// it is disposed: every client is unregistered and what waits is discarded undelivered.

#include "QZFramework/Notification/NotificationQueue.h"
#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

class LNotificationCenter : public LNotificationDistributor, public LNotificationQueue {
public:
  // A centre not yet attached to itself: use CreateNotificationCenter, or attach it with
  // AttachDistributor(centre) once a smart pointer holds it.
  explicit LNotificationCenter(const WString& name) : mName(name) {}

  // A new centre of that name, delivering through itself.
  static RCPtr<LNotificationCenter> CreateNotificationCenter(const WString& name);

  const WString& GetName() const { return mName; }

  // Disposes the centre: the distributor's release step (every client unregisters), then
  // the queue's (shut down); then the base test.
  QZResult ReleaseInternalReferences() override;

private:
  const WString mName;
};

class LNotificationCenterManager {
public:
  LNotificationCenterManager() = default;
  LNotificationCenterManager(const LNotificationCenterManager&) = delete;
  LNotificationCenterManager& operator=(const LNotificationCenterManager&) = delete;
  // Lets go of every centre; centres nobody else holds are disposed.
  ~LNotificationCenterManager() = default;

  // The centre of that name (the same text, case-sensitive), made on first request;
  // null for an empty name. Any thread.
  RCPtr<LNotificationCenter> GetNotificationCenter(const WString& name);
  // Drains every centre, last made first, as LNotificationQueue::ProcessNotifications;
  // true when any centre has notifications waiting. Main thread.
  bool ProcessNotifications(bool sendIdle);

private:
  mutable Mutex mMutex;
  RCPtrArray<LNotificationCenter> mCentres; // in order of creation
};

} // namespace QZ
