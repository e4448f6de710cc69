#pragma once
// QZ::IIterable, QZ::IIterableModifiable and QZ::IArray: the one interface through
// which the program reads and changes arrays of any element type.
//
//   void Scale(QZ::IArray<float>& values) {
//     for (auto it = values.Begin(); it != values.End(); ++it) { ... }
//   }
//
// Each layer gives a default for every operation that can be written with the others;
// an implementation supplies the count, the item block, SetCount, InsertItems and
// RemoveItems. A Position of an IArray is the address of an item slot (first, last,
// one past the last, one before the first); all four are null while the array is
// empty. Every operation that changes the count may move the items and invalidates
// positions and iterators taken before it.
//
// Operations that can fail return a result code (QZ_E_INVALIDARG for an index out of range,
// QZ_E_FAIL for a resize that fell short); several return a count or an index instead
// of 0 on success. Nothing here throws by itself: exceptions come from T's copy and
// assignment or from an implementation's primitives and pass through unchanged.
//
// Not synchronised: one thread at a time, or under the owner's lock. The interfaces are
// never deleted through: an array is destroyed as its concrete type.

#include <cstdint>

#include "QZFramework/ObjectBase/Exception.h"

namespace QZ {

template <class T>
class IIterable {
public:
  // Opaque to callers; for arrays an item address kept as an integer, so positions
  // outside the item block are plain values.
  using Position = uintptr_t;

  // Walks a container; holds no reference, so it must not outlive the container.
  struct Iterator {
    const IIterable* container;
    Position position;
    int32_t step; // +1 from Begin and End, -1 from RBegin and REnd

    const T& operator*() const { return container->GetItemAt(position); }
    Iterator& operator++() {
      position = container->Advance(position, step);
      return *this;
    }
    Iterator operator++(int) {
      Iterator old = *this;
      ++*this;
      return old;
    }
    bool operator==(const Iterator&) const = default;
  };

  virtual uint32_t GetCount() const = 0;
  virtual uint32_t GetMaxCount() const { return 0x7FFFFFFF; }
  virtual Iterator Begin() const { return {this, GetFirstPosition(), +1}; }
  virtual Iterator Begin() { return {this, GetFirstPosition(), +1}; }
  virtual Iterator End() const { return {this, GetEndPosition(), +1}; }
  virtual Iterator End() { return {this, GetEndPosition(), +1}; }
  virtual Iterator RBegin() const { return {this, GetLastPosition(), -1}; }
  virtual Iterator RBegin() { return {this, GetLastPosition(), -1}; }
  virtual Iterator REnd() const { return {this, GetBeforeFirstPosition(), -1}; }
  virtual Iterator REnd() { return {this, GetBeforeFirstPosition(), -1}; }
  // The item at a position of an item; end and before-first positions must not be passed.
  virtual const T& GetItemAt(const Position& position) const {
    return const_cast<IIterable*>(this)->GetItemAt(position);
  }
  virtual T& GetItemAt(const Position& position) = 0;
  // The item at index, walked to from Begin; the index must be below GetCount().
  virtual T& GetAt(uint32_t index) { return GetItemAt(WalkFromBegin(Begin(), index)); }
  virtual const T& GetAt(uint32_t index) const { return GetItemAt(WalkFromBegin(Begin(), index)); }
  // Exchanges two items by copies; 0, or QZ_E_INVALIDARG (nothing changed) when either
  // index is not below the count.
  virtual QZResult Swap(uint32_t first, uint32_t second) {
    const uint32_t count = GetCount();
    if (first >= count || second >= count) {
      return QZ_E_INVALIDARG;
    }
    T spare = GetAt(first);
    GetAt(first) = GetAt(second);
    GetAt(second) = spare;
    return QZ_OK;
  }
  // Moves a position by items, stopping at the end and before-first positions.
  virtual Position Advance(const Position& position, int32_t items) const = 0;
  virtual Position GetFirstPosition() const = 0;
  virtual Position GetEndPosition() const = 0;
  virtual Position GetLastPosition() const = 0;
  virtual Position GetBeforeFirstPosition() const = 0;

protected:
  IIterable() = default;
  IIterable(const IIterable&) = default;
  IIterable& operator=(const IIterable&) = default;
  ~IIterable() = default;

private:
  Position WalkFromBegin(Iterator it, uint32_t index) const {
    for (uint32_t i = 0; i < index; ++i) {
      ++it;
    }
    return it.position;
  }
};

template <class T>
class IIterableModifiable : public IIterable<T> {
public:
  using typename IIterable<T>::Iterator;

  // 0 when the array ends empty, else QZ_E_FAIL.
  virtual QZResult RemoveAll() { return SetCount(0) == 0 ? QZ_OK : QZ_E_FAIL; }
  // Inserts a copy of item before index (index == GetCount() appends); item may be one
  // of this array's. The result of InsertItems: negative (QZ_E_INVALIDARG for an index past
  // the count) with nothing stored.
  virtual QZResult InsertAt(uint32_t index, const T& item) {
    const T copy = item;
    const QZResult result = InsertItems(index, 1);
    if (Failed(result)) {
      return result;
    }
    this->GetAt(index) = copy;
    return result;
  }
  // Hands the item at index to removed, then removes it; the result of RemoveItems.
  // The item is read first, through GetAt: the index must be below the count unless the
  // implementation's GetAt or RemoveItem checks it.
  virtual QZResult RemoveItem(uint32_t index, T& removed) {
    removed = this->GetAt(index);
    return RemoveItems(index, 1);
  }
  // Appends copies of the items source held at the call (an array may append itself).
  // The new count, or QZ_E_FAIL with nothing copied when the array cannot grow by
  // that many: past GetMaxCount() it is left as it was; when SetCount falls short it
  // keeps the count SetCount reached.
  virtual int32_t Append(const IIterable<T>& source) {
    const uint32_t count = this->GetCount();
    const int32_t total = PrepareAppend(count, source.GetCount());
    if (Failed(total) || uint32_t(total) == count) {
      return total;
    }
    Iterator from = source.Begin();
    Iterator to = this->Begin();
    to.position = this->Advance(to.position, to.step * int32_t(count));
    for (uint32_t i = count; i < uint32_t(total); ++i) {
      this->GetItemAt((to++).position) = *from++;
    }
    return total;
  }
  // InsertAt(GetCount(), item).
  virtual QZResult AddItem(const T& item) { return InsertAt(this->GetCount(), item); }
  // RemoveItem(GetCount() - 1, removed): the array must not be empty unless the
  // implementation's GetAt or RemoveItem checks the index.
  virtual QZResult RemoveLast(T& removed) { return RemoveItem(this->GetCount() - 1, removed); }
  // Replaces the items by copies of source's; the new count, or Append's failure.
  // Assigning an array to itself keeps it as it is.
  virtual int32_t Assign(const IIterable<T>& source) {
    if (&source == this) {
      return int32_t(this->GetCount());
    }
    SetCount(0);
    return Append(source);
  }
  // Makes the array hold count items: new items are T's default, dropped ones are
  // destroyed. Returns the count reached, count on success. May move the items.
  virtual uint32_t SetCount(uint32_t count) = 0;
  // Inserts count default items before index (index == GetCount() appends); the new
  // count, or QZ_E_INVALIDARG for an index past the count.
  virtual QZResult InsertItems(uint32_t index, uint32_t count) = 0;
  // Removes count items from index on; the new count, or QZ_E_INVALIDARG (nothing removed)
  // when the range does not lie inside the array.
  virtual QZResult RemoveItems(uint32_t index, uint32_t count) = 0;

protected:
  IIterableModifiable() = default;
  IIterableModifiable(const IIterableModifiable&) = default;
  IIterableModifiable& operator=(const IIterableModifiable&) = default;
  ~IIterableModifiable() = default;

  // Grows the array from count by added items for an append: the new count (count
  // itself when added is 0, without a resize), or QZ_E_FAIL when it cannot grow.
  int32_t PrepareAppend(uint32_t count, uint32_t added) {
    const uint64_t total = uint64_t(count) + added;
    if (total == count) {
      return int32_t(count);
    }
    if (total > this->GetMaxCount() || total > 0x7FFFFFFF) {
      return QZ_E_FAIL;
    }
    if (SetCount(uint32_t(total)) != total) {
      return QZ_E_FAIL;
    }
    return int32_t(total);
  }
};

template <class T>
class IArray : public IIterableModifiable<T> {
public:
  using typename IIterable<T>::Position;
  using typename IIterable<T>::Iterator;
  using IIterable<T>::GetItemAt;

  T& GetItemAt(const Position& position) override { return *reinterpret_cast<T*>(position); }
  // No bound check: the index must be below GetCount().
  T& GetAt(uint32_t index) override { return GetData()[index]; }
  const T& GetAt(uint32_t index) const override { return GetData()[index]; }
  Position Advance(const Position& position, int32_t items) const override {
    const Position candidate = position + Position(intptr_t(items) * intptr_t(sizeof(T)));
    const Position before = GetBeforeFirstPosition();
    const Position end = GetEndPosition();
    if (candidate <= before) {
      return before;
    }
    return candidate < end ? candidate : end;
  }
  Position GetFirstPosition() const override { return PositionOf(0); }
  Position GetEndPosition() const override { return PositionOf(this->GetCount()); }
  Position GetLastPosition() const override { return PositionOf(int64_t(this->GetCount()) - 1); }
  Position GetBeforeFirstPosition() const override { return PositionOf(-1); }

  virtual const T* GetData() const { return const_cast<IArray*>(this)->GetData(); }
  // The first of GetCount() contiguous items; not used while the array is empty.
  virtual T* GetData() = 0;
  // Append through the item block: the same result with one iterator fewer per item.
  virtual int32_t AppendArray(const IIterable<T>& source) {
    const uint32_t count = this->GetCount();
    const int32_t total = this->PrepareAppend(count, source.GetCount());
    if (Failed(total) || uint32_t(total) == count) {
      return total;
    }
    T* target = GetData() + count;
    Iterator from = source.Begin();
    for (uint32_t i = count; i < uint32_t(total); ++i) {
      *target++ = *from++;
    }
    return total;
  }

  // The index of the first item equal to item, -1 when there is none.
  template <class U>
  int32_t IndexOf(const U& item) const {
    const uint32_t count = this->GetCount();
    if (count == 0) {
      return -1;
    }
    const T* items = GetData();
    for (uint32_t i = 0; i < count; ++i) {
      if (items[i] == item) {
        return int32_t(i);
      }
    }
    return -1;
  }

protected:
  IArray() = default;
  IArray(const IArray&) = default;
  IArray& operator=(const IArray&) = default;
  ~IArray() = default;

private:
  // The address of slot index (-1: before the first item); null for an empty array.
  Position PositionOf(int64_t index) const {
    if (this->GetCount() == 0) {
      return 0;
    }
    const Position data = reinterpret_cast<Position>(const_cast<IArray*>(this)->GetData());
    return data + Position(index * int64_t(sizeof(T)));
  }
};

// Equal counts and pairwise equal items (T's operator==); two empty arrays are equal.
template <class T>
bool operator==(const IArray<T>& a, const IArray<T>& b) {
  const uint32_t count = a.GetCount();
  if (count != b.GetCount()) {
    return false;
  }
  auto left = a.Begin();
  auto right = b.Begin();
  for (uint32_t i = 0; i < count; ++i) {
    if (!(*left++ == *right++)) {
      return false;
    }
  }
  return true;
}

} // namespace QZ
