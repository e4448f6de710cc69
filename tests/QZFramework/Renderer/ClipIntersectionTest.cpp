#include "QZFramework/Renderer/ClipIntersection.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>

namespace {

using Rect = QZ::RectT<double>;

// Edges that make the scalar comparisons go every way: NaN, signed zeros, infinities,
// fractions, equal and far apart values.
constexpr double kInf = std::numeric_limits<double>::infinity();
const std::array<double, 13> kValues{
    -kInf, -1e300, -2.5, -1.0, -0.0, 0.0, 0.4, 1.0, 3.0, 10.0, 1e16, kInf, std::numeric_limits<double>::quiet_NaN()};

Rect RandomRect(std::mt19937& random) {
  std::uniform_int_distribution<size_t> pick(0, kValues.size() - 1);
  return {kValues[pick(random)], kValues[pick(random)], kValues[pick(random)], kValues[pick(random)]};
}

// Bit for bit: a signed zero or a NaN that differs shows.
bool SameBits(const Rect& a, const Rect& b) { return std::memcmp(&a, &b, sizeof(Rect)) == 0; }

} // namespace

TEST(ClipIntersectionTest, GivesTheRectangleAndAnswerOfIntersectForEveryKindOfEdge) {
  std::mt19937 random(7);
  for (int i = 0; i < 200000; ++i) {
    const Rect a = RandomRect(random);
    const Rect b = RandomRect(random);
    Rect expected;
    const bool expectedAnswer = Rect::Intersect(expected, a, b);
    Rect packed{5.0, 5.0, 5.0, 5.0};
    const bool answer = QZ::IntersectClip(packed, a, b);
    ASSERT_EQ(answer, expectedAnswer) << i;
    ASSERT_TRUE(SameBits(packed, expected)) << i;
  }
}

TEST(ClipIntersectionTest, ClipKeepsAnswersAsTwoIntersectionsComparedWithTheCurrentClip) {
  std::mt19937 random(11);
  int kept = 0;
  for (int i = 0; i < 200000; ++i) {
    const Rect a = RandomRect(random);
    const Rect b = RandomRect(random);
    // A third of the current clips are a or b themselves, for the answers that keep it.
    const Rect current = i % 3 == 0 ? a : i % 3 == 1 ? b : RandomRect(random);
    Rect r;
    Rect::Intersect(r, a, b);
    Rect::Intersect(r, r, current);
    const bool expected = r == current;
    ASSERT_EQ(QZ::ClipKeeps(a, b, current), expected) << i;
    kept += expected ? 1 : 0;
  }
  EXPECT_GT(kept, 1000); // both answers were tried
}

TEST(ClipIntersectionTest, ClipKeepsTheCurrentClipOnlyWhenBothHoldIt) {
  const Rect current{10.0, 20.0, 30.0, 40.0};
  EXPECT_TRUE(QZ::ClipKeeps({0.0, 0.0, 100.0, 100.0}, current, current));
  EXPECT_TRUE(QZ::ClipKeeps({10.0, 20.0, 30.0, 40.0}, {-5.0, -5.0, 60.0, 70.0}, current));
  EXPECT_FALSE(QZ::ClipKeeps({11.0, 20.0, 30.0, 40.0}, {0.0, 0.0, 100.0, 100.0}, current));
  EXPECT_FALSE(QZ::ClipKeeps({0.0, 0.0, 100.0, 100.0}, {10.0, 20.0, 30.0, 39.5}, current));
  // An empty current clip is kept by anything that leaves it empty at its corner.
  EXPECT_TRUE(QZ::ClipKeeps({0.0, 0.0, 100.0, 100.0}, {0.0, 0.0, 100.0, 100.0}, {10.0, 20.0, 0.0, 0.0}));
}
