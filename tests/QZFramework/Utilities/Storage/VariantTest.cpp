#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "QZFramework/Utilities/Storage/Variant.h"

namespace {

using QZ::Variant;

Variant Raw(Variant::Type kind, std::vector<uint8_t> bytes) {
  Variant value;
  value.SetRaw(kind, bytes.data(), uint32_t(bytes.size()));
  return value;
}

template <class Set, class T>
Variant Make(Set set, T value) {
  Variant v;
  (v.*set)(value);
  return v;
}

// Counts the blocks it hands out, so tests can see that every block goes back once and
// that the Variant allocates through the override.
class CountingVariant : public Variant {
public:
  explicit CountingVariant(int& live) : mLive(live) {}
  CountingVariant(const CountingVariant&) = delete;
  ~CountingVariant() override { Clear(); }
  using Variant::operator=;

protected:
  void* AllocateBuffer(uint32_t size) override {
    ++mLive;
    return Variant::AllocateBuffer(size);
  }
  void FreeBuffer(void* block) override {
    --mLive;
    Variant::FreeBuffer(block);
  }

private:
  int& mLive;
};

TEST(VariantTest, ADefaultVariantIsEmpty) {
  const Variant value;
  uint32_t size = 99;
  EXPECT_EQ(value.GetType(), Variant::Empty);
  EXPECT_EQ(value.GetData(size), nullptr);
  EXPECT_EQ(size, 0u);
  EXPECT_FALSE(value.ToBool());
  EXPECT_EQ(value.ToInt64(), 0);
  EXPECT_EQ(value.ToDouble(), 0.0);
}

TEST(VariantTest, GetDataGivesTheValueBytesByKind) {
  std::array<uint8_t, 3> external = {1, 2, 3};
  struct Case {
    Variant value;
    uint32_t size;
    bool writable;
  };
  std::vector<Case> cases;
  cases.push_back({Make(&Variant::SetBool, true), 1, true});
  cases.push_back({Make(&Variant::SetUInt16, uint16_t(2)), 2, true});
  cases.push_back({Make(&Variant::SetFloat, 1.0f), 4, true});
  cases.push_back({Make(&Variant::SetUInt64, uint64_t(3)), 8, true});
  cases.push_back({Make(&Variant::SetString, "abc"), 4, true});
  Variant data;
  data.SetExternalData(external.data(), 3);
  cases.push_back({data, 3, true});
  data.SetExternalConstData(external.data(), 3);
  cases.push_back({data, 3, false});
  data.SetList(&cases[0].value, 1);
  cases.push_back({data, 13, false});
  for (Case& c : cases) {
    uint32_t size = 0;
    EXPECT_NE(c.value.GetData(size), nullptr) << c.value.GetType();
    EXPECT_EQ(size, c.size) << c.value.GetType();
    EXPECT_EQ(c.value.GetWritableData(size) != nullptr, c.writable) << c.value.GetType();
  }
  uint32_t size = 0;
  EXPECT_EQ(cases[5].value.GetData(size), external.data());
  uint16_t stored = 0;
  std::memcpy(&stored, cases[1].value.GetData(size), 2);
  EXPECT_EQ(stored, 2);
}

TEST(VariantTest, SetRawTakesExactlyTheKindsWidth) {
  const uint8_t bytes[8] = {0xFE, 0xFF, 0xFF, 0xFF, 1, 2, 3, 4};
  Variant value;
  EXPECT_EQ(value.SetRaw(Variant::Int32, bytes, 4), Variant::Int32);
  EXPECT_EQ(value.ToInt32(), -2);
  EXPECT_EQ(value.SetRaw(Variant::Int32, bytes, 2), Variant::Empty);
  EXPECT_EQ(value.GetType(), Variant::Empty);
  EXPECT_EQ(value.SetRaw(Variant::Double, bytes, 4), Variant::Empty);
  EXPECT_EQ(value.SetRaw(Variant::Int16, nullptr, 2), Variant::Empty);
  EXPECT_EQ(value.SetRaw(Variant::Empty, bytes, 0), Variant::Empty);
  EXPECT_EQ(value.SetRaw(17, bytes, 1), Variant::Empty);

  EXPECT_EQ(value.SetRaw(Variant::ExternalData, bytes, 5), Variant::Buffer);
  uint32_t size = 0;
  EXPECT_NE(value.GetData(size), bytes);
  EXPECT_EQ(size, 5u);
  EXPECT_EQ(std::memcmp(value.GetData(size), bytes, 5), 0);
  EXPECT_EQ(value.SetRaw(Variant::List, nullptr, 0), Variant::List);
  EXPECT_EQ(value.GetSize(), 0u);
  EXPECT_EQ(value.SetRaw(Variant::String, "ab\0cd", 5), Variant::String);
  EXPECT_STREQ(value.GetString(), "ab");
  EXPECT_EQ(value.SetRaw(Variant::String, "abcd", 4), Variant::Empty);
}

TEST(VariantTest, SettersClearTheWholeValue) {
  Variant value;
  value.SetInt64(-1);
  value.SetInt8(-1);
  EXPECT_EQ(value.ToInt64(), -1);
  EXPECT_EQ(value.ToUInt16(), 0xFF);
  value.SetDouble(-1.0);
  value.SetFloat(1.0f);
  uint32_t size = 0;
  const auto* bytes = static_cast<const uint8_t*>(value.GetData(size));
  EXPECT_EQ(bytes[4] | bytes[5] | bytes[6] | bytes[7], 0);
  value.SetString("abc");
  value.SetUInt8(7);
  EXPECT_EQ(value.GetSize(), 0u);
  EXPECT_EQ(value.GetString(), nullptr);
  EXPECT_EQ(value.SetString(nullptr), Variant::Empty);
}

TEST(VariantTest, CopiesOwnTheirBlocksAndShareExternalData) {
  Variant original;
  original.SetBuffer("xyz", 3);
  Variant copy(original);
  uint32_t size = 0;
  EXPECT_NE(copy.GetData(size), original.GetData(size));
  EXPECT_EQ(copy, original);
  copy = copy;
  EXPECT_EQ(copy, original);

  std::array<uint8_t, 2> external = {7, 8};
  original.SetExternalData(external.data(), 2);
  copy = original;
  EXPECT_EQ(copy.GetData(size), external.data());
  EXPECT_EQ(copy.GetType(), Variant::ExternalData);

  original.SetBuffer(nullptr, 4);
  EXPECT_EQ(original.ToUInt32(), 0u);
  original.SetBuffer("a", 0);
  copy = original;
  EXPECT_EQ(copy.GetType(), Variant::Buffer);
  EXPECT_EQ(copy.GetData(size), nullptr);
}

TEST(VariantTest, HeapBlocksGoThroughTheOverridesAndBackOnce) {
  int live = 0;
  {
    CountingVariant value(live);
    value.SetString("one");
    EXPECT_EQ(live, 1);
    value.SetBuffer("two", 3);
    EXPECT_EQ(live, 1);
    Variant items[2];
    items[0].SetString("a");
    items[1].SetInt32(1);
    value.SetList(items, 2);
    EXPECT_EQ(live, 1);
    value = items[0];
    EXPECT_EQ(live, 1);
    const uint8_t record[] = {0x0D, 0, 0, 0, 1, 0, 0, 0, 0x0E, 0, 0, 0, 5};
    EXPECT_EQ(value.Deserialize(record, sizeof record), 0);
    EXPECT_EQ(live, 1);
    value.SetInt8(1);
    EXPECT_EQ(live, 0);
    value.SetString("three");
  }
  EXPECT_EQ(live, 0);
}

TEST(VariantTest, IntegerGettersWidenByTheKindsSign) {
  const Variant minusOne = Make(&Variant::SetInt8, int8_t(-1));
  EXPECT_EQ(minusOne.ToInt8(), -1);
  EXPECT_EQ(minusOne.ToInt16(), -1);
  EXPECT_EQ(minusOne.ToInt32(), -1);
  EXPECT_EQ(minusOne.ToInt64(), -1);
  EXPECT_EQ(minusOne.ToUInt8(), 255);
  EXPECT_EQ(minusOne.ToUInt16(), 255);
  EXPECT_EQ(minusOne.ToUInt32(), 0xFFFFFFFFu);
  EXPECT_EQ(minusOne.ToUInt64(), 0xFFFFFFFFFFFFFFFFu);
  EXPECT_EQ(minusOne.ToDouble(), -1.0);

  const Variant minusTwo = Make(&Variant::SetInt16, int16_t(-2));
  EXPECT_EQ(minusTwo.ToInt8(), -2);
  EXPECT_EQ(minusTwo.ToUInt16(), 0xFFFE);
  EXPECT_EQ(minusTwo.ToUInt32(), 0xFFFFFFFEu);
  EXPECT_EQ(minusTwo.ToInt64(), -2);

  const Variant word = Make(&Variant::SetInt32, int32_t(0x12345678));
  EXPECT_EQ(word.ToInt8(), 0x78);
  EXPECT_EQ(word.ToInt16(), 0x5678);
  EXPECT_EQ(word.ToInt64(), 0x12345678);
  const Variant negative = Make(&Variant::SetInt32, int32_t(-5));
  EXPECT_EQ(negative.ToUInt64(), uint64_t(-5));
  EXPECT_EQ(negative.ToUInt16(), 0xFFFB);

  const Variant unsignedWord = Make(&Variant::SetUInt32, 0xFFFFFFFFu);
  EXPECT_EQ(unsignedWord.ToInt64(), 0xFFFFFFFF);
  EXPECT_EQ(unsignedWord.ToInt32(), -1);
  EXPECT_EQ(unsignedWord.ToDouble(), 4294967295.0);
  const Variant big = Make(&Variant::SetUInt64, std::numeric_limits<uint64_t>::max());
  EXPECT_EQ(big.ToInt32(), -1);
  EXPECT_EQ(big.ToDouble(), 0x1p64);
  EXPECT_EQ(Make(&Variant::SetUInt8, uint8_t(200)).ToInt8(), -56);
}

TEST(VariantTest, BoolGivesItsByte) {
  const Variant five = Raw(Variant::Bool, {5});
  EXPECT_TRUE(five.ToBool());
  EXPECT_EQ(five.ToInt8(), 1);
  EXPECT_EQ(five.ToUInt8(), 1);
  EXPECT_EQ(five.ToInt16(), 5);
  EXPECT_EQ(five.ToUInt64(), 5u);
  EXPECT_EQ(five.ToFloat(), 5.0f);
  EXPECT_FALSE(Raw(Variant::Bool, {0}).ToBool());
}

TEST(VariantTest, RealsRoundHalfAwayFromZero) {
  EXPECT_EQ(Make(&Variant::SetFloat, 2.5f).ToInt32(), 3);
  EXPECT_EQ(Make(&Variant::SetFloat, -2.5f).ToInt32(), -3);
  EXPECT_EQ(Make(&Variant::SetDouble, 2.4999).ToInt16(), 2);
  EXPECT_EQ(Make(&Variant::SetDouble, -0.5).ToInt64(), -1);
  EXPECT_EQ(Make(&Variant::SetFloat, 2.5f).ToUInt64(), 3u);
  EXPECT_EQ(Make(&Variant::SetDouble, 70000.4).ToInt16(), int16_t(70000));
  EXPECT_EQ(Make(&Variant::SetDouble, 70000.4).ToUInt16(), uint16_t(70000));
  EXPECT_EQ(Make(&Variant::SetDouble, -3.0).ToUInt32(), 0xFFFFFFFDu);
  EXPECT_EQ(Make(&Variant::SetDouble, 5e9).ToUInt32(), uint32_t(5000000000));
  EXPECT_EQ(Make(&Variant::SetDouble, 1.8e19).ToUInt64(), 18000000000000000000u);
  EXPECT_EQ(Make(&Variant::SetDouble, -2.5).ToFloat(), -2.5f);
}

TEST(VariantTest, RealsBeyondTheTargetSaturateAndNaNGivesZero) {
  EXPECT_EQ(Make(&Variant::SetFloat, 1e20f).ToInt32(), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(Make(&Variant::SetDouble, -1e20).ToInt32(), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(Make(&Variant::SetDouble, 1e300).ToInt64(), std::numeric_limits<int64_t>::max());
  EXPECT_EQ(Make(&Variant::SetFloat, -1e30f).ToInt64(), std::numeric_limits<int64_t>::min());
  EXPECT_EQ(Make(&Variant::SetDouble, 1e300).ToUInt64(), std::numeric_limits<uint64_t>::max());
  const Variant nan = Make(&Variant::SetDouble, std::nan(""));
  EXPECT_EQ(nan.ToInt32(), 0);
  EXPECT_EQ(nan.ToInt64(), 0);
  EXPECT_EQ(nan.ToUInt64(), 0u);
  EXPECT_TRUE(nan.ToBool());
  EXPECT_FALSE(Make(&Variant::SetFloat, -0.0f).ToBool());
}

TEST(VariantTest, StringsGiveTheirLength) {
  const Variant text = Make(&Variant::SetString, "abc");
  EXPECT_EQ(text.GetSize(), 4u);
  EXPECT_EQ(text.ToInt8(), 3);
  EXPECT_EQ(text.ToUInt16(), 3);
  EXPECT_EQ(text.ToInt32(), 3);
  EXPECT_EQ(text.ToUInt64(), 3u);
  EXPECT_EQ(text.ToDouble(), 3.0);
  EXPECT_EQ(text.ToFloat(), 3.0f);
  EXPECT_TRUE(text.ToBool());
  const Variant empty = Make(&Variant::SetString, "");
  EXPECT_FALSE(empty.ToBool());
  EXPECT_EQ(empty.ToInt32(), 0);
}

TEST(VariantTest, DataKindsReadOnlyTheBytesTheyHave) {
  // Each block is exactly as long as its data, so a wider read would show under ASan.
  const Variant two = Raw(Variant::Buffer, {0x34, 0x12});
  EXPECT_EQ(two.ToInt8(), 0x34);
  EXPECT_EQ(two.ToInt16(), 0x1234);
  EXPECT_EQ(two.ToInt32(), 0x1234);
  EXPECT_EQ(two.ToUInt64(), 0x1234u);
  EXPECT_EQ(two.ToDouble(), double(0x1234));
  const Variant byte = Raw(Variant::Buffer, {0xFF});
  EXPECT_EQ(byte.ToInt8(), -1);
  EXPECT_EQ(byte.ToUInt8(), 255);
  EXPECT_EQ(byte.ToInt32(), 255);
  EXPECT_TRUE(byte.ToBool());
  const Variant eight = Raw(Variant::Buffer, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 9});
  EXPECT_EQ(eight.ToInt64(), -1);
  EXPECT_EQ(eight.ToDouble(), -1.0);
  EXPECT_EQ(eight.ToFloat(), -1.0f);

  Variant none;
  none.SetBuffer(nullptr, 0);
  EXPECT_FALSE(none.ToBool());
  EXPECT_EQ(none.ToInt64(), 0);

  const std::array<uint8_t, 3> bytes = {1, 2, 3};
  Variant external;
  external.SetExternalConstData(bytes.data(), 3);
  EXPECT_EQ(external.ToInt32(), 0x030201);
  EXPECT_TRUE(external.ToBool());
  external.SetExternalData(nullptr, 3);
  EXPECT_EQ(external.GetSize(), 0u);
  EXPECT_FALSE(external.ToBool());
  EXPECT_EQ(external.ToInt32(), 0);
}

TEST(VariantTest, ListsConvertToZero) {
  Variant items[1];
  items[0].SetInt32(5);
  Variant list;
  list.SetList(items, 1);
  EXPECT_TRUE(list.ToBool());
  EXPECT_EQ(list.ToInt32(), 0);
  EXPECT_EQ(list.ToDouble(), 0.0);
  list.SetList(nullptr, 0);
  EXPECT_FALSE(list.ToBool());
}

TEST(VariantTest, EqualityComparesKindAndValue) {
  EXPECT_EQ(Variant(), Variant());
  EXPECT_EQ(Raw(Variant::Buffer, {1, 2}), Raw(Variant::Buffer, {1, 2}));
  EXPECT_NE(Raw(Variant::Buffer, {1, 2}), Raw(Variant::Buffer, {1, 2, 0}));
  EXPECT_NE(Raw(Variant::Buffer, {1, 2}), Raw(Variant::List, {1, 2}));
  EXPECT_EQ(Make(&Variant::SetString, "ab"), Make(&Variant::SetString, "ab"));
  EXPECT_NE(Make(&Variant::SetInt32, 1), Make(&Variant::SetUInt32, 1u));
  EXPECT_NE(Raw(Variant::Bool, {5}), Make(&Variant::SetBool, true));
  EXPECT_NE(Make(&Variant::SetInt32, 1), Variant());
  Variant emptyBuffer;
  emptyBuffer.SetBuffer(nullptr, 0);
  EXPECT_EQ(emptyBuffer, Raw(Variant::Buffer, {}));

  EXPECT_EQ(Make(&Variant::SetFloat, 0.0f), Make(&Variant::SetFloat, -0.0f));
  const Variant nan = Make(&Variant::SetDouble, std::nan(""));
  EXPECT_NE(nan, nan);
  EXPECT_NE(Make(&Variant::SetFloat, std::nanf("")), Make(&Variant::SetFloat, std::nanf("")));

  const std::array<uint8_t, 2> a = {1, 2};
  const std::array<uint8_t, 2> b = {1, 2};
  Variant first;
  Variant second;
  first.SetExternalConstData(a.data(), 2);
  second.SetExternalConstData(b.data(), 2);
  EXPECT_NE(first, second);
  second.SetExternalConstData(a.data(), 2);
  EXPECT_EQ(first, second);
  second.SetExternalConstData(a.data(), 1);
  EXPECT_NE(first, second);
  second.SetExternalData(const_cast<uint8_t*>(a.data()), 2);
  EXPECT_NE(first, second);
}

TEST(VariantTest, OrderingPutsEmptyFirstAndNumbersByValueAcrossKinds) {
  const Variant empty;
  EXPECT_FALSE(empty < empty);
  EXPECT_TRUE(empty < Make(&Variant::SetInt64, std::numeric_limits<int64_t>::min()));
  EXPECT_FALSE(Make(&Variant::SetInt8, int8_t(-1)) < empty);
  EXPECT_TRUE(empty < Raw(Variant::Buffer, {}));

  const std::vector<Variant> ascending = {
      Make(&Variant::SetDouble, -1e30),
      Make(&Variant::SetInt64, std::numeric_limits<int64_t>::min()),
      Make(&Variant::SetFloat, -3e9f),
      Make(&Variant::SetInt8, int8_t(-1)),
      Make(&Variant::SetUInt8, uint8_t(0)),
      Make(&Variant::SetFloat, 0.5f),
      Make(&Variant::SetBool, true),
      Make(&Variant::SetDouble, 1.5),
      Make(&Variant::SetInt64, int64_t(2)),
      Make(&Variant::SetDouble, 2.5),
      Make(&Variant::SetUInt32, 3u),
      Make(&Variant::SetUInt64, uint64_t(1) << 63),
      Make(&Variant::SetUInt64, std::numeric_limits<uint64_t>::max()),
      Make(&Variant::SetDouble, 1e30),
      Make(&Variant::SetDouble, std::nan("")),
  };
  for (size_t i = 0; i < ascending.size(); ++i) {
    for (size_t j = 0; j < ascending.size(); ++j) {
      EXPECT_EQ(ascending[i] < ascending[j], i < j) << i << " < " << j;
    }
  }
  // Equal values of different kinds are equivalent.
  EXPECT_FALSE(Make(&Variant::SetInt32, 2) < Make(&Variant::SetInt64, int64_t(2)));
  EXPECT_FALSE(Make(&Variant::SetInt64, int64_t(2)) < Make(&Variant::SetDouble, 2.0));
  EXPECT_FALSE(Make(&Variant::SetDouble, 2.0) < Make(&Variant::SetUInt8, uint8_t(2)));
}

TEST(VariantTest, OrderingComparesDataAsByteStringsShorterFirst) {
  EXPECT_TRUE(Raw(Variant::Buffer, {9}) < Raw(Variant::Buffer, {0, 0}));
  EXPECT_TRUE(Raw(Variant::Buffer, {1, 9}) < Raw(Variant::Buffer, {0xFF, 0}));
  EXPECT_FALSE(Raw(Variant::Buffer, {1, 2}) < Raw(Variant::Buffer, {1, 2}));
  EXPECT_TRUE(Make(&Variant::SetString, "ab") < Make(&Variant::SetString, "abc"));
  EXPECT_TRUE(Raw(Variant::Buffer, {0x61, 0x62, 0x00}) < Make(&Variant::SetString, "ac"));
  // A scalar against data compares as its eight value bytes.
  EXPECT_TRUE(Raw(Variant::Buffer, {0xFF}) < Make(&Variant::SetInt8, int8_t(0)));
  EXPECT_TRUE(Make(&Variant::SetInt32, 1) < Raw(Variant::Buffer, {2, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_FALSE(Make(&Variant::SetInt32, 2) < Raw(Variant::Buffer, {2, 0, 0, 0, 0, 0, 0, 0}));
}

} // namespace
