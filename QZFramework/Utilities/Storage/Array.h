#pragma once
// QZ::Array<T>: the framework's general growable list of values, kept in a vector.
//
//   QZ::Array<QZ::Variant> values;
//   values.AddItem(QZ::Variant(3));   // returns the new item's index, 0
//   values.GetAt(1);                  // throws std::out_of_range
//
// Items are stored by value and contiguously: a position is an item's address and
// GetData() is null while the array is empty. Indexed access is checked. Everything
// not defined here is the default of QZ::IArray. Not synchronised.

#include <stdexcept>
#include <type_traits>
#include <vector>

#include "QZFramework/Utilities/Storage/IArray.h"

namespace QZ {

template <class T>
class Array : public IArray<T> {
  static_assert(!std::is_same_v<T, bool>, "items must be contiguous: use an ArrayBuffer of bool");

public:
  Array() = default;
  Array(const Array&) = default;
  Array(Array&&) noexcept = default;
  Array& operator=(const Array&) = default;
  Array& operator=(Array&&) noexcept = default;
  virtual ~Array() = default;

  uint32_t GetCount() const override { return uint32_t(mItems.size()); }

  // Throws std::out_of_range("invalid vector<T> subscript") for an index not below the count.
  T& GetAt(uint32_t index) override {
    CheckIndex(index);
    return mItems[index];
  }
  const T& GetAt(uint32_t index) const override {
    CheckIndex(index);
    return mItems[index];
  }

  // Inserts a copy of item before index; returns index, or QZ_E_INVALIDARG (nothing
  // changed) for an index past the count. item may be one of this array's items.
  QZResult InsertAt(uint32_t index, const T& item) override {
    if (index > GetCount() || GetCount() >= this->GetMaxCount()) {
      return QZ_E_INVALIDARG;
    }
    mItems.insert(mItems.begin() + index, item);
    return int32_t(index);
  }

  // New items are T's default; returns the count reached (count).
  uint32_t SetCount(uint32_t count) override {
    mItems.resize(count);
    return GetCount();
  }

  // Inserts count default items at index; the new count, or QZ_E_INVALIDARG (nothing changed)
  // for an index past the count or a count that would pass GetMaxCount().
  QZResult InsertItems(uint32_t index, uint32_t count) override {
    if (index > GetCount() || uint64_t(GetCount()) + count > this->GetMaxCount()) {
      return QZ_E_INVALIDARG;
    }
    mItems.insert(mItems.begin() + index, count, T());
    return int32_t(GetCount());
  }

  // Erases count items from index on; the new count, or QZ_E_INVALIDARG (nothing removed)
  // when index is not below the count or the range runs past the end.
  QZResult RemoveItems(uint32_t index, uint32_t count) override {
    if (index >= GetCount() || uint64_t(index) + count > GetCount()) {
      return QZ_E_INVALIDARG;
    }
    mItems.erase(mItems.begin() + index, mItems.begin() + index + count);
    return int32_t(GetCount());
  }

  using IArray<T>::GetData;
  T* GetData() override { return mItems.empty() ? nullptr : mItems.data(); }

private:
  void CheckIndex(uint32_t index) const {
    if (index >= mItems.size()) {
      throw std::out_of_range("invalid vector<T> subscript");
    }
  }

  std::vector<T> mItems;
};

} // namespace QZ
