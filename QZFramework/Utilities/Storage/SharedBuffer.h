#pragma once
// QZ::LIBuffer and QZ::LBufferT: reference-counted byte buffers.
//
//   QZ::RCPtr<QZ::LIBuffer> text = QZ::LIBuffer::Create(4, 0, true);   // 4 zero bytes
//   QZ::RCPtr<QZ::LIBuffer> longer = text->Duplicate(8, 0);            // 8 bytes, copy of the 4
//
// These are the buffers under strings, extended variants and other shared byte data,
// and the only objects that implement CreateCopy, so copy-on-write of a locked string
// buffer (marked unshareable) works through them.

#include "QZFramework/ObjectBase/RCPtr.h"
#include "QZFramework/Utilities/Storage/Buffer.h"

namespace QZ {

class LIBuffer : public virtual IBuffer, public virtual LRefCountedObject {
public:
  // A new string buffer (grain 1, slack 128) of the given size; see BufferT's constructor.
  static RCPtr<LIBuffer> Create(uint32_t size, uint32_t capacity, bool zeroFill);

  // A new buffer of the same kind, n bytes long, holding this buffer's bytes from offset
  // on as far as they reach; the rest is zero.
  virtual RCPtr<LIBuffer> Duplicate(uint32_t n, uint32_t offset) const = 0;
};

template <uint32_t GrowBytes, uint32_t InitialBytes, uint32_t Alignment, class Ptr,
          AllocatorSource Allocator = &GetSystemAllocator>
class LBufferT : public BufferT<GrowBytes, InitialBytes, Alignment, Ptr, Allocator>, public LIBuffer {
  using Storage = BufferT<GrowBytes, InitialBytes, Alignment, Ptr, Allocator>;

public:
  LBufferT(uint32_t size, uint32_t capacity, bool zeroFill) : Storage(size, capacity, zeroFill) {}

  static RCPtr<LBufferT> Create(uint32_t size, uint32_t capacity, bool zeroFill) {
    return RCPtr<LBufferT>(new LBufferT(size, capacity, zeroFill));
  }

  RCPtr<LIBuffer> Duplicate(uint32_t n, uint32_t offset) const override {
    RCPtr<LBufferT> copy = Create(n, 0, true);
    const uint32_t size = this->GetSize();
    if (offset < size) {
      const uint32_t bytes = std::min(size - offset, n);
      if (bytes != 0) {
        std::memcpy(copy->GetData(), this->GetData() + offset, bytes);
      }
    }
    return copy;
  }

  // Same size and bytes; capacity is the size on the copy's grain.
  RCPtr<LRefCountedObject> CreateCopy() const override {
    const uint32_t size = this->GetSize();
    RCPtr<LBufferT> copy = Create(size, 0, true);
    if (size != 0) {
      std::memcpy(copy->GetData(), this->GetData(), size);
    }
    return copy;
  }
};

// The three kinds of shared byte buffer in use.
using LStringBuffer = LBufferT<1, 128, 8, char*>;
using LByteBuffer = LBufferT<1, 0, 8, char*>;
using LPresetFileBuffer = LBufferT<512, 512, 8, char*>;

inline RCPtr<LIBuffer> LIBuffer::Create(uint32_t size, uint32_t capacity, bool zeroFill) {
  return LStringBuffer::Create(size, capacity, zeroFill);
}

} // namespace QZ
