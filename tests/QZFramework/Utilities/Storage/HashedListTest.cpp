#include <gtest/gtest.h>

#include "QZFramework/Utilities/Storage/HashedList.h"

namespace {

struct Glyph {
  long id;
  int advance;
  static long GetUniqueID(const Glyph& glyph) { return glyph.id; }
};

using Glyphs = QZ::HashedList<Glyph, long, &Glyph::GetUniqueID, 8, &QZ::GetBits<8, 0, long>>;

int Itself(const int& key) { return key; }

TEST(HashedListTest, KeysOfOneBucketAreToldApartAndRemovedSingly) {
  Glyphs glyphs;
  EXPECT_TRUE(glyphs.Insert({65, 7}));
  EXPECT_TRUE(glyphs.Insert({65 + 256, 9}));
  ASSERT_NE(glyphs.Find(65), nullptr);
  EXPECT_EQ(glyphs.Find(65)->advance, 7);
  EXPECT_EQ(glyphs.Find(65 + 256)->advance, 9);

  EXPECT_TRUE(glyphs.Remove(65 + 256));
  EXPECT_FALSE(glyphs.Remove(65 + 256));
  EXPECT_EQ(glyphs.Find(65 + 256), nullptr);
  EXPECT_EQ(glyphs.Find(65)->advance, 7);
  EXPECT_EQ(glyphs.GetCount(), 1u);

  // Bits 4 to 11 of a negative key pick its bucket like any other key's.
  QZ::HashedList<int, int, &Itself, 8, &QZ::GetBits<8, 4, int>> ints;
  ints.Insert(-16);
  ints.Insert(0xFF0);
  EXPECT_EQ((QZ::GetBits<8, 4, int>(-16)), 255u);
  EXPECT_TRUE(ints.Remove(0xFF0));
  EXPECT_NE(ints.Find(-16), nullptr);
}

TEST(HashedListTest, ADuplicateKeyIsNotAddedButReplacesTheItem) {
  Glyphs glyphs;
  glyphs.Insert({65, 7});
  Glyph* stored = glyphs.Find(65);
  EXPECT_FALSE(glyphs.Insert({65, 8}));
  EXPECT_EQ(glyphs.GetCount(), 1u);
  EXPECT_EQ(glyphs.Find(65), stored);
  EXPECT_EQ(stored->advance, 8);
}

TEST(HashedListTest, MissingKeysGiveTheDefaultAndRemoveAllEmptiesEveryBucket) {
  Glyphs glyphs;
  Glyph fallback{0, 0};
  EXPECT_EQ(glyphs.Find(3, &fallback), &fallback);
  for (long id = 0; id < 600; id += 7) {
    glyphs.Insert({id, 1});
  }
  glyphs.RemoveAll();
  EXPECT_EQ(glyphs.GetCount(), 0u);
  EXPECT_EQ(glyphs.Find(7), nullptr);
  EXPECT_EQ(Glyphs::Entry(7, {7, 1}).ToString(), u"long");
}

} // namespace
