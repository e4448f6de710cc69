#include <gtest/gtest.h>

#include <cstddef>
#include <new>
#include <vector>

#include "QZFramework/Utilities/Storage/ReuseAllocator.h"

namespace {

struct Param {
  int value = 0;
  double weight = 0;
};

struct alignas(16) WideParam {
  long double level = 0;
  char tag = 0;
};

using ParamPool = QZ::ReuseAllocator<Param, 4>;

TEST(ReuseAllocatorTest, FreedBlocksComeBackLastInFirstOut) {
  for (bool withLock : {false, true}) {
    ParamPool pool(withLock);
    void* a = pool.Allocate(sizeof(Param));
    void* b = pool.Allocate(sizeof(Param));
    EXPECT_NE(a, b);
    pool.Free(a);
    EXPECT_EQ(pool.Allocate(sizeof(Param)), a);
    pool.Free(a);
    pool.Free(b);
    EXPECT_EQ(pool.Allocate(sizeof(Param)), b);
    EXPECT_EQ(pool.Allocate(sizeof(Param)), a);
    void* c = pool.Allocate(sizeof(Param));
    EXPECT_NE(c, a);
    EXPECT_NE(c, b);
    pool.Free(nullptr);
  }
}

TEST(ReuseAllocatorTest, OtherSizesComeFromTheHeapAndNeverEnterThePool) {
  ParamPool pool(false);
  void* pooled = pool.Allocate(sizeof(Param));
  pool.Free(pooled);

  auto* larger = static_cast<char*>(pool.Allocate(sizeof(Param) + 24));
  std::fill(larger, larger + sizeof(Param) + 24, char(0x5A));
  auto* smaller = pool.Allocate(1);
  pool.Free(larger);
  pool.Free(smaller);
  // The heap blocks were released (the leak checker would say otherwise) and the pool
  // still hands out its own block first.
  EXPECT_EQ(pool.Allocate(sizeof(Param)), pooled);
}

TEST(ReuseAllocatorTest, EveryObjectIsAlignedForItsType) {
  QZ::ReuseAllocator<WideParam, 32> pool(false);
  std::vector<void*> held;
  for (int i = 0; i < 100; ++i) {
    held.push_back(pool.Allocate(sizeof(WideParam)));
    held.push_back(pool.Allocate(sizeof(WideParam) + 8));
  }
  for (void* p : held) {
    EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % alignof(WideParam), 0u);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % alignof(std::max_align_t), 0u);
    new (p) WideParam{1.0L, 'x'};
  }
  for (void* p : held) {
    pool.Free(p);
  }
}

// A class whose objects live in a pool, and a larger class derived from it.
class LPooled {
public:
  explicit LPooled(int value) : mValue(value) {}
  virtual ~LPooled() = default;
  static void* operator new(size_t size) { return sPool.Allocate(uint32_t(size)); }
  static void operator delete(void* p) { sPool.Free(p); }
  int Value() const { return mValue; }

private:
  static inline QZ::ReuseAllocator<LPooled, 4> sPool{true};
  int mValue;
};

class LPooledWithName : public LPooled {
public:
  using LPooled::LPooled;
  char name[40] = "derived";
};

TEST(ReuseAllocatorTest, APooledClassReusesItsBlocksAndSendsDerivedObjectsToTheHeap) {
  LPooled* first = new LPooled(1);
  delete first;
  LPooled* second = new LPooled(2);
  EXPECT_EQ(second, first);
  EXPECT_EQ(second->Value(), 2);

  LPooled* derived = new LPooledWithName(3);
  EXPECT_NE(derived, first);
  delete derived;
  delete second;
  EXPECT_EQ(new LPooled(4), first);
  delete first;
}

} // namespace
