#pragma once
// QZ::ConstRCPtrArray<T,N,G>: a growable array of shared objects, handed out as const
// smart pointers.
//
//   QZ::ConstRCPtrArray<LLook> looks;
//   looks.AddItem(QZ::ConstRCPtr<LLook>(look));   // the slot takes its own reference
//   QZ::ConstRCPtr<LLook> out;
//   looks.RemoveItem(0, out);                     // out takes over the slot's reference
//
// Each slot is a bare T* that owns one reference; null is a valid item. A smart pointer
// is exactly that pointer, so item references and GetData() point straight into the
// storage and reads cost no reference traffic. Storing an object marked unshareable
// stores a private copy of it (the smart pointers' Share rule). One object in two slots
// holds two references.
//
// N and G are in items: the storage grows in steps of N slots and keeps up to G spare
// slots before a smaller count reallocates it; with (1, 0) it always equals the count.
// The slots live in a QZ::BufferT member rather than a buffer base: the buffer's
// GetData and the array's cannot share one name.
//
// Failures: RemoveItem with an index at or past the count throws Out of Range and
// changes nothing, out included. Every other index error returns QZ_E_INVALIDARG and changes
// nothing (InsertAt and InsertItems past the count, RemoveItems running past the end,
// Swap); GetAt past the count gives a null item that belongs to no array. RemoveLast on
// an empty array returns QZ_E_FAIL with out null. Out of memory throws bad_alloc.
//
// Removed items are released in index order once the array is consistent again, so an
// item's destructor may use the array. Not synchronised: callers serialise access; only
// the items' counts are atomic, so items may be shared with other threads.

#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "QZFramework/ObjectBase/RCPtr.h"
#include "QZFramework/ObjectBase/TypeName.h"
#include "QZFramework/Utilities/Storage/Buffer.h"
#include "QZFramework/Utilities/Storage/IArray.h"

namespace QZ {

namespace Detail {

// "QZ::RCPtrArray<class QZ::LLook,1,0>::RemoveItem": the instantiation as failure texts
// spell it.
template <class T, uint32_t N, uint32_t G>
std::string PointerArrayMethod(std::string_view templateName, std::string_view method) {
  // Appended piece by piece: g++ 12 at -O3 warns falsely (-Wrestrict) on "<" + string.
  std::string name(templateName);
  name += '<';
  name += TypeName<T>();
  name += ',';
  name += std::to_string(N);
  name += ',';
  name += std::to_string(G);
  name += ">::";
  name += method;
  return name;
}

} // namespace Detail

template <class T, uint32_t N = 1, uint32_t G = 0>
class ConstRCPtrArray : public IArray<ConstRCPtr<T>> {
  static_assert(N > 0, "storage grows by at least one slot");
  static_assert(sizeof(ConstRCPtr<T>) == sizeof(T*) && sizeof(RCPtr<T>) == sizeof(T*) &&
                    std::is_standard_layout_v<RCPtr<T>>,
                "a smart pointer is exactly its raw pointer");

public:
  using Item = ConstRCPtr<T>;
  static constexpr uint32_t kSlotBytes = sizeof(T*);
  static constexpr uint32_t kMaxCount = UINT32_MAX / kSlotBytes;

  ConstRCPtrArray() = default;
  // count null items, with storage for reserve items when that is more.
  explicit ConstRCPtrArray(uint32_t count, uint32_t reserve = 0) : mSlots(BytesFor(count), BytesFor(reserve), true) {}
  ConstRCPtrArray(const ConstRCPtrArray&) = delete;
  ConstRCPtrArray& operator=(const ConstRCPtrArray&) = delete;
  // Releases every item, first to last.
  virtual ~ConstRCPtrArray() {
    for (uint32_t i = 0; i < GetCount(); ++i) {
      Item released;
      released.Swap(ItemsAs<Item>()[i]);
    }
  }

  uint32_t GetCount() const override { return mSlots.GetSize() / kSlotBytes; }
  uint32_t GetMaxCount() const override { return kMaxCount; }

  using IArray<Item>::GetData;
  // Null while nothing is allocated.
  Item* GetData() override { return ItemsAs<Item>(); }

  // The item at index; past the count a null item of the calling thread that belongs to
  // no array (an object written to it stays referenced until that thread next reads past
  // the end of an array of this type).
  Item& GetAt(uint32_t index) override { return ItemAt<Item>(index); }
  const Item& GetAt(uint32_t index) const override { return const_cast<ConstRCPtrArray*>(this)->ItemAt<Item>(index); }

  // Exchanges two items without reference traffic; 0, or QZ_E_INVALIDARG (nothing changed)
  // unless both indexes are below the count.
  QZResult Swap(uint32_t first, uint32_t second) override {
    const uint32_t count = GetCount();
    if (first >= count || second >= count) {
      return QZ_E_INVALIDARG;
    }
    std::swap(Slots()[first], Slots()[second]);
    return QZ_OK;
  }

  // Stores item (its private copy when unshareable) before index; returns index, or
  // QZ_E_INVALIDARG for an index past the count with no reference taken. item may be one of
  // this array's items.
  QZResult InsertAt(uint32_t index, const Item& item) override { return InsertShared(index, item); }

  // Hands the item's reference to out (whose old object is released) and closes the
  // gap; returns the new count. Throws Out of Range for an index at or past the count.
  QZResult RemoveItem(uint32_t index, Item& out) override {
    if (index >= GetCount()) {
      Throw<std::out_of_range>({Detail::PointerArrayMethod<T, N, G>("QZ::ConstRCPtrArray", "RemoveItem"),
                                R"(qzframework\utilities\Storage/ConstRCPtrArray)", 217});
    }
    return TakeItem(index, out);
  }

  // RemoveItem of the last item; QZ_E_FAIL with out null when the array is empty.
  QZResult RemoveLast(Item& out) override { return TakeLast(out); }

  // Null items are added at the end, or the items from count on are released in index
  // order. Returns the count reached: count, or the old count when count exceeds
  // GetMaxCount().
  uint32_t SetCount(uint32_t count) override {
    const uint32_t old = GetCount();
    if (count < old) {
      RemoveItems(count, old - count); // a range inside the array
    } else if (count > old) {
      InsertItems(old, count - old); // past the maximum it changes nothing: the count below tells
    }
    return GetCount();
  }

  // Opens count null items before index; the new count, or QZ_E_INVALIDARG (nothing changed)
  // for an index past the count or a count past GetMaxCount(). count 0 returns the count
  // whatever the index.
  QZResult InsertItems(uint32_t index, uint32_t count) override {
    const uint32_t old = GetCount();
    if (count == 0) {
      return int32_t(old);
    }
    if (index > old || uint64_t(old) + count > kMaxCount) {
      return QZ_E_INVALIDARG;
    }
    mSlots.SetSize((old + count) * kSlotBytes);
    T** slots = Slots();
    MoveSlots(slots + index + count, slots + index, old - index);
    ClearSlots(slots + index, count);
    return int32_t(old + count);
  }

  // Takes count items out from index on, closes the gap, then releases them in index
  // order; the new count, or QZ_E_INVALIDARG (nothing removed) when the range runs past the
  // end. count 0 returns the count whatever the index.
  QZResult RemoveItems(uint32_t index, uint32_t count) override {
    const uint32_t old = GetCount();
    if (count == 0) {
      return int32_t(old);
    }
    if (uint64_t(index) + count > old) {
      return QZ_E_INVALIDARG;
    }
    if (count == 1) {
      Item taken;
      return TakeItem(index, taken);
    }
    std::vector<Item> taken(count);
    for (uint32_t i = 0; i < count; ++i) {
      taken[i].Swap(ItemsAs<Item>()[index + i]);
    }
    CloseGap(index, count);
    for (Item& item : taken) {
      item = nullptr;
    }
    return int32_t(GetCount());
  }

protected:
  // The slots seen as items of either view: both smart pointers are the raw pointer.
  template <class Pointer>
  Pointer* ItemsAs() {
    return reinterpret_cast<Pointer*>(Slots());
  }

  template <class Pointer>
  Pointer& ItemAt(uint32_t index) {
    if (index < GetCount()) {
      return ItemsAs<Pointer>()[index];
    }
    static thread_local Pointer outside;
    outside = nullptr;
    return outside;
  }

  template <class Pointer>
  QZResult InsertShared(uint32_t index, const Pointer& item) {
    Pointer taken(item);
    const QZResult result = InsertItems(index, 1);
    if (Failed(result)) {
      return result;
    }
    taken.Swap(ItemsAs<Pointer>()[index]);
    return int32_t(index);
  }

  // The index must be below the count.
  template <class Pointer>
  QZResult TakeItem(uint32_t index, Pointer& out) {
    Pointer taken;
    taken.Swap(ItemsAs<Pointer>()[index]);
    CloseGap(index, 1);
    out = std::move(taken);
    return int32_t(GetCount());
  }

  template <class Pointer>
  QZResult TakeLast(Pointer& out) {
    const uint32_t count = GetCount();
    if (count == 0) {
      out = nullptr;
      return QZ_E_FAIL;
    }
    return TakeItem(count - 1, out);
  }

private:
  using SlotBuffer = BufferT<N * kSlotBytes, G * kSlotBytes, 8, T**, &GetSystemAllocator>;

  static uint32_t BytesFor(uint32_t items) {
    if (items > kMaxCount) {
      ThrowBadAlloc();
    }
    return items * kSlotBytes;
  }

  T** Slots() { return mSlots.GetTypedData(); }

  static void MoveSlots(T** to, T** from, uint32_t count) {
    if (count != 0) {
      std::memmove(to, from, size_t(count) * kSlotBytes);
    }
  }
  static void ClearSlots(T** from, uint32_t count) {
    if (count != 0) {
      std::memset(from, 0, size_t(count) * kSlotBytes);
    }
  }

  // Moves the slots behind the emptied range down and drops the now-null tail.
  void CloseGap(uint32_t index, uint32_t count) {
    const uint32_t old = GetCount();
    T** slots = Slots();
    MoveSlots(slots + index, slots + index + count, old - index - count);
    ClearSlots(slots + old - count, count);
    mSlots.SetSize((old - count) * kSlotBytes);
  }

  SlotBuffer mSlots;
};

} // namespace QZ
