#include <gtest/gtest.h>

#include <vector>

#include "DeviceControl/ParamCache.h"
#include "Support/DeviceControlClientStandIn.h"

namespace {

using QZ::ParamDescriptor;
using QZ::Variant;

// A cache that counts its change hook.
struct WatchedCache : LParamCache {
  WatchedCache() : LParamCache(145) {}
  QZ::QZResult OnValueChanged(uint32_t, const Variant&) override {
    ++changes;
    return QZ::QZ_OK;
  }
  int changes = 0;
};

Variant Int(int32_t value) { return QZTest::Make(&Variant::SetInt32, value); }

Variant List(std::vector<Variant> items) {
  Variant list;
  list.SetList(items.data(), uint32_t(items.size()));
  return list;
}

class ParamCacheTest : public ::testing::Test {
protected:
  int32_t Set(uint32_t id, const Variant& key, const Variant& value) {
    return cache->SetValue(ParamDescriptor(id, key), value, true);
  }
  Variant Get(uint32_t id, const Variant& key, int32_t expected = 0) {
    Variant value;
    EXPECT_EQ(cache->GetValue(ParamDescriptor(id, key), value), expected);
    return value;
  }

  QZ::RCPtr<WatchedCache> cache{new WatchedCache};
};

TEST_F(ParamCacheTest, OnlyARealChangeIsStoredAndNotified) {
  EXPECT_EQ(Set(5, Variant(), Int(64)), LParamCache::kChanged);
  EXPECT_EQ(Set(5, Variant(), Int(64)), LParamCache::kUnchanged);
  EXPECT_EQ(Get(5, Variant()), Int(64));
  EXPECT_EQ(Set(5, Variant(), Variant()), LParamCache::kChanged) << "stores Empty";
  EXPECT_EQ(cache->changes, 2);
  EXPECT_EQ(Set(145, Variant(), Int(1)), LParamCache::kError);
  Get(145, Variant(), LParamCache::kError);
}

TEST_F(ParamCacheTest, SubKeysKeepSortedKeyedListsAtEveryLevel) {
  cache->SetValue(ParamDescriptor(7), Int(3), false);
  EXPECT_EQ(Set(7, Int(9), Int(90)), 0) << "a plain entry becomes a keyed list";
  EXPECT_EQ(Set(7, Int(2), Int(20)), 0);
  EXPECT_EQ(Set(7, Int(2), Int(20)), 1);
  QZ::ParamValues expected;
  const QZ::ParamValue records[] = {{ParamDescriptor(7, Int(2)), Int(20)}, {ParamDescriptor(7, Int(9)), Int(90)}};
  expected.SetValueEntries(records, 2);
  EXPECT_EQ(Get(7, Variant()), expected) << "sorted by sub-key";

  const Variant path = List({Int(1), Int(5)});
  EXPECT_EQ(Set(8, path, Int(15)), 0);
  EXPECT_EQ(Get(8, path), Int(15));
  EXPECT_EQ(Get(8, Int(1)).GetListCount(), 1u) << "level 1 holds a keyed list";
  const Variant before = Get(8, Variant());
  EXPECT_EQ(Set(8, List({Int(1), Int(6)}), Variant()), 1) << "nothing to remove";
  EXPECT_EQ(Get(8, Variant()), before);
  EXPECT_EQ(Set(8, path, Variant()), 0);
  Get(8, path, 1);
  EXPECT_EQ(cache->changes, 4);
  Get(9, Int(1), 1);                                   // an Empty entry is an empty keyed list
  Get(7, List({Int(2), Int(1)}), LParamCache::kError); // a plain value has no levels

  Variant external;
  external.SetExternalData(&external, 1);
  for (const Variant& key : {List({}), List({Int(1), Variant()}), external, List({external})}) {
    EXPECT_EQ(Set(7, key, Int(4)), LParamCache::kError);
    Get(7, key, LParamCache::kError);
  }
  EXPECT_EQ(Get(7, Variant()), expected) << "a refused path leaves the entry alone";
}

} // namespace
