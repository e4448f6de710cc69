#include <gtest/gtest.h>

#include "QZFramework/Utilities/Storage/PurgableObjectCache.h"
#include "Support/CountedObject.h"

namespace {

using QZTest::CountedObject;
using Object = QZ::RCPtr<CountedObject>;

struct Path {
  int handle;
  static int GetHandle(const Path& path) { return path.handle; }
};

using Cache = QZ::PurgableObjectCache<CountedObject, Path, int, &Path::GetHandle, 8, &QZ::GetBits<8, 4, int>>;

class PurgableObjectCacheTest : public ::testing::Test {
protected:
  // One use of key: builds the object on a miss, as a renderer does; returns the object.
  CountedObject* Use(Cache& cache, int key) {
    Object& slot = cache.AcquireFor(Path{key});
    if (!slot) {
      slot = Object(new CountedObject(counter, key));
    }
    return slot.Get();
  }

  QZTest::InstanceCounter counter;
  static constexpr int A = 0x10, B = 0x20, C = 0x1010; // C shares A's bucket
};

TEST_F(PurgableObjectCacheTest, TheLeastRecentlyUsedEntryIsGivenUp) {
  Cache cache(2);
  CountedObject* a = Use(cache, A);
  Use(cache, B);
  EXPECT_EQ(Use(cache, A), a);
  Use(cache, C);
  EXPECT_EQ(counter.live, 2);
  EXPECT_EQ(Use(cache, A), a);
  EXPECT_EQ(cache.Acquire(B).Get(), nullptr); // B was given up; now C, the older, is
  EXPECT_EQ(cache.GetCount(), 2u);
}

TEST_F(PurgableObjectCacheTest, AFreedEntryIsReusedBeforeAnOlderOneInUse) {
  Cache cache(2);
  CountedObject* a = Use(cache, A);
  Use(cache, B);
  cache.Acquire(B) = nullptr; // the owner dropped B's object
  Use(cache, C);
  EXPECT_EQ(Use(cache, A), a);
  EXPECT_EQ(counter.live, 2);
}

TEST_F(PurgableObjectCacheTest, ResetDropsTheObjectOfAPresentKey) {
  Cache cache(4);
  Use(cache, A);
  EXPECT_EQ(cache.Acquire(A, true).Get(), nullptr);
  EXPECT_EQ(counter.live, 0);
  EXPECT_EQ(cache.GetCount(), 1u);
}

TEST_F(PurgableObjectCacheTest, PurgeDropsWhatWasLastUsedBeforeThePreviousPurge) {
  Cache cache(4);
  CountedObject* a = Use(cache, A);
  Use(cache, B);
  Use(cache, A);
  cache.Purge();
  EXPECT_EQ(counter.live, 2);
  Use(cache, A);
  cache.Purge();
  EXPECT_EQ(counter.live, 1);
  EXPECT_EQ(Use(cache, A), a);
  EXPECT_EQ(cache.Acquire(B).Get(), nullptr);
  EXPECT_EQ(cache.GetCount(), 2u);
}

TEST_F(PurgableObjectCacheTest, ACacheWithoutCapacityStillYieldsAnEntry) {
  Cache cache(0);
  Use(cache, A);
  Use(cache, B);
  EXPECT_EQ(cache.GetCapacity(), 1u);
  EXPECT_EQ(counter.live, 1);
}

} // namespace
