#include <gtest/gtest.h>

#include <vector>

#include "QZFramework/Utilities/Storage/Array.h"
#include "Support/CountedObject.h"

namespace {

using Position = QZ::IIterable<int>::Position;

std::vector<int> Items(const QZ::IIterable<int>& array) {
  std::vector<int> items;
  auto it = array.Begin();
  for (uint32_t i = 0; i < array.GetCount(); ++i) {
    items.push_back(*it++);
  }
  return items;
}

QZ::Array<int> MakeArray(const std::vector<int>& items) {
  QZ::Array<int> array;
  for (int item : items) {
    array.AddItem(item);
  }
  return array;
}

// The smallest contiguous implementation: every operation not below is a default.
// SetCount can be capped to make it fall short; its calls are counted.
class CappedArray final : public QZ::IArray<int> {
public:
  uint32_t GetCount() const override { return uint32_t(mItems.size()); }
  uint32_t SetCount(uint32_t count) override {
    ++setCountCalls;
    mItems.resize(std::min(count, cap));
    return GetCount();
  }
  QZ::QZResult InsertItems(uint32_t index, uint32_t count) override {
    if (index > GetCount()) {
      return QZ::QZ_E_INVALIDARG;
    }
    mItems.insert(mItems.begin() + index, count, 0);
    return int32_t(GetCount());
  }
  QZ::QZResult RemoveItems(uint32_t index, uint32_t count) override {
    if (index >= GetCount() || uint64_t(index) + count > GetCount()) {
      return QZ::QZ_E_INVALIDARG;
    }
    mItems.erase(mItems.begin() + index, mItems.begin() + index + count);
    return int32_t(GetCount());
  }
  using QZ::IArray<int>::GetData;
  int* GetData() override { return mItems.data(); }

  uint32_t cap = 0xFFFFFFFF;
  int setCountCalls = 0;

private:
  std::vector<int> mItems;
};

TEST(IArrayTest, AnEmptyArrayHasOnlyNullPositions) {
  QZ::Array<int> empty;
  EXPECT_EQ(empty.GetFirstPosition(), 0u);
  EXPECT_EQ(empty.GetLastPosition(), 0u);
  EXPECT_EQ(empty.GetEndPosition(), 0u);
  EXPECT_EQ(empty.GetBeforeFirstPosition(), 0u);
  EXPECT_EQ(empty.Begin(), empty.End());
  for (int32_t step : {-3, -1, 0, 1, 5}) {
    EXPECT_EQ(empty.Advance(0, step), 0u) << step;
  }
}

TEST(IArrayTest, PositionsAreItemAddressesAndAdvanceStopsAtBothEnds) {
  QZ::Array<int> array = MakeArray({10, 20, 30});
  const auto address = [&](int64_t index) {
    return Position(reinterpret_cast<uintptr_t>(array.GetData()) + index * 4);
  };
  EXPECT_EQ(array.GetFirstPosition(), address(0));
  EXPECT_EQ(array.GetLastPosition(), address(2));
  EXPECT_EQ(array.GetEndPosition(), address(3));
  EXPECT_EQ(array.GetBeforeFirstPosition(), address(-1));

  const Position last = array.GetLastPosition();
  const Position first = array.GetFirstPosition();
  EXPECT_EQ(array.Advance(last, 1), array.GetEndPosition());
  EXPECT_EQ(array.Advance(last, 5), array.GetEndPosition());
  EXPECT_EQ(array.Advance(first, -1), array.GetBeforeFirstPosition());
  EXPECT_EQ(array.Advance(first, -3), array.GetBeforeFirstPosition());
  EXPECT_EQ(array.Advance(array.GetBeforeFirstPosition(), 2), address(1));
  EXPECT_EQ(array.GetItemAt(array.Advance(first, 2)), 30);
}

TEST(IArrayTest, ReverseIteratorsWalkFromLastToFirst) {
  const QZ::Array<int> array = MakeArray({1, 2, 3, 4});
  std::vector<int> seen;
  auto it = array.RBegin();
  for (uint32_t i = 0; i < array.GetCount(); ++i) {
    seen.push_back(*it++);
  }
  EXPECT_EQ(seen, (std::vector<int>{4, 3, 2, 1}));
  EXPECT_EQ(it, array.REnd());
}

TEST(IArrayTest, AppendingAnArrayToItselfDoublesItInOrder) {
  QZ::Array<int> array = MakeArray({1, 2, 3});
  EXPECT_EQ(array.Append(array), 6);
  EXPECT_EQ(Items(array), (std::vector<int>{1, 2, 3, 1, 2, 3}));
  EXPECT_EQ(array.AppendArray(array), 12);
  EXPECT_EQ(Items(array), (std::vector<int>{1, 2, 3, 1, 2, 3, 1, 2, 3, 1, 2, 3}));
}

TEST(IArrayTest, AppendingAnEmptySourceKeepsTheCountWithoutResizing) {
  CappedArray array;
  array.SetCount(2);
  array.setCountCalls = 0;
  const QZ::Array<int> empty;
  EXPECT_EQ(array.Append(empty), 2);
  EXPECT_EQ(array.AppendArray(empty), 2);
  EXPECT_EQ(array.setCountCalls, 0);
}

TEST(IArrayTest, AResizeThatFallsShortCopiesNothing) {
  const QZ::Array<int> source = MakeArray({5, 6, 7});
  CappedArray array;
  array.AddItem(1);
  array.cap = 3;
  EXPECT_EQ(array.Append(source), QZ::QZ_E_FAIL);
  EXPECT_EQ(Items(array), (std::vector<int>{1, 0, 0}));
  array.SetCount(1);
  EXPECT_EQ(array.AppendArray(source), QZ::QZ_E_FAIL);
  EXPECT_EQ(Items(array), (std::vector<int>{1, 0, 0}));
}

TEST(IArrayTest, AssignReplacesTheItemsAndKeepsAnArrayAssignedToItself) {
  QZ::Array<int> array = MakeArray({1, 2, 3});
  EXPECT_EQ(array.Assign(MakeArray({8, 9})), 2);
  EXPECT_EQ(Items(array), (std::vector<int>{8, 9}));
  EXPECT_EQ(array.Assign(array), 2);
  EXPECT_EQ(Items(array), (std::vector<int>{8, 9}));
  EXPECT_EQ(array.Assign(QZ::Array<int>()), 0);
  EXPECT_EQ(array.GetCount(), 0u);
}

TEST(IArrayTest, SwapExchangesItemsAndRefusesIndexesOutOfRange) {
  QZ::Array<int> array = MakeArray({1, 2, 3});
  EXPECT_EQ(array.Swap(0, 2), QZ::QZ_OK);
  EXPECT_EQ(Items(array), (std::vector<int>{3, 2, 1}));
  EXPECT_EQ(array.Swap(2, 2), QZ::QZ_OK);
  EXPECT_EQ(array.Swap(0, 3), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(array.Swap(0xFFFFFFFF, 0), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(Items(array), (std::vector<int>{3, 2, 1}));
}

TEST(IArrayTest, IndexOfFindsTheFirstEqualItem) {
  const QZ::Array<int> array = MakeArray({4, 7, 4, 9});
  EXPECT_EQ(array.IndexOf(4), 0);
  EXPECT_EQ(array.IndexOf(9), 3);
  EXPECT_EQ(array.IndexOf(5), -1);
  EXPECT_EQ(QZ::Array<int>().IndexOf(0), -1);
}

TEST(IArrayTest, ArraysAreEqualWhenCountsAndItemsAre) {
  EXPECT_TRUE(QZ::Array<int>() == QZ::Array<int>());
  EXPECT_TRUE(MakeArray({1, 2}) == MakeArray({1, 2}));
  EXPECT_FALSE(MakeArray({1, 2}) == MakeArray({1, 3}));
  EXPECT_FALSE(MakeArray({1, 2}) == MakeArray({1, 2, 3}));
  CappedArray other;
  other.AddItem(1);
  other.AddItem(2);
  EXPECT_TRUE(MakeArray({1, 2}) == other);
}

TEST(IArrayTest, SmartPointerItemsHoldOneReferencePerItem) {
  using Ptr = QZ::RCPtr<QZTest::CountedObject>;
  QZTest::InstanceCounter counter;
  {
    Ptr a(new QZTest::CountedObject(counter, 1));
    Ptr b(new QZTest::CountedObject(counter, 2));
    QZ::Array<Ptr> array;
    array.AddItem(a);
    array.AddItem(b);
    EXPECT_EQ(array.Swap(0, 1), QZ::QZ_OK);
    EXPECT_EQ(array.GetAt(0), b);
    EXPECT_EQ(a->GetRefCount(), 2);
    EXPECT_EQ(b->GetRefCount(), 2);

    EXPECT_EQ(array.Append(array), 4);
    EXPECT_EQ(array.AppendArray(array), 8);
    EXPECT_EQ(a->GetRefCount(), 5);

    QZ::Array<Ptr> copy;
    EXPECT_EQ(copy.Assign(array), 8);
    EXPECT_EQ(a->GetRefCount(), 9);

    Ptr removed;
    EXPECT_EQ(copy.RemoveItem(0, removed), 7);
    EXPECT_EQ(removed, b);
    EXPECT_EQ(b->GetRefCount(), 9);
    copy.RemoveAll();
    removed = nullptr;
    EXPECT_EQ(a->GetRefCount(), 5);
    EXPECT_EQ(b->GetRefCount(), 5);
  }
  EXPECT_EQ(counter.live.load(), 0);
}

} // namespace
