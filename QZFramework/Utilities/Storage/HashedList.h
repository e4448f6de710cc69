#pragma once
// QZ::HashedList<T,K,GetKey,Bits,GetBits>: items kept by key in a fixed table of
// 2^Bits buckets, each a short list searched from its newest entry.
//
//   using Glyphs = QZ::HashedList<SCachedGlyph, long, &SCachedGlyph::GetUniqueID, 8,
//                                 &QZ::GetBits<8, 0, long>>;
//   Glyphs glyphs;
//   glyphs.Insert(glyph);                      // true: added under glyph's key
//   SCachedGlyph* found = glyphs.Find(65);     // null when absent
//
// GetKey gives an item's key (a function of const T&, or a member of T, giving K);
// GetBits gives a key's bucket. Keys compare
// with K's ==, and a key occurs at most once. Items are copied into reference-counted
// pairs (QZ::LPair) that their bucket's RCPtrArray holds; an item's address stays valid
// until its entry is removed or replaced, or the list is destroyed. The table never
// grows or rehashes.
//
// Nothing is thrown by the list itself (out of memory throws bad_alloc). Not
// synchronised: its owner uses it from one thread at a time.

#include <array>
#include <concepts>
#include <cstdint>
#include <functional>
#include <type_traits>

#include "QZFramework/ObjectBase/TypeName.h"
#include "QZFramework/Utilities/Storage/RCPtrArray.h"
#include "QZFramework/Utilities/Storage/SharedPair.h"

namespace QZ {

// Bucket of an integer key: Bits bits from bit Shift upward, (key >> Shift) & (2^Bits - 1).
template <uint32_t Bits, uint32_t Shift, class K>
uint32_t GetBits(const K& key) {
  static_assert(std::is_integral_v<K> && Bits < 32 && Shift < sizeof(K) * 8, "bits of an integer key");
  using Unsigned = std::make_unsigned_t<K>;
  return uint32_t((Unsigned(key) >> Shift) & ((Unsigned(1) << Bits) - 1));
}

// The text of a hashed list's entry: the name of its key type ("int", "long").
template <class K>
WString KeyTypeToString(const K&) {
  return WString(TypeName<K>().c_str());
}

template <class T, class K>
class IHashedList {
public:
  virtual ~IHashedList() = default;
  virtual uint32_t GetCount() const = 0;
  // Releases every entry.
  virtual void RemoveAll() = 0;
  // Adds item under its key: true. When the key is present its item is replaced
  // (the old one released) and the count stays: false.
  virtual bool Insert(const T& item) = 0;
  // The stored item of key, or defaultItem.
  virtual T* Find(const K& key, T* defaultItem = nullptr) = 0;
  // Removes and releases the entry of key; false when there is none.
  virtual bool Remove(const K& key) = 0;
};

template <class T, class K, auto GetKey, uint32_t Bits, auto GetBits>
requires std::convertible_to<std::invoke_result_t<decltype(GetKey), const T&>, K> &&
    std::convertible_to<std::invoke_result_t<decltype(GetBits), const K&>, uint32_t>
class HashedList : public IHashedList<T, K> {
  static_assert(Bits > 0 && Bits <= 16, "a table of 2 to 65536 buckets");

public:
  using Entry = LPair<K, T, &KeyTypeToString<K>, LTaggableObject>;
  static constexpr uint32_t kBucketCount = 1u << Bits;

  HashedList() = default;
  HashedList(const HashedList&) = delete;
  HashedList& operator=(const HashedList&) = delete;

  uint32_t GetCount() const override { return mCount; }

  void RemoveAll() override {
    for (Bucket& bucket : mBuckets) {
      mCount -= bucket.GetCount();
      bucket.SetCount(0);
    }
  }

  bool Insert(const T& item) override {
    const K key = std::invoke(GetKey, item);
    Bucket& bucket = BucketOf(key);
    const int32_t at = IndexIn(bucket, key);
    if (at >= 0) {
      bucket.GetAt(uint32_t(at))->second = item;
      return false;
    }
    bucket.AddItem(RCPtr<Entry>(new Entry(key, item)));
    ++mCount;
    return true;
  }

  T* Find(const K& key, T* defaultItem = nullptr) override {
    Bucket& bucket = BucketOf(key);
    const int32_t at = IndexIn(bucket, key);
    return at >= 0 ? &bucket.GetAt(uint32_t(at))->second : defaultItem;
  }
  const T* Find(const K& key, const T* defaultItem = nullptr) const {
    return const_cast<HashedList*>(this)->Find(key, const_cast<T*>(defaultItem));
  }

  bool Remove(const K& key) override {
    Bucket& bucket = BucketOf(key);
    const int32_t at = IndexIn(bucket, key);
    if (at < 0) {
      return false;
    }
    --mCount;
    bucket.RemoveItems(uint32_t(at), 1);
    return true;
  }

private:
  using Bucket = RCPtrArray<Entry, 1, 0>;

  // Masked again, so a key function that gives more bits cannot leave the table.
  Bucket& BucketOf(const K& key) { return mBuckets[uint32_t(std::invoke(GetBits, key)) & (kBucketCount - 1)]; }

  // The entry of key, searching from the newest; -1 when there is none.
  static int32_t IndexIn(Bucket& bucket, const K& key) {
    for (uint32_t i = bucket.GetCount(); i-- > 0;) {
      if (bucket.GetData()[i]->first == key) {
        return int32_t(i);
      }
    }
    return -1;
  }

  uint32_t mCount = 0;
  std::array<Bucket, kBucketCount> mBuckets;
};

} // namespace QZ
