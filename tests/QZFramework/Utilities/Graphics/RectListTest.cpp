#include "QZFramework/Utilities/Graphics/RectList.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "QZFramework/Utilities/Storage/Array.h"

namespace {

using QZ::EdgeRect;
using Region = QZ::RectListT<int32_t>;
using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;

std::vector<EdgeRect> Rects(const Region& region) { return {region.begin(), region.end()}; }

int64_t Area(const Region& region) {
  int64_t area = 0;
  for (const EdgeRect& r : region) {
    area += r.Area();
  }
  return area;
}

bool Disjoint(const Region& region) {
  const std::vector<EdgeRect> rects = Rects(region);
  for (size_t i = 0; i < rects.size(); ++i) {
    for (size_t j = i + 1; j < rects.size(); ++j) {
      if (rects[i].Overlaps(rects[j])) {
        return false;
      }
    }
  }
  return true;
}

} // namespace

namespace QZ {
void PrintTo(const EdgeRect& r, std::ostream* out) {
  *out << "{" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "}";
}
} // namespace QZ

TEST(RectListTest, AddingOverlappingRectanglesCoversTheUnionWithDisjointPieces) {
  Region region;
  region.AddRect({0, 0, 10, 10});
  region.AddRect({5, 5, 15, 15});
  EXPECT_TRUE(Disjoint(region));
  EXPECT_EQ(Area(region), 175);
  // The new rectangle sits whole at the head; the old one is cut around it.
  EXPECT_EQ(Rects(region).front(), (EdgeRect{5, 5, 15, 15}));
  EXPECT_THAT(Rects(region),
              UnorderedElementsAre(EdgeRect{5, 5, 15, 15}, EdgeRect{0, 0, 10, 5}, EdgeRect{0, 5, 5, 10}));
}

TEST(RectListTest, OneRectangleIsToldFromNoneAndFromMoreThroughEveryChange) {
  Region region;
  EXPECT_FALSE(region.IsSingle());
  region.AddRect({0, 0, 10, 10});
  EXPECT_TRUE(region.IsSingle());
  region.AddRect({2, 2, 4, 4}); // the outer one is cut around it
  EXPECT_FALSE(region.IsSingle());
  region.Normalize(); // merged back into one
  EXPECT_EQ(region.GetCount(), 1u);
  EXPECT_TRUE(region.IsSingle());
  region.SubtractRect({0, 0, 10, 10});
  EXPECT_FALSE(region.IsSingle());
  EXPECT_TRUE(region.IsEmpty());
  region.AddRect({1, 1, 2, 2});
  Region moved(std::move(region));
  EXPECT_TRUE(moved.IsSingle());
  moved.Clear();
  EXPECT_FALSE(moved.IsSingle());
}

TEST(RectListTest, SubtractingAnInnerRectangleLeavesFourPiecesAround) {
  Region region;
  region.AddRect({0, 0, 10, 10});
  region.SubtractRect({2, 2, 4, 4});
  EXPECT_EQ(region.GetCount(), 4u);
  EXPECT_EQ(Area(region), 96);
  EXPECT_TRUE(Disjoint(region));
  // Pieces in the order they were cut: above, below, left, right, each put at the head.
  EXPECT_THAT(Rects(region),
              ElementsAre(EdgeRect{4, 2, 10, 4}, EdgeRect{0, 2, 2, 4}, EdgeRect{0, 4, 10, 10}, EdgeRect{0, 0, 10, 2}));
}

TEST(RectListTest, SubtractionHandsTheOverlapsToTheCutList) {
  Region region;
  region.AddRect({0, 0, 10, 10});
  region.AddRect({20, 0, 30, 10});
  Region cut;
  region.SubtractRect({5, 0, 25, 5}, &cut);
  EXPECT_EQ(Area(region), 150);
  EXPECT_THAT(Rects(cut), UnorderedElementsAre(EdgeRect{5, 0, 10, 5}, EdgeRect{20, 0, 25, 5}));
}

TEST(RectListTest, EmptyOrInvertedRectanglesChangeNothing) {
  Region region;
  region.AddRect({0, 0, 10, 10});
  for (const EdgeRect& empty : {EdgeRect{5, 0, 5, 10}, EdgeRect{0, 5, 10, 5}, EdgeRect{8, 0, 2, 10}}) {
    region.AddRect(empty);
    region.SubtractRect(empty);
    EXPECT_THAT(Rects(region), ElementsAre(EdgeRect{0, 0, 10, 10}));
    EXPECT_FALSE(region.Intersects(empty));
  }
}

TEST(RectListTest, IntersectKeepsOnlyCommonPixels) {
  Region region;
  region.AddRect({0, 0, 10, 10});
  Region other;
  other.AddRect({5, 5, 20, 20});
  other.AddRect({-5, -5, 2, 2});
  region.Intersect(other);
  EXPECT_EQ(Area(region), 25 + 4);
  EXPECT_TRUE(Disjoint(region));

  region.Intersect(region); // with itself: unchanged
  EXPECT_EQ(Area(region), 29);

  region.Intersect(Region());
  EXPECT_TRUE(region.IsEmpty());
}

TEST(RectListTest, SubtractingItselfEmptiesTheList) {
  Region region;
  region.AddRect({0, 0, 10, 10});
  region.AddRect({20, 0, 30, 10});
  Region cut;
  region.Subtract(region, &cut);
  EXPECT_TRUE(region.IsEmpty());
  EXPECT_EQ(Area(cut), 200);
}

TEST(RectListTest, AppendKeepsOverlapsAndMayAppendItself) {
  Region region;
  region.AddRect({0, 0, 10, 10});
  region.Append(region);
  EXPECT_THAT(Rects(region), ElementsAre(EdgeRect{0, 0, 10, 10}, EdgeRect{0, 0, 10, 10}));
}

TEST(RectListTest, OffsetSaturatesAndDropsRectanglesPushedPastTheRange) {
  Region region;
  region.AddRect({0, 0, 10, 10});
  region.AddRect({INT_MAX - 5, 0, INT_MAX, 10});
  region.Offset(3, -4);
  EXPECT_THAT(Rects(region), ElementsAre(EdgeRect{INT_MAX - 2, -4, INT_MAX, 6}, EdgeRect{3, -4, 13, 6}));
  region.Offset(10, 0);
  EXPECT_THAT(Rects(region), ElementsAre(EdgeRect{13, -4, 23, 6}));
}

TEST(RectListTest, BoundsOfEmptyAndFilledLists) {
  Region region;
  EdgeRect bounds{1, 2, 3, 4};
  EXPECT_FALSE(region.GetBounds(bounds));
  EXPECT_EQ(bounds, EdgeRect{});
  region.AddRect({0, 5, 10, 10});
  region.AddRect({-3, 20, 2, 30});
  EXPECT_TRUE(region.GetBounds(bounds));
  EXPECT_EQ(bounds, (EdgeRect{-3, 5, 10, 30}));
}

TEST(RectListTest, ToRectArrayReplacesTheArrayContents) {
  Region region;
  region.AddRect({1, 2, 4, 8});
  region.AddRect({INT_MIN, 20, INT_MAX, 21});
  QZ::Array<QZ::RectT<int32_t>> out;
  out.AddItem({9, 9, 9, 9});
  region.ToRectArray(out);
  ASSERT_EQ(out.GetCount(), 2u);
  EXPECT_EQ(out.GetAt(0), (QZ::RectT<int32_t>{INT_MIN, 20, INT_MAX, 1})); // width saturates
  EXPECT_EQ(out.GetAt(1), (QZ::RectT<int32_t>{1, 2, 3, 6}));
}

TEST(RectListTest, IntersectsWithADoubleRectangleLimitsAndRounds) {
  Region region;
  region.AddRect({10, 10, 20, 20});
  EXPECT_TRUE(region.Intersects(QZ::RectT<double>{0, 0, 5, 5}, {8, 8}));
  EXPECT_FALSE(region.Intersects(QZ::RectT<double>{0, 0, 5, 5}, {4.4, 4.4}));   // right 9.4 rounds to 9
  EXPECT_TRUE(region.Intersects(QZ::RectT<double>{0, 0, 5, 5}, {5.5, 5.5}));    // right 10.5 rounds to 11
  EXPECT_FALSE(region.Intersects(QZ::RectT<double>{12, 12, 1e-20, 5}, {0, 0})); // too thin
  EXPECT_FALSE(region.Intersects(QZ::RectT<double>{12, 12, NAN, 5}, {0, 0}));

  Region origin;
  origin.AddRect({0, 0, 1, 1});
  EXPECT_TRUE(origin.Intersects(QZ::RectT<double>{-100, -100, 100.6, 100.6}, {0, 0})); // left raised to 0
}

TEST(RectListTest, ConversionFromADoubleRectangleTruncatesAfterAddingAHalf) {
  EXPECT_EQ(EdgeRect::FromRect({1.4, 1.6, 2.4, 2.6}), (EdgeRect{1, 2, 3, 5}));
  EXPECT_EQ(EdgeRect::FromRect({-2.5, -0.4, 1, 1}), (EdgeRect{-2, 0, -1, 1}));
  EXPECT_EQ(EdgeRect::FromRect({1e12, -1e12, 1e12, 5}), (EdgeRect{INT_MAX, INT_MIN, INT_MAX, INT_MIN + 5}));
  EXPECT_TRUE(Region(QZ::RectT<double>{0, 0, 0.4, 10}).IsEmpty());
  EXPECT_EQ(Region(QZ::RectT<double>{0, 0, 2, 3}).GetCount(), 1u);
}

TEST(RectListTest, CopiesKeepTheOrderAndOwnTheirNodes) {
  Region region;
  region.AddRect({0, 0, 10, 10});
  region.SubtractRect({2, 2, 4, 4});
  Region copy(region);
  EXPECT_EQ(Rects(copy), Rects(region));
  copy.Clear();
  EXPECT_EQ(region.GetCount(), 4u);
  copy = region;
  Region moved(std::move(copy));
  EXPECT_EQ(Rects(moved), Rects(region));
  EXPECT_TRUE(copy.IsEmpty()); // a moved-from list is empty
  Region assigned;
  assigned.AddRect({20, 20, 30, 30});
  assigned = std::move(moved); // the root window's dirty region is taken so, and not cleared after
  EXPECT_EQ(Rects(assigned), Rects(region));
  EXPECT_TRUE(moved.IsEmpty());
}

TEST(RectListTest, NormalizeMergesTheBandsOfAnLShape) {
  Region region;
  region.AddRect({5, 10, 15, 20}); // foot
  region.AddRect({0, 0, 5, 20});   // upright
  region.Normalize();
  EXPECT_THAT(Rects(region), ElementsAre(EdgeRect{0, 0, 5, 10}, EdgeRect{0, 10, 15, 20}));
}

TEST(RectListTest, NormalizeRestoresOneRectangleFromItsPieces) {
  Region region;
  region.AddRect({0, 0, 10, 10});
  region.SubtractRect({2, 2, 4, 4});
  region.AddRect({2, 2, 4, 4});
  ASSERT_EQ(region.GetCount(), 5u);
  region.Normalize();
  EXPECT_THAT(Rects(region), ElementsAre(EdgeRect{0, 0, 10, 10}));
}

TEST(RectListTest, NormalizeCutsAtEveryEdgeAndAbsorbsEqualSpansBelow) {
  Region region;
  region.AddRect({20, 0, 30, 5});
  region.AddRect({0, 0, 10, 10});
  region.Normalize();
  // Cut at 5 into two bands; the lower piece of the left column absorbs its upper piece
  // and keeps its place in the lower band.
  EXPECT_THAT(Rects(region), ElementsAre(EdgeRect{20, 0, 30, 5}, EdgeRect{0, 0, 10, 10}));

  Region staircase;
  staircase.AddRect({0, 0, 10, 10});
  staircase.AddRect({20, 2, 30, 20});
  staircase.AddRect({40, 2, 50, 6});
  staircase.Normalize();
  // Cut into bands at 2, 6 and 10, then merged back down each column.
  EXPECT_THAT(Rects(staircase), ElementsAre(EdgeRect{40, 2, 50, 6}, EdgeRect{0, 0, 10, 10}, EdgeRect{20, 2, 30, 20}));
}

TEST(RectListTest, NormalizeMergesTouchingNeighboursOfABand) {
  Region region;
  for (int32_t x = 0; x < 50; x += 10) {
    region.AddRect({x, 0, x + 10, 4});
  }
  region.AddRect({60, 0, 70, 4});
  region.Normalize();
  EXPECT_THAT(Rects(region), ElementsAre(EdgeRect{0, 0, 50, 4}, EdgeRect{60, 0, 70, 4}));
}

TEST(RectListTest, ThePoolServesTheFirst512NodesAndTheHeapTheRest) {
  const QZ::RegionPoolStatistics before = Region::GetPoolStatistics();
  ASSERT_EQ(before.liveNodes, 0u) << "another test left nodes alive";
  {
    Region region;
    for (int32_t i = 0; i < 600; ++i) {
      region.AddRect({2 * i, 0, 2 * i + 1, 1});
    }
    const QZ::RegionPoolStatistics full = Region::GetPoolStatistics();
    EXPECT_EQ(full.liveNodes, 600u);
    EXPECT_EQ(full.freeSlots, 0u);
    EXPECT_EQ(full.heapNodes, 88u);
    EXPECT_GE(full.highWater, 600u);
  }
  const QZ::RegionPoolStatistics released = Region::GetPoolStatistics();
  EXPECT_EQ(released.liveNodes, 0u);
  EXPECT_EQ(released.freeSlots, 512u); // heap nodes were deleted, not pooled
  EXPECT_EQ(released.heapNodes, 0u);

  Region again;
  again.AddRect({0, 0, 1, 1});
  EXPECT_EQ(Region::GetPoolStatistics().freeSlots, 511u);
  EXPECT_EQ(Region::GetPoolStatistics().heapNodes, 0u);
}
