#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

#include "QZFramework/Utilities/Storage/Array.h"
#include "QZFramework/Utilities/Storage/ArrayUtils.h"
#include "QZFramework/Utilities/Storage/FixedArray.h"
#include "Support/TestSeed.h"

namespace {

struct Child {
  int layer = 0;
  int id = 0;
};

QZ::Array<int> MakeArray(const std::vector<int>& items) {
  QZ::Array<int> array;
  for (int item : items) {
    array.AddItem(item);
  }
  return array;
}

std::vector<unsigned> Items(const QZ::IArray<unsigned>& indices) {
  return std::vector<unsigned>(indices.GetData(), indices.GetData() + indices.GetCount());
}

template <class Call>
std::string ThrownText(Call call) {
  try {
    call();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "no exception";
}

TEST(ArrayUtilsTest, SortOrdersARangeInPlace) {
  QZ::Array<int> array = MakeArray({9, 5, 3, 7, 1, 0});
  QZ::ArrayUtils::Sort(array, 1, 4, std::less<int>());
  EXPECT_EQ(array, MakeArray({9, 1, 3, 5, 7, 0}));
  QZ::ArrayUtils::Sort(array, 0, 6, std::greater<int>());
  EXPECT_EQ(array, MakeArray({9, 7, 5, 3, 1, 0}));
}

TEST(ArrayUtilsTest, SortIgnoresShortRangesAndRefusesRangesPastTheEnd) {
  QZ::Array<int> array = MakeArray({3, 2, 1});
  QZ::ArrayUtils::Sort(array, 10, 0, std::less<int>());
  QZ::ArrayUtils::Sort(array, 10, 1, std::less<int>());
  const char* text = "Out of Range : QZ::ArrayUtils::Sort : qzframework\\utilities\\Storage/ArrayUtils : Line 255";
  EXPECT_EQ(ThrownText([&] { QZ::ArrayUtils::Sort(array, 2, 2, std::less<int>()); }), text);
  EXPECT_EQ(ThrownText([&] { QZ::ArrayUtils::Sort(array, 0xFFFFFFFF, 2, std::less<int>()); }), text);
  EXPECT_THROW(QZ::ArrayUtils::Sort(array, 1, 0xFFFFFFFF, std::less<int>()), std::out_of_range);
  EXPECT_EQ(array, MakeArray({3, 2, 1}));
}

TEST(ArrayUtilsTest, SortIndeciesListsTheRangeInOrderWithoutMovingItems) {
  const QZ::Array<int> array = MakeArray({40, 10, 30, 20, 0});
  QZ::Array<unsigned> order;
  QZ::ArrayUtils::SortIndecies(order, array, 1, 3,
                               [&](unsigned a, unsigned b) { return array.GetAt(a) < array.GetAt(b); });
  EXPECT_EQ(Items(order), (std::vector<unsigned>{1, 3, 2}));
  EXPECT_EQ(array, MakeArray({40, 10, 30, 20, 0}));

  QZ::ArrayUtils::SortIndecies(order, array, 4, 1, std::less<unsigned>());
  EXPECT_EQ(Items(order), (std::vector<unsigned>{4}));
  QZ::ArrayUtils::SortIndecies(order, array, 5, 0, std::less<unsigned>());
  EXPECT_EQ(order.GetCount(), 0u);
}

TEST(ArrayUtilsTest, SortIndeciesRefusesRangesPastTheEndAndKeepsTheList) {
  const QZ::Array<int> array = MakeArray({1, 2, 3});
  QZ::Array<unsigned> order;
  order.AddItem(7);
  const char* text =
      "Out of Range : QZ::ArrayUtils::SortIndecies : qzframework\\utilities\\Storage/ArrayUtils : Line 268";
  EXPECT_EQ(ThrownText([&] { QZ::ArrayUtils::SortIndecies(order, array, 4, 0, std::less<unsigned>()); }), text);
  EXPECT_EQ(ThrownText([&] { QZ::ArrayUtils::SortIndecies(order, array, 0xFFFFFFFF, 2, std::less<unsigned>()); }),
            text);
  EXPECT_EQ(ThrownText([&] { QZ::ArrayUtils::SortIndecies(order, array, 2, 0xFFFFFFFF, std::less<unsigned>()); }),
            text);
  EXPECT_EQ(Items(order), (std::vector<unsigned>{7}));

  QZ::SimpleFixedArray<unsigned, 2> tooSmall;
  EXPECT_EQ(ThrownText([&] { QZ::ArrayUtils::SortIndecies(tooSmall, array, 0, 3, std::less<unsigned>()); }),
            "Runtime Error : QZ::ArrayUtils::SortIndecies : qzframework\\utilities\\Storage/ArrayUtils : Line 271");
}

TEST(ArrayUtilsTest, ATieBreakByIndexKeepsEqualKeysInTheirOrder) {
  // Enough items, with few distinct keys, that the sort partitions rather than inserts.
  const QZTest::TestSeed seed;
  std::mt19937 random(uint32_t(seed.value));
  QZ::Array<Child> children;
  for (int id = 0; id < 500; ++id) {
    children.AddItem({int(random() % 4), id});
  }
  const auto byLayer = [&](unsigned a, unsigned b) {
    const int la = children.GetAt(a).layer;
    const int lb = children.GetAt(b).layer;
    return la != lb ? la < lb : a < b;
  };
  QZ::Array<unsigned> order;
  QZ::ArrayUtils::SortIndecies(order, children, 0, children.GetCount(), byLayer);

  std::vector<unsigned> expected(children.GetCount());
  std::iota(expected.begin(), expected.end(), 0u);
  std::stable_sort(expected.begin(), expected.end(),
                   [&](unsigned a, unsigned b) { return children.GetAt(a).layer < children.GetAt(b).layer; });
  EXPECT_EQ(Items(order), expected);

  QZ::ArrayUtils::Sort(children, 0, children.GetCount(), [](const Child& a, const Child& b) {
    return a.layer != b.layer ? a.layer < b.layer : a.id < b.id;
  });
  for (uint32_t i = 0; i < children.GetCount(); ++i) {
    ASSERT_EQ(unsigned(children.GetAt(i).id), expected[i]) << i;
  }
}

} // namespace
