#include <gtest/gtest.h>

#include <cstdint>

#include "QZFramework/Utilities/Storage/HashedList.h"
#include "Support/CountedObject.h"

namespace {

struct Glyph {
  long id;
  int advance;
  static long GetUniqueID(const Glyph& glyph) { return glyph.id; }
};

using Glyphs = QZ::HashedList<Glyph, long, &Glyph::GetUniqueID, 8, &QZ::GetBits<8, 0, long>>;

template <class K>
K Itself(const K& key) {
  return key;
}

TEST(HashedListTest, KeysOfOneBucketAreToldApart) {
  Glyphs glyphs;
  EXPECT_TRUE(glyphs.Insert({65, 7}));
  EXPECT_TRUE(glyphs.Insert({65 + 256, 9}));
  EXPECT_EQ(glyphs.GetCount(), 2u);
  ASSERT_NE(glyphs.Find(65), nullptr);
  EXPECT_EQ(glyphs.Find(65)->advance, 7);
  EXPECT_EQ(glyphs.Find(65 + 256)->advance, 9);

  EXPECT_TRUE(glyphs.Remove(65 + 256));
  EXPECT_EQ(glyphs.Find(65 + 256), nullptr);
  EXPECT_EQ(glyphs.Find(65)->advance, 7);
  EXPECT_FALSE(glyphs.Remove(65 + 256));
  EXPECT_EQ(glyphs.GetCount(), 1u);
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
  EXPECT_FALSE(glyphs.Remove(3));
  for (long id = 0; id < 600; id += 7) {
    glyphs.Insert({id, 1});
  }
  glyphs.RemoveAll();
  EXPECT_EQ(glyphs.GetCount(), 0u);
  EXPECT_EQ(glyphs.Find(7), nullptr);
}

TEST(HashedListTest, BucketsComeFromTheChosenBitsOfTheKey) {
  EXPECT_EQ((QZ::GetBits<8, 0, long>(256 + 3)), 3u);
  EXPECT_EQ((QZ::GetBits<8, 4, int>(-16)), 255u);
  EXPECT_EQ((QZ::GetBits<8, 4, int>(0xFF0)), 255u);

  QZ::HashedList<int, int, &Itself<int>, 8, &QZ::GetBits<8, 4, int>> ints;
  ints.Insert(-16);
  ints.Insert(0xFF0);
  EXPECT_NE(ints.Find(-16), nullptr);
  EXPECT_TRUE(ints.Remove(0xFF0));
  EXPECT_NE(ints.Find(-16), nullptr);
}

TEST(HashedListTest, AddressKeysKeepTheirUpperHalf) {
  QZ::HashedList<uintptr_t, uintptr_t, &Itself<uintptr_t>, 8, &QZ::GetBits<8, 4, uintptr_t>> addresses;
  const uintptr_t low = 0x1'0000'0040;
  const uintptr_t high = 0x2'0000'0040;
  EXPECT_TRUE(addresses.Insert(low));
  EXPECT_TRUE(addresses.Insert(high));
  EXPECT_EQ(*addresses.Find(low), low);
  EXPECT_EQ(*addresses.Find(high), high);
}

TEST(HashedListTest, EntriesAreNamedByTheirKeyTypeAndReleaseTheirItems) {
  EXPECT_EQ(Glyphs::Entry(65, {65, 1}).ToString(), u"long");

  QZTest::InstanceCounter counter;
  using Shared = QZ::RCPtr<QZTest::CountedObject>;
  QZ::HashedList<Shared, int, [](const Shared& item) { return item->Value(); }, 8, &QZ::GetBits<8, 4, int>> objects;
  objects.Insert(Shared(new QZTest::CountedObject(counter, 1)));
  objects.Insert(Shared(new QZTest::CountedObject(counter, 2)));
  objects.Insert(Shared(new QZTest::CountedObject(counter, 2)));
  EXPECT_EQ(counter.live, 2);
  objects.Remove(1);
  EXPECT_EQ(counter.live, 1);
}

} // namespace
