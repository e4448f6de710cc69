// Random sequences of region operations against a pixel-set model. The seed is printed
// with every failure; set QZ_TEST_SEED to replay one.

#include "QZFramework/Utilities/Graphics/RectList.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "Support/TestSeed.h"

namespace {

using QZ::EdgeRect;
using Region = QZ::RectListT<int32_t>;
using Pixels = std::set<std::pair<int32_t, int32_t>>;

Pixels PixelsOf(const EdgeRect& r) {
  Pixels pixels;
  for (int32_t y = r.top; y < r.bottom; ++y) {
    for (int32_t x = r.left; x < r.right; ++x) {
      pixels.insert({x, y});
    }
  }
  return pixels;
}

// The pixels of a region; fails when two rectangles share a pixel or one is empty.
Pixels Covered(const Region& region, bool& sound) {
  Pixels covered;
  sound = true;
  for (const EdgeRect& r : region) {
    if (r.IsEmpty()) {
      sound = false;
    }
    for (const auto& pixel : PixelsOf(r)) {
      if (!covered.insert(pixel).second) {
        sound = false;
      }
    }
  }
  return covered;
}

// After Normalize: no two pieces that one rectangle could replace are left side by side
// in a band or one directly above the other.
bool Merged(const Region& region) {
  const std::vector<EdgeRect> rects(region.begin(), region.end());
  for (const EdgeRect& a : rects) {
    for (const EdgeRect& b : rects) {
      if (a.top == b.top && a.bottom == b.bottom && a.right == b.left) {
        return false;
      }
      if (a.left == b.left && a.right == b.right && a.bottom == b.top) {
        return false;
      }
    }
  }
  return true;
}

class Generator {
public:
  explicit Generator(uint32_t seed) : mEngine(seed) {}

  int32_t Int(int32_t low, int32_t high) { return std::uniform_int_distribution<int32_t>(low, high)(mEngine); }

  // Mostly small rectangles on a 40 x 40 field, sometimes empty or inverted ones.
  EdgeRect Rect() {
    const int32_t left = Int(-20, 19);
    const int32_t top = Int(-20, 19);
    return {left, top, left + Int(-2, 16), top + Int(-2, 16)};
  }

private:
  std::mt19937 mEngine;
};

} // namespace

TEST(RectListPropertyTest, AnySequenceStaysDisjointAndCoversTheModelsPixels) {
  const QZTest::TestSeed seed;
  Generator random(uint32_t(seed.value));

  for (int sequence = 0; sequence < 150; ++sequence) {
    Region region;
    Pixels model;
    for (int step = 0; step < 25; ++step) {
      std::string operation;
      switch (random.Int(0, 6)) {
      case 0:
      case 1: {
        const EdgeRect r = random.Rect();
        operation = "AddRect";
        region.AddRect(r);
        if (!r.IsEmpty()) {
          model.merge(PixelsOf(r));
        }
        break;
      }
      case 2: {
        const EdgeRect r = random.Rect();
        operation = "SubtractRect";
        Region cut;
        region.SubtractRect(r, &cut);
        bool sound = false;
        Pixels expectedCut;
        for (const auto& pixel : r.IsEmpty() ? Pixels() : PixelsOf(r)) {
          if (model.erase(pixel)) {
            expectedCut.insert(pixel);
          }
        }
        ASSERT_EQ(Covered(cut, sound), expectedCut) << "cut of SubtractRect, sequence " << sequence;
        ASSERT_TRUE(sound);
        break;
      }
      case 3:
      case 4: {
        Region other;
        Pixels otherPixels;
        for (int i = random.Int(0, 4); i > 0; --i) {
          const EdgeRect r = random.Rect();
          other.AddRect(r);
          if (!r.IsEmpty()) {
            otherPixels.merge(PixelsOf(r));
          }
        }
        Pixels result;
        if (random.Int(0, 1) == 0) {
          operation = "Intersect";
          region.Intersect(other);
          for (const auto& pixel : model) {
            if (otherPixels.count(pixel)) {
              result.insert(pixel);
            }
          }
        } else {
          operation = "Subtract";
          region.Subtract(other);
          for (const auto& pixel : model) {
            if (!otherPixels.count(pixel)) {
              result.insert(pixel);
            }
          }
        }
        model = std::move(result);
        break;
      }
      case 5: {
        const int32_t dx = random.Int(-3, 3);
        const int32_t dy = random.Int(-3, 3);
        operation = "Offset";
        region.Offset(dx, dy);
        Pixels moved;
        for (const auto& [x, y] : model) {
          moved.insert({x + dx, y + dy});
        }
        model = std::move(moved);
        break;
      }
      default: {
        operation = "Normalize";
        region.Normalize();
        ASSERT_TRUE(Merged(region)) << "Normalize left mergeable pieces, sequence " << sequence;
        break;
      }
      }
      bool sound = false;
      ASSERT_EQ(Covered(region, sound), model) << operation << ", sequence " << sequence << ", step " << step;
      ASSERT_TRUE(sound) << operation << " left overlapping or empty rectangles, sequence " << sequence;
    }
  }
  EXPECT_EQ(Region::GetPoolStatistics().liveNodes, 0u);
}
