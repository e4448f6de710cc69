#include "QZFramework/Utilities/Graphics/RectList.h"

#include <algorithm>
#include <atomic>
#include <cfloat>
#include <cmath>
#include <limits>
#include <mutex>
#include <new>
#include <thread>
#include <utility>

namespace QZ {

namespace {

using Node = RegionNode;

int32_t TruncToInt32(double value) {
  if (!(value > -2147483649.0)) {
    return std::isnan(value) ? 0 : std::numeric_limits<int32_t>::min();
  }
  if (value >= 2147483648.0) {
    return std::numeric_limits<int32_t>::max();
  }
  return static_cast<int32_t>(value);
}

// The pool's lock: held for a few instructions at a time, by the UI thread nearly always,
// so a taken flag costs a paint far less than a mutex; a waiter gives its time slice away.
class PoolLock {
public:
  void lock() {
    while (mHeld.exchange(true, std::memory_order_acquire)) {
      while (mHeld.load(std::memory_order_relaxed)) {
        std::this_thread::yield();
      }
    }
  }
  void unlock() { mHeld.store(false, std::memory_order_release); }

private:
  std::atomic<bool> mHeld{false};
};

// The process-wide node pool: one block of 512 slots, each a node and an index word;
// the index words form a ring of free slot indices. Made on first use and kept for the
// life of the process, so that lists destroyed late at exit still find it.
class RegionNodePool {
public:
  static RegionNodePool& Get() {
    static RegionNodePool* const pool = new RegionNodePool;
    return *pool;
  }

  Node* Allocate(const EdgeRect& rect) {
    std::lock_guard hold(mLock);
    if (!mSlots) {
      mSlots = new Slot[kSlots];
      for (uint32_t i = 0; i < kSlots; ++i) {
        mSlots[i].ring = i;
      }
      mFreeHead = 0;
      mFreeCount = kSlots;
    }
    Node* node;
    if (mFreeCount > 0) {
      node = &mSlots[mSlots[mFreeHead].ring].node;
      mFreeHead = (mFreeHead + 1) % kSlots;
      --mFreeCount;
    } else {
      node = new Node;
    }
    ++mLive;
    mHighWater = std::max(mHighWater, mLive);
    node->rect = rect;
    node->next = nullptr;
    return node;
  }

  void Free(Node* node) {
    std::lock_guard hold(mLock);
    --mLive;
    const auto address = reinterpret_cast<uintptr_t>(node);
    const auto first = reinterpret_cast<uintptr_t>(mSlots);
    if (mSlots && address >= first && address < first + kSlots * sizeof(Slot) && mFreeCount < kSlots) {
      mSlots[(mFreeHead + mFreeCount) % kSlots].ring = uint32_t((address - first) / sizeof(Slot));
      ++mFreeCount;
      return;
    }
    delete node;
  }

  RegionPoolStatistics GetStatistics() {
    std::lock_guard hold(mLock);
    const uint32_t pooledLive = mSlots ? kSlots - mFreeCount : 0;
    return {mLive, mHighWater, mFreeCount, mLive - pooledLive};
  }

private:
  static constexpr uint32_t kSlots = 512;

  // The node comes first, so a node's address is its slot's address.
  struct Slot {
    Node node;
    uint32_t ring = 0;
  };

  PoolLock mLock;
  Slot* mSlots = nullptr;
  uint32_t mFreeHead = 0;
  uint32_t mFreeCount = 0;
  uint32_t mLive = 0;
  uint32_t mHighWater = 0;
};

// Overlap of two non-empty rectangles (the lists hold no empty ones).
bool Meet(const EdgeRect& a, const EdgeRect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

Node* NewNode(const EdgeRect& rect) { return RegionNodePool::Get().Allocate(rect); }
void FreeNode(Node* node) { RegionNodePool::Get().Free(node); }

// Stable merge sort of a null-terminated list by one edge.
Node* SortBy(Node* head, int32_t EdgeRect::*edge) {
  if (!head || !head->next) {
    return head;
  }
  Node* slow = head;
  for (Node* fast = head->next; fast && fast->next; fast = fast->next->next) {
    slow = slow->next;
  }
  Node* second = slow->next;
  slow->next = nullptr;
  Node* a = SortBy(head, edge);
  Node* b = SortBy(second, edge);
  Node* merged = nullptr;
  Node** tail = &merged;
  while (a && b) {
    Node*& taken = (b->rect.*edge < a->rect.*edge) ? b : a;
    *tail = taken;
    tail = &taken->next;
    taken = taken->next;
  }
  *tail = a ? a : b;
  return merged;
}

} // namespace

EdgeRect EdgeRect::FromRect(const RectT<double>& rect) {
  const int32_t left = TruncToInt32(rect.x + 0.5);
  const int32_t top = TruncToInt32(rect.y + 0.5);
  return {left, top, SaturatingAdd(left, TruncToInt32(rect.width + 0.5)),
          SaturatingAdd(top, TruncToInt32(rect.height + 0.5))};
}

RectListT<int32_t>::RectListT(const RectT<double>& rect) { AddRect(EdgeRect::FromRect(rect)); }

RectListT<int32_t>::RectListT(const RectListT& other) {
  Node** tail = &mHead;
  for (const Node* n = other.mHead; n; n = n->next) {
    *tail = NewNode(n->rect);
    tail = &(*tail)->next;
  }
}

RectListT<int32_t>::RectListT(RectListT&& other) noexcept : mHead(std::exchange(other.mHead, nullptr)) {}

RectListT<int32_t>& RectListT<int32_t>::operator=(const RectListT& other) {
  if (this != &other) {
    RectListT copy(other);
    std::swap(mHead, copy.mHead);
  }
  return *this;
}

RectListT<int32_t>& RectListT<int32_t>::operator=(RectListT&& other) noexcept {
  if (this != &other) {
    Clear();
    mHead = std::exchange(other.mHead, nullptr);
  }
  return *this;
}

void RectListT<int32_t>::PushHead(const EdgeRect& rect) {
  Node* node = NewNode(rect);
  node->next = mHead;
  mHead = node;
}

void RectListT<int32_t>::AddRect(const EdgeRect& rect) {
  if (rect.IsEmpty()) {
    return;
  }
  SubtractRect(rect);
  PushHead(rect);
}

void RectListT<int32_t>::SubtractRect(const EdgeRect& r, RectListT* cut) {
  if (r.IsEmpty()) {
    return;
  }
  Node* prev = nullptr;
  Node* n = mHead;
  while (n) {
    Node* const next = n->next;
    if (!Meet(n->rect, r)) {
      prev = n;
      n = next;
      continue;
    }
    // Each piece is made before n shrinks, so a failed allocation loses no pixels.
    EdgeRect& e = n->rect;
    if (e.top < r.top) {
      PushHead({e.left, e.top, e.right, r.top});
      e.top = r.top;
    }
    if (e.bottom > r.bottom) {
      PushHead({e.left, r.bottom, e.right, e.bottom});
      e.bottom = r.bottom;
    }
    if (e.left < r.left) {
      PushHead({e.left, e.top, r.left, e.bottom});
      e.left = r.left;
    }
    if (e.right > r.right) {
      PushHead({r.right, e.top, e.right, e.bottom});
      e.right = r.right;
    }
    // n is now the overlap. Without a previous node, the pieces just put at the head
    // lie before it: find its predecessor from the head, which then stays the
    // predecessor of the rest of the walk.
    if (!prev) {
      Node** link = &mHead;
      while (*link != n) {
        prev = *link;
        link = &(*link)->next;
      }
    }
    if (prev) {
      prev->next = next;
    } else {
      mHead = next;
    }
    if (cut) {
      n->next = cut->mHead;
      cut->mHead = n;
    } else {
      FreeNode(n);
    }
    n = next;
  }
}

void RectListT<int32_t>::Subtract(const RectListT& other, RectListT* cut) {
  if (&other == this) {
    const RectListT copy(other);
    Subtract(copy, cut);
    return;
  }
  for (const Node* n = other.mHead; n; n = n->next) {
    SubtractRect(n->rect, cut);
  }
}

void RectListT<int32_t>::Intersect(const RectListT& other) {
  RectListT kept;
  Subtract(other, &kept);
  std::swap(mHead, kept.mHead);
}

void RectListT<int32_t>::Append(const RectListT& other) {
  // Walking from the old head: copies put in front of it are not visited again, so a
  // list may append itself.
  for (const Node* n = other.mHead; n; n = n->next) {
    PushHead(n->rect);
  }
}

void RectListT<int32_t>::Offset(int32_t dx, int32_t dy) {
  if (dx == 0 && dy == 0) {
    return;
  }
  Node** link = &mHead;
  while (Node* n = *link) {
    EdgeRect& e = n->rect;
    e = {SaturatingAdd(e.left, dx), SaturatingAdd(e.top, dy), SaturatingAdd(e.right, dx), SaturatingAdd(e.bottom, dy)};
    if (e.IsEmpty()) {
      *link = n->next;
      FreeNode(n);
    } else {
      link = &n->next;
    }
  }
}

uint32_t RectListT<int32_t>::GetCount() const {
  uint32_t count = 0;
  for (const Node* n = mHead; n; n = n->next) {
    ++count;
  }
  return count;
}

bool RectListT<int32_t>::GetBounds(EdgeRect& bounds) const {
  if (!mHead) {
    bounds = {};
    return false;
  }
  bounds = mHead->rect;
  for (const Node* n = mHead->next; n; n = n->next) {
    bounds.left = std::min(bounds.left, n->rect.left);
    bounds.top = std::min(bounds.top, n->rect.top);
    bounds.right = std::max(bounds.right, n->rect.right);
    bounds.bottom = std::max(bounds.bottom, n->rect.bottom);
  }
  return true;
}

void RectListT<int32_t>::ToRectArray(IArray<RectT<int32_t>>& out) const {
  out.RemoveAll(); // the caller's array may refuse: what fits is kept
  for (const Node* n = mHead; n; n = n->next) {
    out.AddItem(n->rect.ToRect()); // the caller's array may refuse: what fits is kept
  }
}

bool RectListT<int32_t>::Intersects(const EdgeRect& rect) const {
  for (const Node* n = mHead; n; n = n->next) {
    if (n->rect.Overlaps(rect)) {
      return true;
    }
  }
  return false;
}

bool RectListT<int32_t>::Intersects(const RectT<double>& rect, const PointT<double>& offset) const {
  double left = rect.x + offset.x;
  double top = rect.y + offset.y;
  double right = left + rect.width;
  double bottom = top + rect.height;
  left = std::max(left, 0.0);
  top = std::max(top, 0.0);
  right = std::min(right, 2147483647.0);
  bottom = std::min(bottom, 2147483647.0);
  // Written so that NaN edges give false as well.
  if (!(right - left > DBL_EPSILON) || !(bottom - top > DBL_EPSILON)) {
    return false;
  }
  return Intersects(EdgeRect{RoundToInt32(left), RoundToInt32(top), RoundToInt32(right), RoundToInt32(bottom)});
}

void RectListT<int32_t>::Normalize() {
  if (!mHead || !mHead->next) {
    return;
  }
  mHead = SortBy(mHead, &EdgeRect::top);
  CutIntoBands();
  MergeWithinBands();
  MergeBetweenBands();
}

// Walks the list sorted by top and cuts each rectangle at its cut line: the previous
// rectangle's cut line when that lies strictly inside it, else the smallest of its
// bottom, the bottoms of the following rectangles of its top and the top of the first
// following rectangle of another top. The part below is put back in top order and
// visited in its turn, so afterwards rectangles sharing a top share a bottom.
void RectListT<int32_t>::CutIntoBands() {
  bool havePrevious = false;
  int32_t previousCut = 0;
  for (Node* n = mHead; n; n = n->next) {
    EdgeRect& e = n->rect;
    int32_t cutLine;
    Node* giver = nullptr;
    if (havePrevious && previousCut > e.top && previousCut < e.bottom) {
      cutLine = previousCut;
    } else {
      cutLine = e.bottom;
      Node* f = n->next;
      for (; f && f->rect.top == e.top; f = f->next) {
        cutLine = std::min(cutLine, f->rect.bottom);
      }
      if (f && f->rect.top < cutLine) {
        cutLine = f->rect.top;
        giver = f;
      }
    }
    if (cutLine < e.bottom) {
      Node* lower = NewNode({e.left, cutLine, e.right, e.bottom});
      e.bottom = cutLine;
      Node* after = giver;
      if (!after) {
        after = n;
        while (after->next && after->next->rect.top < cutLine) {
          after = after->next;
        }
      }
      lower->next = after->next;
      after->next = lower;
    }
    havePrevious = true;
    previousCut = cutLine;
  }
}

// Orders each band (a run of one top) by left and merges touching neighbours.
void RectListT<int32_t>::MergeWithinBands() {
  Node** link = &mHead;
  while (*link) {
    Node* last = *link;
    while (last->next && last->next->rect.top == last->rect.top) {
      last = last->next;
    }
    Node* const rest = last->next;
    last->next = nullptr;
    Node* n = SortBy(*link, &EdgeRect::left);
    *link = n;
    for (;;) {
      Node* following = n->next;
      if (following && n->rect.right == following->rect.left) {
        n->rect.right = following->rect.right;
        n->next = following->next;
        FreeNode(following);
      } else if (following) {
        n = following;
      } else {
        break;
      }
    }
    n->next = rest;
    link = &n->next;
  }
}

// Between consecutive bands (runs of one bottom, each ordered by left), a rectangle
// whose top is the bottom of one above with the same left and right absorbs it; the
// absorbing rectangle keeps its place, and absorbs in turn from the band above it.
void RectListT<int32_t>::MergeBetweenBands() {
  Node** upperLink = &mHead;
  while (*upperLink) {
    const int32_t upperBottom = (*upperLink)->rect.bottom;
    Node* lowerFirst = *upperLink;
    while (lowerFirst && lowerFirst->rect.bottom == upperBottom) {
      lowerFirst = lowerFirst->next;
    }
    if (!lowerFirst) {
      return;
    }
    const int32_t lowerBottom = lowerFirst->rect.bottom;
    Node** u = upperLink;
    for (Node* l = lowerFirst; *u != lowerFirst && l && l->rect.bottom == lowerBottom;) {
      Node* upper = *u;
      if (upper->rect.left < l->rect.left) {
        u = &upper->next;
      } else if (upper->rect.left > l->rect.left) {
        l = l->next;
      } else {
        if (upper->rect.right == l->rect.right && upper->rect.bottom == l->rect.top) {
          l->rect.top = upper->rect.top;
          *u = upper->next;
          FreeNode(upper);
        } else {
          u = &upper->next;
        }
        l = l->next;
      }
    }
    while (*upperLink != lowerFirst) {
      upperLink = &(*upperLink)->next;
    }
  }
}

void RectListT<int32_t>::FreeAll() {
  while (Node* n = mHead) {
    mHead = n->next;
    FreeNode(n);
  }
}

RegionPoolStatistics RectListT<int32_t>::GetPoolStatistics() { return RegionNodePool::Get().GetStatistics(); }

} // namespace QZ
