#pragma once
// QZ::LNotificationHandler<T>: routes the notifications a client T receives to member
// functions of T, by (distributor, notification id).
//
//   class LMidiManager : public QZ::LNotificationClient {
//     LMidiManager() : mHandler(new QZ::LNotificationHandler<LMidiManager>(*this)) {}
//     void Start(const QZ::RCPtr<QZ::LNotificationDistributor>& port) {
//       mHandler->AddHandler(&LMidiManager::OnCaptured, port, u"NID_MIDI_DATA_CAPTURED");
//     }
//     QZResult ReceiveNotification(const QZ::RCPtr<QZ::LNotificationDistributor>& from,
//                                  const QZ::RCPtr<QZ::LNotification>& notification) override {
//       return mHandler->HandleNotification(from, notification);
//     }
//     QZResult OnCaptured(const QZ::RCPtr<QZ::LNotificationDistributor>&, const QZ::RCPtr<QZ::LNotification>&);
//     QZ::RCPtr<QZ::LNotificationHandler<LMidiManager>> mHandler;
//   };
//
// The owner owns the handler; the handler refers to its owner without a reference.
// Handlers may be added on one thread while notifications are handled on another.

#include <cstdint>
#include <functional>
#include <map>
#include <type_traits>

#include "QZFramework/Notification/NotificationDistributor.h"

namespace QZ {

// The key of a handler: the distributor a notification comes from and its id.
struct Receivable {
  const LNotificationDistributor* distributor;
  NotificationID id;

  // By distributor first, then by id.
  friend bool operator<(const Receivable& a, const Receivable& b) {
    std::less<const void*> less;
    if (a.distributor != b.distributor) {
      return less(a.distributor, b.distributor);
    }
    return less(a.id, b.id);
  }
};

template <class T>
class LNotificationHandler : public virtual LRefCountedObject {
public:
  using Method = QZResult (T::*)(const RCPtr<LNotificationDistributor>& distributor,
                                 const RCPtr<LNotification>& notification);

  explicit LNotificationHandler(T& owner) : mOwner(owner) {}

  // Registers the owner at distributor for name with flags and routes that notification
  // from that distributor to method (replacing an earlier one): 0; 0x80070057 for a null
  // distributor or method; 0x80004005 when name interns to 0. The owner must be held by a
  // smart pointer.
  QZResult AddHandler(Method method, const RCPtr<LNotificationDistributor>& distributor, NotificationName name,
                      uint32_t flags = 0) {
    static_assert(std::is_base_of_v<LNotificationClient, T>, "the owner registers as a notification client");
    if (!distributor || !method) {
      return QZ_E_INVALIDARG;
    }
    const NotificationID id = mOwner.RegisterNotification(distributor, name, flags);
    if (!id) {
      return QZ_E_FAIL;
    }
    Mutex::ScopedLock hold(mMutex);
    mMethods[Receivable{distributor.Get(), id}] = method;
    return QZ_OK;
  }

  // Calls the method routed for (distributor, the notification's id) and returns its
  // result; 0 when none is; 0x80070057 for a null notification. No lock is held during
  // the call.
  QZResult HandleNotification(const RCPtr<LNotificationDistributor>& distributor,
                              const RCPtr<LNotification>& notification) {
    if (!notification) {
      return QZ_E_INVALIDARG;
    }
    Method method = nullptr;
    {
      Mutex::ScopedLock hold(mMutex);
      auto found = mMethods.find(Receivable{distributor.Get(), notification->GetID()});
      if (found != mMethods.end()) {
        method = found->second;
      }
    }
    return method ? (mOwner.*method)(distributor, notification) : QZ_OK;
  }

private:
  T& mOwner;
  Mutex mMutex;
  std::map<Receivable, Method> mMethods;
};

} // namespace QZ
