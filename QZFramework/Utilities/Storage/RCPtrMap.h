#pragma once
// QZ::RCPtrMap<K,V,Bits>: shared value objects kept by the identity of shared key
// objects.
//
//   QZ::RCPtrMap<LFont, LFontFileInfo> fontFiles;
//   fontFiles.SetItem(font, fileInfo);                         // true: a new key
//   const QZ::RCPtr<LFontFileInfo>& file = fontFiles.Find(font);   // null when absent
//
// A key is the address of the key object (of its QZ::LRefCountedObject part) at full
// pointer width: two objects with equal contents are two keys. Each entry is a
// reference-counted pair (QZ::LPair) holding one reference on its key object and one on
// its value; the map holds the pair. A key object therefore lives as long as its entry,
// which goes only through Remove, RemoveAll or the map's end.
//
// Lookups never change the map; a missing key gives a static null smart pointer or
// false, nothing is thrown (out of memory throws bad_alloc). Not synchronised: its
// owner uses it from one thread at a time.

#include <cstdint>

#include "QZFramework/Utilities/Storage/HashedList.h"

namespace QZ {

template <class K, class V, uint32_t Bits = 8>
class RCPtrMap {
public:
  using Pair = LPair<ConstRCPtr<K>, RCPtr<V>, &PointeeToString<ConstRCPtr<K>>, LTaggableObject>;

  // The key of an object: its address; 0 for null.
  static uintptr_t KeyOf(const LRefCountedObject* object) { return reinterpret_cast<uintptr_t>(object); }

  uint32_t GetCount() const { return mPairs.GetCount(); }
  void RemoveAll() { mPairs.RemoveAll(); }

  // Stores value for the key object, in a new pair that takes a reference on each. A
  // pair already stored for that object is replaced and released: false; else true.
  bool SetItem(const ConstRCPtr<K>& key, const RCPtr<V>& value) {
    return mPairs.Insert(RCPtr<Pair>(new Pair(key, value)));
  }

  // The value stored for the key object, or a null smart pointer. The reference stays
  // valid while the entry is in the map.
  const RCPtr<V>& Find(const ConstRCPtr<K>& key) const {
    const RCPtr<Pair>& pair = FindPair(key);
    if (!pair) {
      static const RCPtr<V> none;
      return none;
    }
    return pair->second;
  }

  // The pair stored for the key object, or a null smart pointer.
  const RCPtr<Pair>& FindPair(const ConstRCPtr<LRefCountedObject>& key) const {
    static const RCPtr<Pair> none;
    const RCPtr<Pair>* found = mPairs.Find(KeyOf(key.Get()));
    return found ? *found : none;
  }

  // Removes and releases the pair of the key object; false when there is none.
  bool Remove(const ConstRCPtr<LRefCountedObject>& key) { return mPairs.Remove(KeyOf(key.Get())); }

private:
  static uintptr_t PairKey(const RCPtr<Pair>& pair) { return KeyOf(pair->first.Get()); }

  HashedList<RCPtr<Pair>, uintptr_t, &RCPtrMap::PairKey, Bits, &GetBits<Bits, 4, uintptr_t>> mPairs;
};

} // namespace QZ
