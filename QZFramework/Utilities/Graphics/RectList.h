#pragma once
// QZ::RectListT<int32_t>: a region, a set of disjoint half-open integer rectangles in a
// singly linked list. Windows and controls keep their dirty and update areas in it.
//
//   QZ::RectListT<int32_t> dirty;
//   dirty.AddRect({0, 0, 10, 10});
//   dirty.AddRect({5, 5, 15, 15});        // union: disjoint pieces covering 175 pixels
//   dirty.SubtractRect({2, 2, 4, 4});
//   dirty.Normalize();                    // fewest pieces, banded top to bottom
//   for (const QZ::EdgeRect& r : dirty) { ... }
//
// A list never holds an empty rectangle. Its rectangles stay disjoint while only
// AddRect, the subtractions and Intersect change it; Append does not check.
//
// Nodes come from one process-wide pool of 512 slots (beyond that, from the heap), so
// regions that change on every paint do not touch the heap. The pool is locked; a list
// itself is not, and belongs to one thread at a time. Out of memory throws
// std::bad_alloc and leaves the list covering the same pixels as before the call.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <limits>

#include "QZFramework/Utilities/Graphics/Geometry.h"
#include "QZFramework/Utilities/Storage/IArray.h"

namespace QZ {

// A rectangle by its edges: the area left <= x < right, top <= y < bottom.
struct EdgeRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;

  // Empty unless right > left and bottom > top.
  bool IsEmpty() const { return right <= left || bottom <= top; }
  // Whether both are non-empty and share a pixel.
  bool Overlaps(const EdgeRect& other) const {
    return !IsEmpty() && !other.IsEmpty() && left < other.right && other.left < right && top < other.bottom &&
           other.top < bottom;
  }
  // The number of pixels covered; 0 when empty.
  int64_t Area() const { return IsEmpty() ? 0 : (int64_t(right) - left) * (int64_t(bottom) - top); }

  // From a double rectangle: left = trunc(x + 0.5), top = trunc(y + 0.5),
  // right = left + trunc(width + 0.5), bottom = top + trunc(height + 0.5), each
  // saturated at the 32-bit range.
  static EdgeRect FromRect(const RectT<double>& rect);
  // {left, top, right - left, bottom - top}; a size beyond the 32-bit range saturates.
  // Inline: painting converts each update rectangle several times per control.
  RectT<int32_t> ToRect() const {
    auto saturated = [](int64_t value) {
      return int32_t(
          std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
    };
    return {left, top, saturated(int64_t(right) - left), saturated(int64_t(bottom) - top)};
  }

  bool operator==(const EdgeRect&) const = default;
};

// Counters of the process-wide node pool, for diagnostics and tests.
struct RegionPoolStatistics {
  uint32_t liveNodes = 0; // nodes held by all lists
  uint32_t highWater = 0; // most nodes ever live at once
  uint32_t freeSlots = 0; // pooled slots ready for reuse
  uint32_t heapNodes = 0; // live nodes that the heap serves because the pool was full
};

// A node of a list: one rectangle and the link to the next (pool-allocated). Visible here
// so that walking a list costs no calls.
struct RegionNode {
  EdgeRect rect;
  RegionNode* next = nullptr;
};

template <class T>
class RectListT;

template <>
class RectListT<int32_t> {
public:
  // Walks the rectangles from the head; invalidated by any change of the list.
  class ConstIterator {
  public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = EdgeRect;
    using difference_type = std::ptrdiff_t;
    using pointer = const EdgeRect*;
    using reference = const EdgeRect&;

    ConstIterator() = default;
    reference operator*() const { return mNode->rect; }
    pointer operator->() const { return &**this; }
    ConstIterator& operator++() {
      mNode = mNode->next;
      return *this;
    }
    ConstIterator operator++(int) {
      ConstIterator old = *this;
      ++*this;
      return old;
    }
    bool operator==(const ConstIterator&) const = default;

  private:
    friend class RectListT;
    explicit ConstIterator(const RegionNode* node) : mNode(node) {}
    const RegionNode* mNode = nullptr;
  };

  RectListT() = default;
  // A region of one rectangle (EdgeRect::FromRect); nothing when that is empty.
  explicit RectListT(const RectT<double>& rect);
  // Copies keep the order of the rectangles.
  RectListT(const RectListT& other);
  RectListT(RectListT&& other) noexcept;
  RectListT& operator=(const RectListT& other);
  RectListT& operator=(RectListT&& other) noexcept;
  // Inline, as Clear: painting makes and drops lists that are mostly empty.
  ~RectListT() { Clear(); }

  // Adds the pixels of rect: cuts it out of the list, then puts it at the head.
  // An empty rectangle changes nothing.
  void AddRect(const EdgeRect& rect);
  // Removes the pixels of rect. Each node it meets is split into up to four pieces
  // around it (put at the head); the overlapping piece goes to the head of cut when
  // given. An empty rectangle changes nothing.
  void SubtractRect(const EdgeRect& rect, RectListT* cut = nullptr);
  // SubtractRect with each rectangle of other in its order.
  void Subtract(const RectListT& other, RectListT* cut = nullptr);
  // Keeps only the pixels that other covers too.
  void Intersect(const RectListT& other);
  // Puts a copy of each rectangle of other at the head, overlaps included.
  void Append(const RectListT& other);
  // Moves every rectangle; edges saturate at the 32-bit range, and a rectangle pushed
  // wholly past it (empty after saturation) is dropped.
  void Offset(int32_t dx, int32_t dy);

  // Walks the list: IsEmpty and IsSingle answer the common questions without it.
  uint32_t GetCount() const;
  bool IsEmpty() const { return mHead == nullptr; }
  // Whether the list holds exactly one rectangle.
  bool IsSingle() const { return mHead != nullptr && mHead->next == nullptr; }
  // The smallest rectangle holding every rectangle; false and all zeros when empty.
  bool GetBounds(EdgeRect& bounds) const;
  // Empties out, then appends each rectangle as {x, y, width, height}; an array that
  // cannot grow keeps what fits.
  void ToRectArray(IArray<RectT<int32_t>>& out) const;
  // Whether any rectangle overlaps rect (an empty rect overlaps nothing).
  bool Intersects(const EdgeRect& rect) const;
  // Whether any rectangle overlaps rect moved by offset, with the edges limited to
  // 0..2147483647 and rounded half away from zero; false when the limited width or
  // height is not above DBL_EPSILON.
  bool Intersects(const RectT<double>& rect, const PointT<double>& offset) const;
  // Rewrites the list into its banded form: sorted by top; rectangles cut so that those
  // sharing a top share a bottom; within a band ordered by left with touching
  // neighbours merged; then a rectangle directly below one of the same left and right
  // absorbs it. Covers the same pixels with no more rectangles than needed per band.
  void Normalize();
  // Returns every node to the pool.
  void Clear() {
    if (mHead) {
      FreeAll();
    }
  }

  ConstIterator begin() const { return ConstIterator(mHead); }
  ConstIterator end() const { return ConstIterator(); }

  // A snapshot of the pool's counters (taken under its lock).
  static RegionPoolStatistics GetPoolStatistics();

private:
  void PushHead(const EdgeRect& rect);
  void FreeAll();
  void CutIntoBands();
  void MergeWithinBands();
  void MergeBetweenBands();

  RegionNode* mHead = nullptr;
};

} // namespace QZ
