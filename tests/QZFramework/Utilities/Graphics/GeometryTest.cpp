#include "QZFramework/Utilities/Graphics/Geometry.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace {

using PointD = QZ::PointT<double>;
using PointI = QZ::PointT<int32_t>;
using RectD = QZ::RectT<double>;

} // namespace

TEST(GeometryTest, RoundingGoesHalfAwayFromZero) {
  EXPECT_EQ((PointD{2.5, -2.5}).Round(), (PointI{3, -3}));
  EXPECT_EQ((PointD{2.4999, -2.4999}).Round(), (PointI{2, -2}));
  EXPECT_EQ((PointD{-0.5, 0.5}).Round(), (PointI{-1, 1}));
}

TEST(GeometryTest, RoundingSaturatesAtTheIntRange) {
  EXPECT_EQ((PointD{3e9, -3e9}).Round(), (PointI{INT_MAX, INT_MIN}));
  EXPECT_EQ((PointD{2147483647.4, -2147483648.0}).Round(), (PointI{INT_MAX, INT_MIN}));
  EXPECT_EQ((PointD{2147483646.6, -2147483647.6}).Round(), (PointI{INT_MAX, INT_MIN}));
  EXPECT_EQ((PointD{INFINITY, -INFINITY}).Round(), (PointI{INT_MAX, INT_MIN}));
  EXPECT_EQ((PointD{NAN, 1.0}).Round(), (PointI{0, 1}));
  // 2^31 is a float; it saturates instead of overflowing.
  EXPECT_EQ((QZ::PointT<float>{2147483648.0f, -2147483648.0f}).Round(), (PointI{INT_MAX, INT_MIN}));
}

TEST(GeometryTest, WholeInt32TestNeedsEveryValueWholeAndInRange) {
  EXPECT_TRUE(QZ::AreWholeInt32(0.0, -0.0, 2147483647.0, -2147483648.0));
  // Any one value that is not, in any of the four places, makes the answer false.
  for (const double bad : {0.5, -0.5, 2147483648.0, -2147483649.0, double(NAN), double(INFINITY), -1e300}) {
    EXPECT_FALSE(QZ::AreWholeInt32(bad, 1.0, 2.0, 3.0)) << bad;
    EXPECT_FALSE(QZ::AreWholeInt32(1.0, bad, 2.0, 3.0)) << bad;
    EXPECT_FALSE(QZ::AreWholeInt32(1.0, 2.0, bad, 3.0)) << bad;
    EXPECT_FALSE(QZ::AreWholeInt32(1.0, 2.0, 3.0, bad)) << bad;
  }
}

TEST(GeometryTest, IntegerPointPlusDoublePointRoundsThenAddsSaturating) {
  EXPECT_EQ((PointI{1, 2} + PointD{2.5, -2.5}), (PointI{4, -1}));
  EXPECT_EQ((PointI{INT_MAX - 1, INT_MIN + 1} + PointD{5, -5}), (PointI{INT_MAX, INT_MIN}));
}

TEST(GeometryTest, NormalizeFlipsNegativeSizesAndFloorsEveryEdge) {
  RectD r{1.2, 1.7, 2.0, -1.0};
  r.Normalize();
  EXPECT_EQ(r, (RectD{1, 0, 2, 1}));

  RectD wide{-3.5, 0, -2.0, 4.9}; // from -5.5 to -3.5
  wide.Normalize();
  EXPECT_EQ(wide, (RectD{-6, 0, 2, 4}));
}

TEST(GeometryTest, NormalizeCountsAValueJustBelowAWholeNumberAsThatNumber) {
  RectD below{2.9999999999999996, 0, 1, 1};
  below.Normalize();
  EXPECT_EQ(below, (RectD{3, 0, 1, 1}));
  RectD clearlyBelow{2.99999, 0, 1, 1};
  clearlyBelow.Normalize();
  EXPECT_EQ(clearlyBelow, (RectD{2, 0, 1, 1}));
}

TEST(GeometryTest, IntersectionOfRectangles) {
  RectD out;
  EXPECT_TRUE(RectD::Intersect(out, {0, 0, 10, 10}, {5, -5, 10, 10}));
  EXPECT_EQ(out, (RectD{5, 0, 5, 5}));
  EXPECT_FALSE(RectD::Intersect(out, {0, 0, 10, 10}, {20, 0, 5, 5}));
  EXPECT_EQ(out.width, 0);
  EXPECT_FALSE(RectD::Intersect(out, {0, 0, 10, 10}, {10, 0, 5, 5})); // touching edges share nothing
  RectD a{0, 0, 4, 4};
  EXPECT_TRUE(RectD::Intersect(a, a, {2, 2, 4, 4})); // out may be an input
  EXPECT_EQ(a, (RectD{2, 2, 2, 2}));
}
