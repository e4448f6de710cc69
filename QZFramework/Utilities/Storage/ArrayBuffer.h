#pragma once
// QZ::ArrayBuffer and QZ::ArrayBufferM: arrays of plain values kept back to back in a
// QZ::BufferT.
//
//   QZ::ArrayBuffer<unsigned int, 4, 1600> ids;          // storage in grains of 4 items,
//   ids.AddItem(7);                                       // up to 1600 spare items kept
//   QZ::ArrayBufferM<signed char, 4, 1, 0> bytes;         // up to 4 items without a heap block
//
// Grain and slack are in items (the buffer gets them multiplied by sizeof(T)). Items
// that SetCount and InsertItems add are zero; SetCountRaw leaves them as they were.
// Index and range errors return QZ_E_INVALIDARG and change nothing; out of memory throws
// QZ::Exception<std::bad_alloc>. Not synchronised.

#include <cstring>
#include <type_traits>

#include "QZFramework/Utilities/Storage/Buffer.h"
#include "QZFramework/Utilities/Storage/IArray.h"

namespace QZ {

// Reserved is 1 in every use and has no behaviour; it keeps the instantiations' spelling.
template <class T, uint32_t GrowItems, uint32_t InitialItems, uint32_t Reserved = 1, uint32_t Alignment = 8,
          AllocatorSource Allocator = &GetSystemAllocator>
class ArrayBuffer : public IArray<T> {
  static_assert(std::is_trivially_copyable_v<T>, "items are moved and cleared as bytes");
  static_assert(Reserved == 1, "the fourth parameter has one value");

public:
  using Storage = BufferT<GrowItems * sizeof(T), InitialItems * sizeof(T), Alignment, T*, Allocator>;

  // Empty, without storage.
  ArrayBuffer() = default;
  ArrayBuffer(const ArrayBuffer&) = delete;
  ArrayBuffer& operator=(const ArrayBuffer&) = delete;
  virtual ~ArrayBuffer() = default;

  uint32_t GetCount() const override { return mBuffer.GetSize() / sizeof(T); }

  using IArray<T>::GetData;
  // Null while nothing is allocated.
  T* GetData() override { return mBuffer.GetTypedData(); }

  // Sets the count to n without clearing new items; n, or QZ_E_INVALIDARG (nothing changed)
  // when n items would pass GetMaxCount() or 4 GB.
  virtual int32_t SetCountRaw(uint32_t n) {
    if (!Fits(n)) {
      return QZ_E_INVALIDARG;
    }
    return int32_t(mBuffer.SetSize(n * uint32_t(sizeof(T))) / sizeof(T));
  }

  // New items are 0; returns the count reached (the old count when n does not fit).
  uint32_t SetCount(uint32_t n) override {
    const uint32_t old = GetCount();
    const int32_t reached = SetCountRaw(n);
    if (Failed(reached)) {
      return old;
    }
    if (n > old) {
      Clear(old, n - old);
    }
    return uint32_t(reached);
  }

  // Opens count zero items at index; the new count, or QZ_E_INVALIDARG for an index past
  // the count or a count that does not fit. count 0 returns the count unchecked.
  QZResult InsertItems(uint32_t index, uint32_t count) override {
    const uint32_t old = GetCount();
    if (count == 0) {
      return int32_t(old);
    }
    if (index > old || uint64_t(old) + count > 0xFFFFFFFF) {
      return QZ_E_INVALIDARG;
    }
    const int32_t reached = SetCountRaw(old + count);
    if (Failed(reached)) {
      return reached;
    }
    Move(index + count, index, old - index);
    Clear(index, count);
    return reached;
  }

  // The new count, or QZ_E_INVALIDARG (nothing removed) when the range runs past the end.
  // count 0 returns the count unchecked.
  QZResult RemoveItems(uint32_t index, uint32_t count) override {
    const uint32_t old = GetCount();
    if (count == 0) {
      return int32_t(old);
    }
    if (uint64_t(index) + count > old) {
      return QZ_E_INVALIDARG;
    }
    Move(index, index + count, old - index - count);
    return SetCountRaw(old - count);
  }

  // InsertItems(index, 1), then the item is written; item may be one of this array's.
  QZResult InsertAt(uint32_t index, const T& item) override {
    const T copy = item;
    const QZResult result = InsertItems(index, 1);
    if (Succeeded(result)) {
      GetData()[index] = copy;
    }
    return result;
  }

  // RemoveItems(index, 1); removed receives the item only for an index below the count.
  QZResult RemoveItem(uint32_t index, T& removed) override {
    if (index < GetCount()) {
      removed = GetData()[index];
    }
    return RemoveItems(index, 1);
  }

protected:
  Storage& GetBuffer() { return mBuffer; }

  bool Fits(uint32_t n) const { return n <= this->GetMaxCount() && uint64_t(n) * sizeof(T) <= 0xFFFFFFFF; }

private:
  void Move(uint32_t to, uint32_t from, uint32_t count) {
    if (count != 0) {
      std::memmove(GetData() + to, GetData() + from, count * sizeof(T));
    }
  }
  void Clear(uint32_t from, uint32_t count) {
    if (count != 0) {
      std::memset(static_cast<void*>(GetData() + from), 0, count * sizeof(T));
    }
  }

  Storage mBuffer;
};

// An ArrayBuffer that keeps up to M items in an inline store and moves them into the
// buffer only above M (and back again, releasing the buffer, when the count drops).
template <class T, uint32_t M, uint32_t GrowItems, uint32_t InitialItems, uint32_t Reserved = 1, uint32_t Alignment = 8,
          AllocatorSource Allocator = &GetSystemAllocator>
class ArrayBufferM : public ArrayBuffer<T, GrowItems, InitialItems, Reserved, Alignment, Allocator> {
  using Base = ArrayBuffer<T, GrowItems, InitialItems, Reserved, Alignment, Allocator>;
  static_assert(M > 0, "room for at least one inline item");

public:
  ArrayBufferM() = default;

  uint32_t GetCount() const override { return mInlineCount != 0 ? mInlineCount : Base::GetCount(); }

  using IArray<T>::GetData;
  // The inline store while the count is at most M (also when empty).
  T* GetData() override { return GetCount() <= M ? mInline : Base::GetData(); }

  int32_t SetCountRaw(uint32_t n) override {
    if (!this->Fits(n)) {
      return QZ_E_INVALIDARG;
    }
    const uint32_t old = GetCount();
    auto& buffer = this->GetBuffer();
    if (old <= M && n <= M) {
      mInlineCount = n;
    } else if (old <= M) {
      buffer.SetCapacity(n * uint32_t(sizeof(T)));
      if (old != 0) {
        std::memcpy(buffer.GetTypedData(), mInline, old * sizeof(T));
      }
      mInlineCount = 0;
    } else if (n > M) {
      buffer.SetSize(n * uint32_t(sizeof(T)));
    } else {
      if (n != 0) {
        std::memcpy(mInline, buffer.GetTypedData(), n * sizeof(T));
      }
      mInlineCount = n;
      buffer.SetCapacity(0);
    }
    return int32_t(n);
  }

private:
  uint32_t mInlineCount = 0;
  T mInline[M]{};
};

} // namespace QZ
