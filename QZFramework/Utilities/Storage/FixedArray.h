#pragma once
// QZ::SimpleFixedArray<T,N>: at most N plain values stored inside the object; no heap.
//
//   QZ::SimpleFixedArray<signed char, 8> message(6);   // six bytes, filled through GetData
//   message.GetData()[0] = signed char(0xF0);
//
// Growing (SetCount, InsertItems) does not clear: new places keep the bytes they held,
// which start as zero. Indexed access is not checked; RemoveItem refuses an index at or
// past the count. Nothing that does not fit is taken: InsertItems answers QZ_E_INVALIDARG
// and Append QZ_E_FAIL, the array unchanged. Not synchronised.

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "QZFramework/Utilities/Storage/IArray.h"

namespace QZ {

template <class T, uint32_t N>
class SimpleFixedArray final : public IArray<T> {
  static_assert(std::is_trivially_copyable_v<T>, "items are moved as bytes");
  static_assert(N > 0 && N <= 0x7FFFFFFF, "room for at least one item");

public:
  // count items (at most N), zero until written.
  explicit SimpleFixedArray(uint32_t count = 0) : mCount(std::min(count, N)) {}

  uint32_t GetCount() const override { return mCount; }
  uint32_t GetMaxCount() const override { return N; }

  // Sets the count to min(count, N) and returns it.
  uint32_t SetCount(uint32_t count) override {
    mCount = std::min(count, N);
    return mCount;
  }

  // Opens count places at index, keeping their previous bytes; the new count, or
  // QZ_E_INVALIDARG for an index past the count or more than fits. count 0 changes nothing.
  QZResult InsertItems(uint32_t index, uint32_t count) override {
    const uint32_t old = mCount;
    if (count == 0) {
      return int32_t(old);
    }
    if (index > old || uint64_t(old) + count > N) {
      return QZ_E_INVALIDARG;
    }
    SetCount(old + count);
    if (index != old) {
      std::memmove(mItems + index + count, mItems + index, (old - index) * sizeof(T));
    }
    return int32_t(mCount);
  }

  // The new count, or QZ_E_INVALIDARG (nothing removed) when the range runs past the end.
  QZResult RemoveItems(uint32_t index, uint32_t count) override {
    const uint32_t old = mCount;
    if (count == 0) {
      return int32_t(old);
    }
    if (uint64_t(index) + count > old) {
      return QZ_E_INVALIDARG;
    }
    std::memmove(mItems + index, mItems + index + count, (old - index - count) * sizeof(T));
    return int32_t(SetCount(old - count));
  }

  // As RemoveItems(index, 1), handing the item to removed; QZ_E_INVALIDARG with removed
  // untouched for an index at or past the count.
  QZResult RemoveItem(uint32_t index, T& removed) override {
    if (index >= mCount) {
      return QZ_E_INVALIDARG;
    }
    removed = mItems[index];
    return RemoveItems(index, 1);
  }

  using IArray<T>::GetData;
  // The inline storage, also while the array is empty.
  T* GetData() override { return mItems; }

private:
  uint32_t mCount;
  T mItems[N]{};
};

} // namespace QZ
