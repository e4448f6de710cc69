#pragma once
// QZ::LNotificationHandler<T>: routes the notifications a client T receives to member
// functions of T, by (distributor, notification id); each route carries a word of data
// given at registration. QZ::CAutoNotificationDisabler<T>: takes one route away for the
// lifetime of a scope, so that a change an object makes does not come back to it.
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
//   {
//     QZ::CAutoNotificationDisabler<LListBox> quiet(mHandler, scrollBar, u"NID_VALUE_CHANGE");
//     scrollBar->SetValue(0.5);        // the list box does not hear its own change
//   }                                  // the route is back
//
// The owner owns the handler; the handler refers to its owner without a reference.
// Handlers may be added on one thread while notifications are handled on another.

#include <cstdint>
#include <functional>
#include <map>
#include <string>
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

  T& GetOwner() const { return mOwner; }

  // Registers the owner at distributor for name with flags and routes that notification
  // from that distributor to method with data (replacing an earlier route): 0; QZ_E_INVALIDARG
  // for a null distributor or method; QZ_E_FAIL when the registration fails (name interns
  // to 0). The owner must be held by a smart pointer.
  QZResult AddHandler(Method method, uintptr_t data, const RCPtr<LNotificationDistributor>& distributor,
                      NotificationName name, uint32_t flags = 0) {
    static_assert(std::is_base_of_v<LNotificationClient, T>, "the owner registers as a notification client");
    if (!distributor || !method) {
      return QZ_E_INVALIDARG;
    }
    const NotificationID id = mOwner.RegisterNotification(distributor, name, flags);
    if (!id) {
      return QZ_E_FAIL;
    }
    Mutex::ScopedLock hold(mMutex);
    mRoutes[Receivable{distributor.Get(), id}] = Route{method, data};
    return QZ_OK;
  }
  // The same with data 0.
  QZResult AddHandler(Method method, const RCPtr<LNotificationDistributor>& distributor, NotificationName name,
                      uint32_t flags = 0) {
    return AddHandler(method, 0, distributor, name, flags);
  }

  // Takes the route of (distributor, name) out, handing its method and data over, and
  // unregisters the owner there: the unregistration's result (0); QZ_E_FAIL, outputs
  // untouched, when there is no such route.
  QZResult RemoveHandler(const RCPtr<LNotificationDistributor>& distributor, NotificationName name, Method& method,
                         uintptr_t& data) {
    const NotificationID id = GetNotificationID(name);
    {
      Mutex::ScopedLock hold(mMutex);
      auto found = mRoutes.find(Receivable{distributor.Get(), id});
      if (!distributor || !id || found == mRoutes.end()) {
        return QZ_E_FAIL;
      }
      method = found->second.method;
      data = found->second.data;
      mRoutes.erase(found);
    }
    return mOwner.UnregisterNotification(distributor.Get(), id);
  }

  // Takes the route of (distributor, name) out and leaves the owner's registration as it
  // is (the owner is unregistering itself): true when there was one.
  bool ForgetRoute(const LNotificationDistributor* distributor, NotificationName name) {
    const NotificationID id = GetNotificationID(name);
    Mutex::ScopedLock hold(mMutex);
    return id && mRoutes.erase(Receivable{distributor, id}) > 0;
  }

  // Whether (distributor, name) has a route.
  bool HasRoute(const LNotificationDistributor* distributor, NotificationName name) const {
    const NotificationID id = GetNotificationID(name);
    Mutex::ScopedLock hold(mMutex);
    return id && mRoutes.count(Receivable{distributor, id}) != 0;
  }

  // Routes name from any source (a distributor's delivery, or a notification handed
  // straight to the owner with no distributor, as a pop-up menu hands its commands) to
  // method, replacing an earlier such route. Registers the owner nowhere. 0; QZ_E_INVALIDARG
  // for a null method; QZ_E_FAIL for a name that interns to 0.
  QZResult AddAnySourceHandler(Method method, NotificationName name) {
    if (!method) {
      return QZ_E_INVALIDARG;
    }
    const NotificationID id = GetNotificationID(name);
    if (!id) {
      return QZ_E_FAIL;
    }
    Mutex::ScopedLock hold(mMutex);
    mRoutes[Receivable{nullptr, id}] = Route{method, 0};
    return QZ_OK;
  }
  // Takes the any-source route of name out: 0; QZ_E_FAIL when there is none.
  QZResult RemoveAnySourceHandler(NotificationName name) {
    const NotificationID id = GetNotificationID(name);
    Mutex::ScopedLock hold(mMutex);
    return id && mRoutes.erase(Receivable{nullptr, id}) > 0 ? QZ_OK : QZ_E_FAIL;
  }

  // Calls the method routed for (distributor, the notification's id), else the one routed
  // for the id from any source, and returns its result; 0 when none is; QZ_E_INVALIDARG for a
  // null notification. No lock is held during the call.
  QZResult HandleNotification(const RCPtr<LNotificationDistributor>& distributor,
                              const RCPtr<LNotification>& notification) {
    if (!notification) {
      return QZ_E_INVALIDARG;
    }
    Method method = nullptr;
    {
      Mutex::ScopedLock hold(mMutex);
      auto found = mRoutes.find(Receivable{distributor.Get(), notification->GetID()});
      if (found == mRoutes.end()) {
        found = mRoutes.find(Receivable{nullptr, notification->GetID()});
      }
      if (found != mRoutes.end()) {
        method = found->second.method;
      }
    }
    return method ? (mOwner.*method)(distributor, notification) : QZResult(QZ_OK);
  }

private:
  struct Route {
    Method method;
    uintptr_t data;
  };

  T& mOwner;
  mutable Mutex mMutex;
  std::map<Receivable, Route> mRoutes;
};

// Removes the route of (source, name) from a handler table for its lifetime and puts it
// back (with its method, data and registration flags) when it ends. Both steps throw
// QZ::Exception<FailedResultException> on failure: a route that is not there (Line 247),
// a registration that stays (Line 248), a route that cannot be put back (Line 253, from
// the destructor). Main thread.
template <class T>
class CAutoNotificationDisabler {
public:
  CAutoNotificationDisabler(const RCPtr<LNotificationHandler<T>>& table, const RCPtr<LNotificationDistributor>& source,
                            NotificationName name)
      : mTable(table), mSource(source), mId(GetNotificationID(name)) {
    if (mTable && mSource) {
      // Absent when the owner holds no registration there; the route is then missing too.
      mSource->GetClientFlags(&mTable->GetOwner(), mId, mFlags);
    }
    const QZResult removed = mTable ? mTable->RemoveHandler(mSource, mId, mMethod, mData) : QZResult(QZ_E_FAIL);
    CheckResult(removed, {Method("CAutoNotificationDisabler"), kSource, 247});
    uint32_t flags = 0;
    if (Succeeded(mSource->GetClientFlags(&mTable->GetOwner(), mId, flags))) {
      // Registered again by another route of the same owner: silence that one too.
      const QZResult unregistered = mTable->GetOwner().UnregisterNotification(mSource.Get(), mId);
      CheckResult(unregistered, {Method("CAutoNotificationDisabler"), kSource, 248});
      if (Succeeded(mSource->GetClientFlags(&mTable->GetOwner(), mId, flags))) {
        CheckResult(QZ_E_FAIL, {Method("CAutoNotificationDisabler"), kSource, 248});
      }
    }
  }
  CAutoNotificationDisabler(const CAutoNotificationDisabler&) = delete;
  CAutoNotificationDisabler& operator=(const CAutoNotificationDisabler&) = delete;

  ~CAutoNotificationDisabler() noexcept(false) {
    const QZResult added = mTable->AddHandler(mMethod, mData, mSource, mId, mFlags);
    CheckResult(added, {Method("~CAutoNotificationDisabler"), kSource, 253});
  }

private:
  static constexpr std::string_view kSource = R"(QZFramework\notification\NotificationHandler)";

  static std::string Method(const char* name) {
    return "QZ::CAutoNotificationDisabler<" + TypeName<T>() + ">::" + name;
  }

  RCPtr<LNotificationHandler<T>> mTable;
  RCPtr<LNotificationDistributor> mSource;
  NotificationID mId;
  typename LNotificationHandler<T>::Method mMethod = nullptr;
  uintptr_t mData = 0;
  uint32_t mFlags = 0;
};

} // namespace QZ
