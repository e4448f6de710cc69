#pragma once
// QZ::ReuseAllocator<T,N>: a pool of blocks for objects of one small class, handed out
// again after they are freed (the block freed last first).
//
//   static QZ::ReuseAllocator<LValueParam, 4> sPool(false);   // main thread only
//   void* LValueParam::operator new(size_t size) { return sPool.Allocate(uint32_t(size)); }
//   void LValueParam::operator delete(void* p) { sPool.Free(p); }
//
// Requests of sizeof(T) bytes are served from the pool; other sizes (a derived class)
// come from the heap, and Free tells the two apart by the block's header. Each block
// has a 16-byte header in front of the object, so objects keep the alignment of the
// global operator new. A pool only grows; blocks go back to the system when the pool
// is destroyed, taking with them any object still alive in them.
//
// A pool made withLock serialises Allocate and Free with a QZ::EventLock and may be
// used from any thread; otherwise it belongs to one thread. Out of memory throws.

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <new>

#include "QZFramework/Services/Sync/EventLock.h"
#include "QZFramework/Utilities/Storage/ArrayBuffer.h"

namespace QZ {

template <class T, uint32_t N>
class ReuseAllocator {
public:
  // The header in front of every block handed out: the block's index in the block list,
  // or kHeapIndex for storage of another size from the heap.
  struct alignas(__STDCPP_DEFAULT_NEW_ALIGNMENT__) Buf {
    uint32_t index;
  };
  static constexpr uint32_t kHeapIndex = 0xFFFFFFFF;
  static_assert(sizeof(Buf) == 16, "objects start 16 bytes into their block");

  explicit ReuseAllocator(bool withLock) : mLock(withLock ? std::make_unique<EventLock>() : nullptr) {
    // Keep one grain of entries in place from the start.
    mBlocks.SetCount(1);
    mBlocks.SetCount(0);
    mFree.SetCount(1);
    mFree.SetCount(0);
  }
  ReuseAllocator(const ReuseAllocator&) = delete;
  ReuseAllocator& operator=(const ReuseAllocator&) = delete;

  virtual ~ReuseAllocator() {
    for (uint32_t i = mBlocks.GetCount(); i-- > 0;) {
      ::operator delete(mBlocks.GetAt(i));
    }
  }

  // Storage for size bytes, aligned for T: a pooled block when size is sizeof(T).
  void* Allocate(uint32_t size) {
    static_assert(alignof(T) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__, "blocks come from the global operator new");
    if (size != sizeof(T)) {
      return AllocateFromHeap(size);
    }
    Guard hold(mLock.get());
    Buf* block = nullptr;
    uint32_t index = 0;
    if (mFree.RemoveLast(index) >= 0) {
      block = mBlocks.GetAt(index);
    } else {
      index = mBlocks.GetCount();
      block = static_cast<Buf*>(::operator new(sizeof(Buf) + sizeof(T)));
      try {
        mBlocks.AddItem(block);
      } catch (...) {
        ::operator delete(block);
        throw;
      }
      block->index = index;
    }
    return block + 1;
  }

  // Takes back what Allocate gave; a block of this pool becomes the next one handed out.
  // Null does nothing. The object's storage is not cleared. Never fails: a block that
  // finds no room in the free list stays unused until the pool is destroyed.
  void Free(void* p) noexcept {
    if (!p) {
      return;
    }
    Buf* block = static_cast<Buf*>(p) - 1;
    {
      Guard hold(mLock.get());
      const uint32_t index = block->index;
      if (index < mBlocks.GetCount() && mBlocks.GetAt(index) == block) {
        try {
          mFree.AddItem(index);
        } catch (const std::bad_alloc&) {
        }
        return;
      }
    }
    std::free(block);
  }

private:
  class Guard {
  public:
    explicit Guard(EventLock* lock) : mLock(lock) {
      if (mLock) {
        mLock->Lock();
      }
    }
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;
    ~Guard() {
      if (mLock) {
        mLock->Unlock();
      }
    }

  private:
    EventLock* mLock;
  };

  static void* AllocateFromHeap(uint32_t size) {
    auto* block = static_cast<Buf*>(std::malloc(sizeof(Buf) + size_t(size)));
    if (!block) {
      ThrowBadAlloc();
    }
    block->index = kHeapIndex;
    return block + 1;
  }

  ArrayBuffer<Buf*, N, 1600> mBlocks;
  ArrayBuffer<unsigned int, N, 1600> mFree;
  std::unique_ptr<EventLock> mLock;
};

} // namespace QZ
