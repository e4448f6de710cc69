#pragma once
// The memory Load makes a document's nodes in: one allocation holds many nodes and is
// freed when the last of them is destroyed and its maker let go of it. Nodes of one block
// may end up in trees of different threads, so the holder count is atomic.

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "QZFramework/Services/Settings/XNode.h"

class XNode::Block {
public:
  // A block with room for capacity nodes, held by its maker (the caller).
  static Block* Create(uint32_t capacity);
  Block(const Block&) = delete;
  Block& operator=(const Block&) = delete;

  bool IsFull() const { return mUsed == mCapacity; }
  // A parentless node of type in the next free slot; the block must not be full.
  XNode* Make(Type type);
  // One holder (a node destroyed, or the maker) less: the block is freed at the last.
  void Release();

private:
  explicit Block(uint32_t capacity) : mCapacity(capacity) {}
  // The first node's slot, right after the header.
  XNode* Slots();

  std::atomic<uint32_t> mHolders{1};
  uint32_t mCapacity;
  uint32_t mUsed = 0;
};
