#pragma once
// The memory Load makes a document's nodes in: one allocation holds many nodes and is
// freed when the last of them is destroyed and its maker let go of it. Nodes of one block
// may end up in trees of different threads, so the holder count is atomic; it starts
// with a holder for every slot, so that making a node (on the maker's thread alone)
// changes no shared count, and the maker's letting go gives back the slots left unused.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <new>

#include "QZFramework/Services/Settings/XNode.h"

class XNode::Block {
public:
  // A block with room for capacity nodes, held by its maker (the caller).
  static Block* Create(uint32_t capacity);
  Block(const Block&) = delete;
  Block& operator=(const Block&) = delete;

  bool IsFull() const { return mUsed == mCapacity; }
  // A parentless node of type in the next free slot; the block must not be full.
  // (Defined here, as every node read is made by it.)
  XNode* Make(Type type) {
    XNode* node = new (Slots() + mUsed) XNode(type);
    ++mUsed;
    node->mBlock = this; // its slot was counted as held when the block was made
    return node;
  }
  // count nodes of the block destroyed (their destructors have run): the block is
  // freed when nothing holds it any more.
  void Release(uint32_t count);
  // The maker lets go, with the slots it did not use; it makes no more nodes here.
  void ReleaseMaker() { Release(1 + mCapacity - mUsed); }

private:
  explicit Block(uint32_t capacity) : mHolders(1 + capacity), mCapacity(capacity) {}
  // The header rounded up so that the slots after it are aligned for nodes.
  static constexpr size_t kHeader =
      (sizeof(std::atomic<uint32_t>) + 2 * sizeof(uint32_t) + alignof(XNode) - 1) / alignof(XNode) * alignof(XNode);

  // The first node's slot, right after the header.
  XNode* Slots() { return reinterpret_cast<XNode*>(reinterpret_cast<char*>(this) + kHeader); }

  std::atomic<uint32_t> mHolders;
  uint32_t mCapacity;
  uint32_t mUsed = 0;
};
