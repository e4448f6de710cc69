#pragma once
// QZ::IBuffer and QZ::BufferT: growable blocks of bytes.
//
//   QZ::BufferT<4, 0, 8, uint32_t*> ids;   // grain 4 bytes, no extra slack
//   ids.SetSize(5);                         // capacity 8
//   ids.SetSize(6);                         // 2 spare bytes <= slack 3: no reallocation
//
// Sizes and capacities are in bytes. A capacity is a multiple of GrowBytes once the
// buffer has allocated. Shrinking keeps the block while the spare room stays within
// the slack limit max(InitialBytes, GrowBytes - 1), so small changes never reallocate.
//
// Out of memory throws QZ::Exception<std::bad_alloc> and leaves the buffer as it was.
// Not synchronised: one thread at a time, or under its owner's lock.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "QZFramework/ObjectBase/Exception.h"
#include "QZFramework/Utilities/Storage/Allocator.h"

namespace QZ {

class IBuffer {
public:
  virtual ~IBuffer() = default;
  virtual uint32_t GetSize() const = 0;
  // Sets the size to n on storage of the buffer's own grain; the contents are kept only
  // when the storage stays the same. Returns n.
  virtual uint32_t SetCapacity(uint32_t n) = 0;
  // Sets the size to n keeping the bytes that stay in range; new bytes are not cleared.
  virtual uint32_t SetSize(uint32_t n) = 0;
  // Sets count bytes from offset on; count < 0 means up to the end.
  // 0, or QZ_E_INVALIDARG (nothing written) when the range is not inside the size.
  virtual QZResult Fill8(int8_t value, uint32_t offset, int32_t count) = 0;
  // Sets count 16-bit units from the byte offset on; count < 0 means as many whole
  // units as fit. 0, or QZ_E_INVALIDARG (nothing written) when the range is not inside.
  virtual QZResult Fill16(uint16_t value, uint32_t offset, int32_t count) = 0;
  virtual uint32_t GetCapacity() const = 0;
  // The first byte; null while nothing is allocated.
  virtual char* GetData() = 0;
  virtual const char* GetData() const = 0;
};

template <uint32_t GrowBytes, uint32_t InitialBytes, uint32_t Alignment, class Ptr,
          AllocatorSource Allocator = &GetSystemAllocator>
class BufferT : public virtual IBuffer {
  static_assert(GrowBytes > 0, "the growth grain is at least one byte");
  static_assert(std::is_pointer_v<Ptr>, "the data is handed out as a pointer");

public:
  static constexpr uint32_t kSlackLimit = std::max(InitialBytes, GrowBytes - 1);

  BufferT() noexcept = default;

  // A block of `capacity` bytes is taken as given when it exceeds size; then the size is
  // set by SetSize's rules. With zeroFill the first size bytes are cleared.
  BufferT(uint32_t size, uint32_t capacity, bool zeroFill) {
    if (capacity > size) {
      mData = static_cast<Ptr>(AllocateOrThrow(capacity));
      mCapacity = capacity;
    }
    try {
      SetSize(size);
    } catch (...) {
      Release();
      throw;
    }
    if (mSize != 0 && zeroFill) {
      std::memset(Bytes(), 0, mSize);
    }
  }

  BufferT(const BufferT&) = delete;
  BufferT& operator=(const BufferT&) = delete;

  ~BufferT() override { Release(); }

  uint32_t GetSize() const override { return mSize; }
  uint32_t GetCapacity() const override { return mCapacity; }
  char* GetData() override { return Bytes(); }
  const char* GetData() const override { return reinterpret_cast<const char*>(mData); }
  Ptr GetTypedData() const { return mData; }

  uint32_t SetSize(uint32_t n) override {
    if (mCapacity == 0) {
      return SetCapacity(n);
    }
    if (mCapacity >= n && mCapacity - n <= kSlackLimit) {
      mSize = n;
      return n;
    }
    const uint32_t capacity = RoundToGrain(n);
    if (capacity == 0) {
      Release();
      return n;
    }
    void* block = Allocator()->Realloc(mData, capacity);
    if (!block) {
      ThrowBadAlloc();
    }
    mData = static_cast<Ptr>(block);
    mCapacity = capacity;
    mSize = n;
    return n;
  }

  uint32_t SetCapacity(uint32_t n) override {
    if (n == 0) {
      Release();
      return 0;
    }
    const uint32_t capacity = RoundToGrain(n);
    if (capacity != mCapacity) {
      void* block = AllocateOrThrow(capacity);
      if (mData) {
        Allocator()->Free(mData);
      }
      mData = static_cast<Ptr>(block);
      mCapacity = capacity;
    }
    mSize = n;
    return n;
  }

  QZResult Fill8(int8_t value, uint32_t offset, int32_t count) override {
    uint64_t bytes = 0;
    if (count < 0) {
      if (offset > mSize) {
        return QZ_E_INVALIDARG;
      }
      bytes = mSize - offset;
    } else {
      if (uint64_t(offset) + uint64_t(count) > mSize) {
        return QZ_E_INVALIDARG;
      }
      bytes = uint64_t(count);
    }
    if (bytes != 0) {
      std::memset(Bytes() + offset, static_cast<unsigned char>(value), bytes);
    }
    return QZ_OK;
  }

  QZResult Fill16(uint16_t value, uint32_t offset, int32_t count) override {
    uint64_t units = 0;
    if (count < 0) {
      if (offset > mSize) {
        return QZ_E_INVALIDARG;
      }
      units = (mSize - offset) / 2;
    } else {
      if (uint64_t(offset) + 2 * uint64_t(count) > mSize) {
        return QZ_E_INVALIDARG;
      }
      units = uint64_t(count);
    }
    char* at = Bytes() + offset;
    for (uint64_t i = 0; i < units; ++i) {
      std::memcpy(at + 2 * i, &value, sizeof value);
    }
    return QZ_OK;
  }

private:
  char* Bytes() { return reinterpret_cast<char*>(mData); }

  static uint32_t RoundToGrain(uint32_t n) {
    const uint64_t rounded = (uint64_t(n) + GrowBytes - 1) / GrowBytes * GrowBytes;
    if (rounded > UINT32_MAX) {
      ThrowBadAlloc();
    }
    return static_cast<uint32_t>(rounded);
  }

  static void* AllocateOrThrow(uint32_t bytes) {
    void* block = Allocator()->Malloc(bytes);
    if (!block) {
      ThrowBadAlloc();
    }
    return block;
  }

  void Release() noexcept {
    if (mData) {
      Allocator()->Free(mData);
    }
    mData = nullptr;
    mSize = 0;
    mCapacity = 0;
  }

  Ptr mData = nullptr;
  uint32_t mSize = 0;
  uint32_t mCapacity = 0;
};

} // namespace QZ
