#pragma once
// QZ::ArrayUtils: sorting a range of an array, in place or as a list of indices.
//
//   // children in drawing order, equal layers in their order among the children
//   QZ::ArrayUtils::SortIndecies(order, children, 0, children.GetCount(),
//       [&](uint32_t a, uint32_t b) {
//         const int la = children.GetAt(a)->Layer(), lb = children.GetAt(b)->Layer();
//         return la != lb ? la < lb : a < b;
//       });
//
// A comparison answers true when its first argument must come before its second (a
// strict weak ordering). The sort is not stable: a comparison that breaks ties by
// index keeps equal items in their order. A range that does not lie inside the array
// throws "Out of Range" and changes nothing. Not synchronised.

#include <algorithm>

#include "QZFramework/Utilities/Storage/IArray.h"

namespace QZ::ArrayUtils {

// Sorts items first .. first + count - 1 in place. count < 2 does nothing, wherever
// first lies.
template <class T, class Compare>
void Sort(IArray<T>& array, uint32_t first, uint32_t count, Compare compare) {
  if (count < 2) {
    return;
  }
  if (uint64_t(first) + count > array.GetCount()) {
    Throw<std::out_of_range>({"QZ::ArrayUtils::Sort", R"(qzframework\utilities\Storage/ArrayUtils)", 255});
  }
  T* items = array.GetData() + first;
  std::sort(items, items + count, compare);
}

// Sets indices to first .. first + count - 1 ordered by compare, which is called with
// two index values; array is not changed. The range is checked for every count.
// Throws "Runtime Error" when indices cannot hold count entries (it keeps the count it
// reached, unsorted).
template <class T, class Compare>
void SortIndecies(IArray<unsigned int>& indices, const IArray<T>& array, uint32_t first, uint32_t count,
                  Compare compare) {
  if (uint64_t(first) + count > array.GetCount()) {
    Throw<std::out_of_range>({"QZ::ArrayUtils::SortIndecies", R"(qzframework\utilities\Storage/ArrayUtils)", 268});
  }
  if (indices.SetCount(count) != count) {
    Throw<std::runtime_error>({"QZ::ArrayUtils::SortIndecies", R"(qzframework\utilities\Storage/ArrayUtils)", 271});
  }
  if (count == 0) {
    return;
  }
  unsigned int* order = indices.GetData();
  for (uint32_t i = 0; i < count; ++i) {
    order[i] = first + i;
  }
  std::sort(order, order + count, compare);
}

} // namespace QZ::ArrayUtils
