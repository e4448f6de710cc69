#pragma once
// The memory Load makes a document's nodes in: one allocation holds many nodes (from its
// start) and their containers' child lists (from its end), and is freed when the last of
// them is gone and its maker let go of it. Nodes of one block may end up in trees of
// different threads, so the holder count is atomic; it starts with a holder for every
// slot, so that making a node (on the maker's thread alone) changes no shared count, and
// the maker's letting go gives back the slots left unused. A list adds a holder.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif

#include "QZFramework/Services/Settings/XNode.h"

class XNode::Block {
public:
  // A block with room for capacity nodes, held by its maker (the caller).
  static Block* Create(uint32_t capacity);
  Block(const Block&) = delete;
  Block& operator=(const Block&) = delete;

  bool IsFull() const { return (mUsed + 1) * sizeof(XNode) > mListsStart; }
  // A parentless node of type in the next free slot; the block must not be full.
  // (Defined here, as every node read is made by it.)
  XNode* Make(Type type) {
    XNode* node = new (Slots() + mUsed) XNode(type);
    ++mUsed;
    node->mBlock = this; // its slot was counted as held when the block was made
    return node;
  }
  // Room for a child list of count entries after the word naming this block, taken from
  // the end of the block and held like a node; null when there is not enough.
  XNode** MakeList(size_t count) {
    const size_t bytes = (count + 1) * sizeof(XNode*);
    if (mUsed * sizeof(XNode) + bytes > mListsStart) {
      return nullptr;
    }
    mListsStart -= uint32_t(bytes);
    auto* list = reinterpret_cast<XNode**>(reinterpret_cast<char*>(Slots()) + mListsStart);
#if defined(__SANITIZE_ADDRESS__)
    ASAN_UNPOISON_MEMORY_REGION(list, bytes);
#endif
    list[0] = reinterpret_cast<XNode*>(this);
    mHolders.fetch_add(1, std::memory_order_relaxed); // no other thread can reach the block yet
    return list;
  }
  // count nodes of the block destroyed (their destructors have run): the block is
  // freed when nothing holds it any more.
  void Release(uint32_t count);
  // The maker lets go, with the slots it did not use; it makes no more nodes here.
  void ReleaseMaker() { Release(1 + mCapacity - mUsed); }

private:
  explicit Block(uint32_t capacity)
      : mHolders(1 + capacity), mCapacity(capacity), mListsStart(uint32_t(capacity * sizeof(XNode))) {}
  // The header rounded up so that the slots after it are aligned for nodes.
  static constexpr size_t kHeader =
      (sizeof(std::atomic<uint32_t>) + 3 * sizeof(uint32_t) + alignof(XNode) - 1) / alignof(XNode) * alignof(XNode);

  // The first node's slot, right after the header.
  XNode* Slots() { return reinterpret_cast<XNode*>(reinterpret_cast<char*>(this) + kHeader); }

  std::atomic<uint32_t> mHolders;
  uint32_t mCapacity;
  uint32_t mUsed = 0;
  // Child lists fill the block from its end down to here (an offset from the first slot).
  uint32_t mListsStart;
};
