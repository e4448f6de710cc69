#include <gtest/gtest.h>

#include <sys/mman.h>

#include <cstdint>
#include <new>

#include "QZFramework/Utilities/Storage/RCPtrMap.h"
#include "Support/CountedObject.h"

namespace {

using QZTest::CountedObject;
using QZTest::InstanceCounter;

class Font : public CountedObject {
public:
  using CountedObject::CountedObject;
  QZ::WString ToString() const override { return QZ::WString::FromInt(Value()); }
};

using FontFiles = QZ::RCPtrMap<Font, CountedObject>;

class RCPtrMapTest : public ::testing::Test {
protected:
  QZ::RCPtr<Font> MakeFont(int size) { return QZ::RCPtr<Font>(new Font(counter, size)); }
  QZ::RCPtr<CountedObject> MakeFile(int id) { return QZ::RCPtr<CountedObject>(new CountedObject(counter, id)); }

  InstanceCounter counter;
  FontFiles map;
};

TEST_F(RCPtrMapTest, KeyObjectsWithEqualContentsAreDistinctKeys) {
  const QZ::RCPtr<Font> first = MakeFont(12);
  const QZ::RCPtr<Font> second = MakeFont(12);
  EXPECT_TRUE(map.SetItem(first, MakeFile(1)));
  EXPECT_TRUE(map.SetItem(second, MakeFile(2)));
  EXPECT_EQ(map.GetCount(), 2u);
  EXPECT_EQ(map.Find(first)->Value(), 1);
  EXPECT_EQ(map.Find(second)->Value(), 2);
  EXPECT_EQ(first->GetRefCount(), 2);
}

TEST_F(RCPtrMapTest, SettingAKeyAgainReplacesItsPairAndReleasesTheOldValue) {
  const QZ::RCPtr<Font> font = MakeFont(10);
  EXPECT_TRUE(map.SetItem(font, MakeFile(1)));
  EXPECT_FALSE(map.SetItem(font, MakeFile(2)));
  EXPECT_EQ(map.GetCount(), 1u);
  EXPECT_EQ(map.Find(font)->Value(), 2);
  EXPECT_EQ(font->GetRefCount(), 2);
  EXPECT_EQ(counter.live, 2);
  EXPECT_EQ(map.FindPair(font)->ToString(), u"10");
}

TEST_F(RCPtrMapTest, LookupsChangeNothingAndRemovalReleasesKeyAndValue) {
  const QZ::RCPtr<Font> stored = MakeFont(8);
  const QZ::RCPtr<Font> absent = MakeFont(8);
  map.SetItem(stored, MakeFile(1));
  map.SetItem(MakeFont(9), MakeFile(2));
  EXPECT_TRUE(map.Find(absent).IsNull());
  EXPECT_TRUE(map.FindPair(absent).IsNull());
  EXPECT_FALSE(map.Remove(absent));
  EXPECT_EQ(absent->GetRefCount(), 1);
  EXPECT_EQ(stored->GetRefCount(), 2);

  EXPECT_TRUE(map.Remove(stored));
  EXPECT_EQ(stored->GetRefCount(), 1);
  EXPECT_EQ(counter.live, 4);
  map.RemoveAll();
  EXPECT_EQ(map.GetCount(), 0u);
  EXPECT_EQ(counter.live, 2);
}

// Keys placed 4 GiB apart: their addresses differ only above bit 31.
class PlacedFont : public Font {
public:
  using Font::Font;
  static void* operator new(size_t, void* at) { return at; }
  static void operator delete(void*) {} // the test owns the memory
};

TEST_F(RCPtrMapTest, AddressesThatDifferOnlyAboveBit31AreDistinctKeys) {
  constexpr uintptr_t kLow = 0x5A00'0000'0000;
  constexpr uintptr_t kHigh = kLow + (uintptr_t(1) << 32);
  void* pages[2] = {};
  for (int i = 0; i < 2; ++i) {
    pages[i] = mmap(reinterpret_cast<void*>(i == 0 ? kLow : kHigh), 4096, PROT_READ | PROT_WRITE,
                    MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED_NOREPLACE, -1, 0);
  }
  if (pages[0] != reinterpret_cast<void*>(kLow) || pages[1] != reinterpret_cast<void*>(kHigh)) {
    for (void* page : pages) {
      if (page != MAP_FAILED) {
        munmap(page, 4096);
      }
    }
    GTEST_SKIP() << "the fixed test pages could not be mapped";
  }
  {
    const QZ::RCPtr<Font> low(new (pages[0]) PlacedFont(counter, 1));
    const QZ::RCPtr<Font> high(new (pages[1]) PlacedFont(counter, 1));
    ASSERT_EQ(FontFiles::KeyOf(low.Get()) ^ FontFiles::KeyOf(high.Get()), uintptr_t(1) << 32);
    map.SetItem(low, MakeFile(1));
    map.SetItem(high, MakeFile(2));
    EXPECT_EQ(map.GetCount(), 2u);
    EXPECT_EQ(map.Find(low)->Value(), 1);
    EXPECT_EQ(map.Find(high)->Value(), 2);
    map.RemoveAll();
  }
  EXPECT_EQ(counter.live, 0);
  munmap(pages[0], 4096);
  munmap(pages[1], 4096);
}

} // namespace
