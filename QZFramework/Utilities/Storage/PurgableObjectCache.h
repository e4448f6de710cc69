#pragma once
// QZ::PurgableObjectCache<Obj,Desc,K,GetKey,Bits,GetBits>: a fixed number of costly
// objects kept by key, reusing the least recently used entry when all are taken.
//
//   QZ::PurgableObjectCache<LGraphicsPath, QZ::PolylineT<float>, int, &PolylineHandle, 8,
//                           &QZ::GetBits<8, 4, int>> paths(256);
//   QZ::RCPtr<LGraphicsPath>& path = paths.AcquireFor(polyline);
//   if (!path) { path = BuildPath(polyline); }   // a miss: the caller builds and stores it
//   Draw(path);
//
// The cache only decides which entry an object lives in. Every Acquire is one use: it
// stamps the entry with the use clock and counts the use. A new key takes the next
// untaken entry; when all are taken, the first free entry (no object) in array order,
// else the one unused longest (ties: fewer uses, then the lower index), whose object is
// released. The reset flag drops the object of a present key so the caller builds it
// anew. Purge drops the objects left unused since before the previous Purge; when to
// purge is the owner's choice (a renderer purges on a timer).
//
// GetKey gives the key of a description (Desc -> K); Bits and GetBits pick the index's
// bucket as in QZ::HashedList. Nothing is thrown (out of memory throws bad_alloc). Not
// synchronised: the owner uses it from one thread.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>

#include "QZFramework/ObjectBase/RCPtr.h"
#include "QZFramework/Utilities/Storage/HashedList.h"

namespace QZ {

template <class Obj, class K>
struct PurgableCacheEntry {
  K key{};
  // The cached object; the entry holds one reference. Null: the entry is free.
  RCPtr<Obj> object;
  // The use clock at the entry's last use.
  uint32_t lastUse = 0;
  // Uses since the entry was last reset, stopping at 0xFFFFFFFF.
  uint32_t useCount = 0;

  bool IsFree() const { return object.IsNull(); }
  void Reset() {
    object = nullptr;
    lastUse = 0;
    useCount = 0;
  }
};

template <class Obj, class K>
const K& GetEntryID(PurgableCacheEntry<Obj, K>* const& entry) {
  return entry->key;
}

template <class Obj, class Desc, class K, auto GetKey, uint32_t Bits, auto GetBits>
class PurgableObjectCache {
public:
  using Entry = PurgableCacheEntry<Obj, K>;

  // capacity entries, none taken (a capacity of 0 is taken as 1: every Acquire yields
  // an entry).
  explicit PurgableObjectCache(uint32_t capacity)
      : mCapacity(std::max(capacity, 1u)), mEntries(std::make_unique<Entry[]>(mCapacity)) {}
  PurgableObjectCache(const PurgableObjectCache&) = delete;
  PurgableObjectCache& operator=(const PurgableObjectCache&) = delete;
  // Releases every cached object.
  virtual ~PurgableObjectCache() = default;

  // The object slot of key's entry, null when the caller has to build the object. The
  // reference stays valid for the cache's life; the next Acquire may give the entry to
  // another key.
  RCPtr<Obj>& Acquire(const K& key, bool reset = false) {
    Entry* entry = nullptr;
    if (Entry* const* found = mIndex.Find(key)) {
      entry = *found;
      if (reset) {
        entry->Reset();
      }
    } else if (mIndex.GetCount() < mCapacity) {
      entry = &mEntries[mIndex.GetCount()];
      Take(*entry, key);
    } else {
      entry = &mEntries[Victim()];
      mIndex.Remove(entry->key);
      Take(*entry, key);
    }
    if (entry->useCount != UINT32_MAX) {
      ++entry->useCount;
    }
    entry->lastUse = ++mClock;
    return entry->object;
  }

  // Acquire(the key of description).
  RCPtr<Obj>& AcquireFor(const Desc& description, bool reset = false) {
    return Acquire(std::invoke(GetKey, description), reset);
  }

  // Releases the object of every entry last used before the mark, the use clock at the
  // previous Purge (compared across the clock's wrap); such an entry keeps its key and
  // becomes free, the first to be reused. The owner decides when to purge.
  void Purge() {
    for (uint32_t i = 0; i < mIndex.GetCount(); ++i) {
      Entry& entry = mEntries[i];
      if (int32_t(entry.lastUse - mPurgeMark) < 0) {
        entry.Reset();
      }
    }
    mPurgeMark = mClock;
  }

  // Calls visit(object) for each cached object.
  template <class Visit>
  void ForEachObject(Visit visit) const {
    for (uint32_t i = 0; i < mIndex.GetCount(); ++i) {
      if (!mEntries[i].IsFree()) {
        visit(*mEntries[i].object);
      }
    }
  }

  uint32_t GetCapacity() const { return mCapacity; }
  // The entries taken by a key so far.
  uint32_t GetCount() const { return mIndex.GetCount(); }

private:
  void Take(Entry& entry, const K& key) {
    entry.Reset();
    entry.key = key;
    mIndex.Insert(&entry);
  }

  // The first free entry, else the one unused longest.
  uint32_t Victim() const {
    uint32_t victim = 0;
    for (uint32_t i = 0; i < mCapacity; ++i) {
      const Entry& entry = mEntries[i];
      if (entry.IsFree()) {
        return i;
      }
      const Entry& best = mEntries[victim];
      const uint32_t age = mClock - entry.lastUse;
      const uint32_t bestAge = mClock - best.lastUse;
      if (age > bestAge || (age == bestAge && entry.useCount < best.useCount)) {
        victim = i;
      }
    }
    return victim;
  }

  uint32_t mCapacity;
  uint32_t mClock = 0;
  uint32_t mPurgeMark = 0;
  std::unique_ptr<Entry[]> mEntries;
  HashedList<Entry*, K, &GetEntryID<Obj, K>, Bits, GetBits> mIndex;
};

} // namespace QZ
