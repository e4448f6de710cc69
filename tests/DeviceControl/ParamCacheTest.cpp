#include <gtest/gtest.h>

#include <vector>

#include "DeviceControl/ParamCache.h"
#include "Support/DeviceControlClientStandIn.h"

namespace {

using QZ::ParamDescriptor;
using QZ::Variant;
using QZTest::Make;

// A cache that counts its change hook.
class WatchedCache : public LParamCache {
public:
  WatchedCache() : LParamCache(145) {}
  int changes = 0;

protected:
  QZ::QZResult OnValueChanged(uint32_t, const Variant&) override {
    ++changes;
    return QZ::QZ_OK;
  }
};

Variant Int(int32_t value) { return Make(&Variant::SetInt32, value); }

Variant List(std::vector<Variant> items) {
  Variant list;
  list.SetList(items.data(), uint32_t(items.size()));
  return list;
}

Variant Get(const LParamCache& cache, uint32_t id, const Variant& key, int32_t expected = 0) {
  Variant value;
  EXPECT_EQ(cache.GetValue(ParamDescriptor(id, key), value), expected);
  return value;
}

TEST(ParamCacheTest, AValueIsStoredOnceAndOnlyTheChangeIsNotified) {
  const QZ::RCPtr<WatchedCache> cache(new WatchedCache);
  EXPECT_EQ(cache->SetValue(ParamDescriptor(5), Int(64), true), LParamCache::kChanged);
  EXPECT_EQ(cache->SetValue(ParamDescriptor(5), Int(64), true), LParamCache::kUnchanged);
  EXPECT_EQ(cache->SetValue(ParamDescriptor(6), Int(1), false), LParamCache::kChanged);
  EXPECT_EQ(cache->changes, 1);
  EXPECT_EQ(Get(*cache, 5, Variant()), Int(64));
  EXPECT_EQ(cache->SetValue(ParamDescriptor(5), Variant(), false), LParamCache::kChanged) << "stores Empty";
  EXPECT_EQ(Get(*cache, 5, Variant()).GetType(), Variant::Empty);

  EXPECT_EQ(cache->SetValue(ParamDescriptor(145), Int(1), true), LParamCache::kError);
  Get(*cache, 145, Variant(), LParamCache::kError);
}

TEST(ParamCacheTest, SubKeysKeepSortedKeyedListsAtEveryLevel) {
  const QZ::RCPtr<WatchedCache> cache(new WatchedCache);
  cache->SetValue(ParamDescriptor(7), Int(3), false);
  EXPECT_EQ(cache->SetValue(ParamDescriptor(7, Int(9)), Int(90), true), 0) << "a plain entry becomes a keyed list";
  EXPECT_EQ(cache->SetValue(ParamDescriptor(7, Int(2)), Int(20), true), 0);
  EXPECT_EQ(cache->SetValue(ParamDescriptor(7, Int(2)), Int(20), true), 1);
  QZ::ParamValues expected;
  const QZ::ParamValue records[] = {{ParamDescriptor(7, Int(2)), Int(20)}, {ParamDescriptor(7, Int(9)), Int(90)}};
  expected.SetValueEntries(records, 2);
  EXPECT_EQ(Get(*cache, 7, Variant()), expected) << "sorted by sub-key";
  EXPECT_EQ(Get(*cache, 7, Int(9)), Int(90));
  Get(*cache, 7, Int(4), 1);

  const Variant path = List({Int(1), Int(5)});
  EXPECT_EQ(cache->SetValue(ParamDescriptor(8, path), Int(15), true), 0);
  EXPECT_EQ(Get(*cache, 8, path), Int(15));
  EXPECT_EQ(Get(*cache, 8, Int(1)).GetListCount(), 1u) << "level 1 holds a keyed list";
  Get(*cache, 8, List({Int(1), Int(6)}), 1);

  const Variant before = Get(*cache, 8, Variant());
  EXPECT_EQ(cache->SetValue(ParamDescriptor(8, List({Int(1), Int(6)})), Variant(), true), 1) << "nothing to remove";
  EXPECT_EQ(Get(*cache, 8, Variant()), before);
  EXPECT_EQ(cache->SetValue(ParamDescriptor(8, path), Variant(), true), 0);
  Get(*cache, 8, path, 1);
  EXPECT_EQ(cache->changes, 4);

  Get(*cache, 9, Int(1), 1);                                   // an Empty entry is an empty keyed list
  Get(*cache, 7, List({Int(2), Int(1)}), LParamCache::kError); // a plain sub-value has no levels
}

TEST(ParamCacheTest, PathsWithoutUsableLevelsAreRefused) {
  const QZ::RCPtr<LParamCache> cache(new LParamCache(145));
  cache->SetValue(ParamDescriptor(1), Int(3), false);
  int32_t data = 0;
  Variant external;
  external.SetExternalData(&data, sizeof data);
  for (const Variant& key : {List({}), List({Int(1), Variant()}), external, List({external})}) {
    EXPECT_EQ(cache->SetValue(ParamDescriptor(1, key), Int(4), false), LParamCache::kError);
    Get(*cache, 1, key, LParamCache::kError);
  }
  EXPECT_EQ(Get(*cache, 1, Variant()), Int(3)) << "a refused path leaves the entry alone";
}

} // namespace
