#pragma once
// QZ::LNotificationDistributor: an object others listen to. It keeps, per notification
// id, a pool of the clients registered for it and delivers a notification to them
// synchronously, newest registration first.
//
//   QZ::RCPtr<QZ::LNotificationDistributor> button(...);
//   listener->RegisterNotification(button, u"NID_LEFT_CLICK");
//   button->SendNotification(QZ::LNotification::Create(u"NID_LEFT_CLICK"));   // result 0
//   button->SendNotification(QZ::LNotification::Create(u"NID_MOUSE_UP"));     // 1: nobody listens
//
// Delivery runs on the sending thread without the distributor's lock, so receivers may
// register, unregister and send in turn. A send calls the clients registered when it
// starts (a snapshot of the pool, taken under a short lock), less those unregistered
// before their turn: a receiver that unregisters itself or any other client during
// delivery makes the walk skip nobody and visit nobody twice; clients registered during
// a walk are not visited by it. Nested and concurrent walks of one pool each keep their
// own position. An unregistration on a thread that is not itself delivering returns only
// once no other thread is still calling that registration (NotificationDelivery.h), so
// nothing is called after its unregistration has returned there.
//
// Cost of a send: one look-up of the pool without a lock, one short lock for the
// snapshot, and per client one published position and one virtual call; the snapshot
// keeps the clients alive, so no reference is taken per client.
//
// Reference accounting: each registration holds one reference on the distributor, and
// a distributor with registrations is also held by a process-wide list; both are
// counted as internal. A distributor therefore lives while clients are registered at it,
// even when its owner has let it go, until the registrations are removed. Classes that
// must break this (centres, controls) run ReleaseDistributorReferences from their
// ReleaseInternalReferences (see LRefCountedObject for the order).
//
// Results: 0 success, 1 nothing to do, QZ_E_INVALIDARG for null arguments, QZ_E_FAIL where
// stated; nothing throws. Any thread may call any member. Lock order: a client's lock or
// the queue lock, then the distributor's, then a pool's, then the pool's snapshot lock;
// none is held while a receiver runs or while an unregistration waits.

#include <atomic>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "QZFramework/Notification/NotificationClient.h"
#include "QZFramework/Notification/ShortLock.h"
#include "QZFramework/Utilities/Storage/RCPtrArray.h"

namespace QZ {

class LNotificationDistributor : public virtual LRefCountedObject {
public:
  // One client's registration in a pool.
  class LNotificationRegisteredClientInfo : public LRefCountedObject {
  public:
    LNotificationRegisteredClientInfo(RCPtr<LNotificationClient> registered, uint32_t registeredFlags)
        : client(std::move(registered)), flags(registeredFlags) {}

    // Never changes: a delivery may call it through a borrowed reference to the entry.
    const RCPtr<LNotificationClient> client;
    // For a latest-only entry, the newest posted notification not yet delivered. Under
    // the pool's lock.
    RCPtr<LNotification> latest;
    // Written under the pool's lock, read by deliveries without it.
    std::atomic<uint32_t> flags;
    // Set, under the pool's lock, when the entry leaves its pool; walks that still hold
    // it skip it from then on.
    std::atomic<bool> removed{false};
  };

  // The clients registered for one id at one distributor, in order of registration.
  class LNotificationClientPool : public LRefCountedObject {
  public:
    explicit LNotificationClientPool(NotificationID id);
    ~LNotificationClientPool() override;

    NotificationID GetID() const { return mId; }
    // The OR of the flags of every entry added so far (removals do not lower it).
    uint32_t GetFlags() const { return mFlags.load(std::memory_order_acquire); }
    uint32_t GetEntryCount() const { return mEntryCount.load(std::memory_order_acquire); }

    // Appends an entry for client, or gives its entry the new flags; 0, or QZ_E_INVALIDARG
    // for a null client.
    QZResult AddClient(const RCPtr<LNotificationClient>& client, uint32_t flags);
    // Takes the client's entry out into removed (to be released by the caller, outside
    // any lock) and marks it removed, so that walks holding it skip it; 0, or 1 when the
    // client has no entry.
    QZResult RemoveClient(const LNotificationClient* client, RCPtr<LNotificationRegisteredClientInfo>& removed);
    bool HasClient(const LNotificationClient* client) const;
    // 0 with the entry's flags, or QZ_E_FAIL when the client has no entry.
    QZResult GetClientFlags(const LNotificationClient* client, uint32_t& flags) const;
    // The registered clients, last entry first.
    std::vector<RCPtr<LNotificationClient>> GetClients() const;

    // Delivers notification to every entry, last to first: an ordinary entry always, a
    // latest-only entry only when notification is the one recorded as its latest (the
    // record is cleared). 1 when the pool has no entries, else 0.
    QZResult NotifyClients(const RCPtr<LNotificationDistributor>& distributor,
                           const RCPtr<LNotification>& notification);
    // As above, skipping the entries whose client accepts refuses (asked on this thread
    // just before the entry's turn, while an unregistration of it waits).
    QZResult NotifyClients(const RCPtr<LNotificationDistributor>& distributor, const RCPtr<LNotification>& notification,
                           const std::function<bool(const LNotificationClient&)>& accepts);
    // Delivers to the one entry at index under the same rules, for callers that walk the
    // entries themselves (from GetEntryCount() - 1 down, each time to the result - 1).
    // Returns the entry count when index is not below it, otherwise the index the entry
    // is at after the delivery (lower when entries before it were removed meanwhile).
    int32_t NotifyClient(const RCPtr<LNotificationDistributor>& distributor, int32_t index,
                         const RCPtr<LNotification>& notification);
    // Records notification as the latest of every latest-only entry, last to first.
    void RecordLatest(const RCPtr<LNotification>& notification);

  private:
    class Walk;
    class Snapshot;

    // The entries as they are now, made when first asked for after a change.
    RCPtr<Snapshot> TakeSnapshot();
    // Delivers notification to entry unless it is latest-only and not waiting for this
    // notification. The caller holds the entry and has published it in its frame.
    void Deliver(LNotificationRegisteredClientInfo& entry, const RCPtr<LNotificationDistributor>& distributor,
                 const RCPtr<LNotification>& notification);
    // Delivers to the entry at walk's position; false when there is none.
    bool DeliverAt(Walk& walk, const RCPtr<LNotificationDistributor>& distributor,
                   const RCPtr<LNotification>& notification);
    int32_t FindEntry(const LNotificationClient* client) const;

    const NotificationID mId;
    // Read without the lock to skip pools without latest-only entries; written under it.
    std::atomic<uint32_t> mFlags{0};
    RCPtrArray<LNotificationRegisteredClientInfo> mEntries;
    mutable Mutex mMutex;
    // Read without the lock to skip empty pools; written under it.
    std::atomic<uint32_t> mEntryCount{0};
    // The entries for the next walk; null after a change until a walk asks. Under the
    // snapshot lock, and replaced only under the pool's lock as well (the snapshot lock
    // is taken last and held for a pointer copy).
    RCPtr<Snapshot> mSnapshot;
    mutable Detail::ShortLock mSnapshotLock;
    // The position of each NotifyClient in progress, lowered when an entry before it goes.
    std::vector<int32_t*> mWalks;
  };

  LNotificationDistributor();
  ~LNotificationDistributor() override;

  // Registers client for name (flags as in LNotificationClient). 0 for a new
  // registration; 1 when the client was registered for the id already (its flags are
  // replaced) or name interns to 0; QZ_E_INVALIDARG for a null client. Called by
  // LNotificationClient::RegisterNotification, which keeps the client's books.
  QZResult AddClient(const RCPtr<LNotificationClient>& client, NotificationName name, uint32_t flags);
  // Removes client's registration for name: 0, 1 when there was none, QZ_E_INVALIDARG for a
  // null client or name. Called by LNotificationClient::UnregisterNotification. The
  // distributor may be destroyed by it when that was its last registration. Waits as
  // LNotificationClient::UnregisterNotification says.
  QZResult RemoveClient(LNotificationClient* client, NotificationName name);
  // Removes every registration of client here; returns how many (QZ_E_INVALIDARG for null).
  int32_t RemoveClientAll(LNotificationClient* client);
  bool HasClient(const LNotificationClient* client) const;
  // The pool of id, or null when no client ever registered for it here.
  RCPtr<LNotificationClientPool> FindClientPool(NotificationID id) const;
  // Records notification as the latest of the latest-only clients of its id (used by
  // posting, see LNotificationQueue).
  void RecordLatest(const RCPtr<LNotification>& notification) const;
  // 0 with the client's flags for name; QZ_E_FAIL when name interns to 0, the id has no
  // pool or the client is not registered for it.
  QZResult GetClientFlags(const LNotificationClient* client, NotificationName name, uint32_t& flags) const;
  // The number of registrations held here.
  uint32_t GetRegistrationCount() const;

  // Delivers notification to the clients of its id now, on this thread: 0; 1 when no
  // client is registered for it; QZ_E_INVALIDARG for null. The distributor must be held by
  // a smart pointer: the delivery keeps it alive while receivers drop references.
  [[nodiscard]] QZResult SendNotification(const RCPtr<LNotification>& notification);
  // Has every registered client unregister itself, pools last to first, entries last to
  // first; 0. Used when a distributor is disposed.
  QZResult UnregisterAllClients();

protected:
  // This base's release step: every client registered here unregisters.
  void ReleaseDistributorReferences() { UnregisterAllClients(); }

private:
  friend class LNotificationQueue;
  class PoolIndex;

  // SendNotification through self, a reference the caller holds on this distributor
  // (a queue's drain holds one throughout).
  QZResult Deliver(const RCPtr<LNotificationDistributor>& self, const RCPtr<LNotification>& notification);

  // The pool of id without a reference of its own (pools live as long as their
  // distributor), or null. Any thread, without the lock.
  LNotificationClientPool* FindClientPoolEntry(NotificationID id) const;

  mutable Mutex mMutex;
  RCPtrArray<LNotificationClientPool> mPools;
  uint32_t mRegistrationCount = 0;
  // The pools again, for look-ups without the lock: appended under the lock, never
  // removed, published with release.
  std::atomic<PoolIndex*> mPoolIndex;
};

} // namespace QZ
