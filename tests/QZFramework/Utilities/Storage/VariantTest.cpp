#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "QZFramework/Utilities/Storage/Variant.h"

namespace {

using QZ::Variant;

// Blocks are exactly as long as their data, so reads past them show under ASan.
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

// Counts the blocks it hands out: every block must come from the override and go back once.
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

TEST(VariantTest, ConversionsFollowTheKind) {
  struct Row {
    Variant value;
    int8_t i8;
    int16_t i16;
    int32_t i32;
    int64_t i64;
    uint16_t u16;
    uint32_t u32;
    uint64_t u64;
    double real;
    bool truth;
  };
  const Row rows[] = {
      {Variant(), 0, 0, 0, 0, 0, 0, 0, 0, false},
      {Raw(Variant::Bool, {5}), 1, 5, 5, 5, 5, 5, 5, 5, true},
      {Make(&Variant::SetInt8, int8_t(-1)), -1, -1, -1, -1, 255, 0xFFFFFFFF, ~0ull, -1, true},
      {Make(&Variant::SetUInt8, uint8_t(200)), -56, 200, 200, 200, 200, 200, 200, 200, true},
      {Make(&Variant::SetInt16, int16_t(-2)), -2, -2, -2, -2, 0xFFFE, 0xFFFFFFFE, ~1ull, -2, true},
      {Make(&Variant::SetInt32, 0x12345678), 0x78, 0x5678, 0x12345678, 0x12345678, 0x5678, 0x12345678, 0x12345678,
       0x12345678, true},
      {Make(&Variant::SetInt32, -5), -5, -5, -5, -5, 0xFFFB, 0xFFFFFFFB, ~4ull, -5, true},
      {Make(&Variant::SetUInt32, 0xFFFFFFFFu), -1, -1, -1, 0xFFFFFFFF, 0xFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 4294967295.0,
       true},
      {Make(&Variant::SetUInt64, ~0ull), -1, -1, -1, -1, 0xFFFF, 0xFFFFFFFF, ~0ull, 0x1p64, true},
      {Make(&Variant::SetFloat, 2.5f), 3, 3, 3, 3, 3, 3, 3, 2.5, true},
      {Make(&Variant::SetFloat, -2.5f), -3, -3, -3, -3, 0xFFFD, 0xFFFFFFFD, ~2ull, -2.5, true},
      {Make(&Variant::SetDouble, 70000.4), int8_t(70000), int16_t(70000), 70000, 70000, uint16_t(70000), 70000, 70000,
       70000.4, true},
      {Make(&Variant::SetDouble, 1.8e19), -1, -1, std::numeric_limits<int32_t>::max(),
       std::numeric_limits<int64_t>::max(), 0xFFFF, 0xFFFFFFFF, 18000000000000000000u, 1.8e19, true},
      {Make(&Variant::SetFloat, -0.0f), 0, 0, 0, 0, 0, 0, 0, 0, false},
      {Make(&Variant::SetString, "abc"), 3, 3, 3, 3, 3, 3, 3, 3, true},
      {Make(&Variant::SetString, ""), 0, 0, 0, 0, 0, 0, 0, 0, false},
      {Raw(Variant::Buffer, {0x34, 0x12}), 0x34, 0x1234, 0x1234, 0x1234, 0x1234, 0x1234, 0x1234, 0x1234, true},
      {Raw(Variant::Buffer, {0xFF}), -1, 255, 255, 255, 255, 255, 255, 255, true},
      {Raw(Variant::Buffer, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 9}), -1, -1, -1, -1, 0xFFFF, 0xFFFFFFFF,
       ~0ull, -1, true},
      {Raw(Variant::Buffer, {}), 0, 0, 0, 0, 0, 0, 0, 0, false},
      {Raw(Variant::List, {0x0C, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0}), 0, 0, 0, 0, 0, 0, 0, 0, true},
  };
  for (size_t i = 0; i < std::size(rows); ++i) {
    const Row& row = rows[i];
    EXPECT_EQ(row.value.ToInt8(), row.i8) << "row " << i;
    EXPECT_EQ(row.value.ToUInt8(), uint8_t(row.i8)) << "row " << i;
    EXPECT_EQ(row.value.ToInt16(), row.i16) << "row " << i;
    EXPECT_EQ(row.value.ToInt32(), row.i32) << "row " << i;
    EXPECT_EQ(row.value.ToInt64(), row.i64) << "row " << i;
    EXPECT_EQ(row.value.ToUInt16(), row.u16) << "row " << i;
    EXPECT_EQ(row.value.ToUInt32(), row.u32) << "row " << i;
    EXPECT_EQ(row.value.ToUInt64(), row.u64) << "row " << i;
    EXPECT_EQ(row.value.ToDouble(), row.real) << "row " << i;
    EXPECT_EQ(row.value.ToFloat(), float(row.real)) << "row " << i;
    EXPECT_EQ(row.value.ToBool(), row.truth) << "row " << i;
  }
}

TEST(VariantTest, RealsOutsideTheTargetSaturateAndNaNGivesZero) {
  EXPECT_EQ(Make(&Variant::SetDouble, -1e20).ToInt32(), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(Make(&Variant::SetFloat, -1e30f).ToInt64(), std::numeric_limits<int64_t>::min());
  EXPECT_EQ(Make(&Variant::SetDouble, 1e300).ToUInt64(), std::numeric_limits<uint64_t>::max());
  EXPECT_EQ(Make(&Variant::SetDouble, 2.4999).ToInt16(), 2);
  const Variant nan = Make(&Variant::SetDouble, std::nan(""));
  EXPECT_EQ(nan.ToInt32() | nan.ToInt64() | int64_t(nan.ToUInt64()), 0);
  EXPECT_TRUE(nan.ToBool());
}

TEST(VariantTest, ExternalDataIsReadInPlace) {
  std::array<uint8_t, 3> bytes = {1, 2, 3};
  Variant external;
  external.SetExternalData(bytes.data(), 3);
  uint32_t size = 0;
  EXPECT_EQ(external.GetWritableData(size), bytes.data());
  EXPECT_EQ(external.ToInt32(), 0x030201);
  external.SetExternalConstData(bytes.data(), 3);
  EXPECT_EQ(external.GetData(size), bytes.data());
  EXPECT_EQ(external.GetWritableData(size), nullptr);
  external.SetExternalData(nullptr, 3);
  EXPECT_EQ(external.GetSize(), 0u);
  EXPECT_FALSE(external.ToBool());
}

TEST(VariantTest, GetDataGivesTheValueBytesByKind) {
  uint32_t size = 99;
  EXPECT_EQ(Variant().GetData(size), nullptr);
  EXPECT_EQ(size, 0u);
  const std::pair<Variant, uint32_t> cases[] = {
      {Make(&Variant::SetBool, true), 1},      {Make(&Variant::SetUInt16, uint16_t(2)), 2},
      {Make(&Variant::SetFloat, 1.0f), 4},     {Make(&Variant::SetUInt64, uint64_t(3)), 8},
      {Make(&Variant::SetString, "abc"), 4},   {Raw(Variant::Buffer, {1, 2, 3}), 3},
      {Raw(Variant::List, {1, 2, 3, 4, 5}), 5}};
  for (auto [value, width] : cases) {
    EXPECT_NE(value.GetData(size), nullptr) << value.GetType();
    EXPECT_EQ(size, width) << value.GetType();
    EXPECT_EQ(value.GetWritableData(size) != nullptr, value.GetType() != Variant::List) << value.GetType();
  }
  uint16_t stored = 0;
  std::memcpy(&stored, cases[1].first.GetData(size), 2);
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
  EXPECT_EQ(std::memcmp(value.GetData(size), bytes, 5), 0);
  EXPECT_EQ(value.SetRaw(Variant::String, "ab\0cd", 5), Variant::String);
  EXPECT_STREQ(value.GetString(), "ab");
  EXPECT_EQ(value.SetRaw(Variant::String, "abcd", 4), Variant::Empty);
  EXPECT_EQ(value.SetString(nullptr), Variant::Empty);
}

TEST(VariantTest, SettersClearTheWholeValue) {
  Variant value;
  value.SetInt64(-1);
  value.SetInt8(-1);
  EXPECT_EQ(value.ToUInt16(), 0xFF);
  value.SetString("abc");
  value.SetFloat(1.0f);
  EXPECT_EQ(value.GetSize(), 0u);
  EXPECT_EQ(value.GetString(), nullptr);
  EXPECT_EQ(value, Make(&Variant::SetFloat, 1.0f));
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

  original.SetBuffer(nullptr, 4);
  EXPECT_EQ(original, Raw(Variant::Buffer, {0, 0, 0, 0}));
}

TEST(VariantTest, HeapBlocksGoThroughTheOverridesAndBackOnce) {
  int live = 0;
  {
    CountingVariant value(live);
    value.SetString("one");
    value.SetBuffer("two", 3);
    const Variant items[2] = {Make(&Variant::SetString, "a"), Make(&Variant::SetInt32, 1)};
    value.SetList(items, 2);
    EXPECT_EQ(live, 1);
    value = items[0];
    const uint8_t record[] = {0x0D, 0, 0, 0, 1, 0, 0, 0, 0x0E, 0, 0, 0, 5};
    EXPECT_EQ(value.Deserialize(record, sizeof record), 0);
    EXPECT_EQ(live, 1);
    value.SetInt8(1);
    EXPECT_EQ(live, 0);
    value.SetString("three");
  }
  EXPECT_EQ(live, 0);
}

TEST(VariantTest, EqualityComparesKindAndValue) {
  EXPECT_EQ(Variant(), Variant());
  EXPECT_EQ(Raw(Variant::Buffer, {1, 2}), Raw(Variant::Buffer, {1, 2}));
  EXPECT_EQ(Raw(Variant::Buffer, {}), Raw(Variant::Buffer, {}));
  EXPECT_NE(Raw(Variant::Buffer, {1, 2}), Raw(Variant::Buffer, {1, 2, 0}));
  EXPECT_NE(Raw(Variant::Buffer, {1, 2}), Raw(Variant::List, {1, 2}));
  EXPECT_NE(Make(&Variant::SetInt32, 1), Make(&Variant::SetUInt32, 1u));
  EXPECT_NE(Raw(Variant::Bool, {5}), Make(&Variant::SetBool, true));
  EXPECT_EQ(Make(&Variant::SetFloat, 0.0f), Make(&Variant::SetFloat, -0.0f));
  const Variant nan = Make(&Variant::SetDouble, std::nan(""));
  EXPECT_NE(nan, nan);
  EXPECT_NE(Make(&Variant::SetFloat, std::nanf("")), Make(&Variant::SetFloat, std::nanf("")));

  // External data compares by identity, not by content.
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
}

TEST(VariantTest, OrderingPutsEmptyFirstThenNumbersByValueAcrossKinds) {
  const Variant empty;
  EXPECT_FALSE(empty < empty);
  EXPECT_FALSE(Make(&Variant::SetInt8, int8_t(-1)) < empty);
  EXPECT_TRUE(empty < Raw(Variant::Buffer, {}));

  const Variant ascending[] = {
      Variant(),
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
  for (size_t i = 0; i < std::size(ascending); ++i) {
    for (size_t j = 0; j < std::size(ascending); ++j) {
      EXPECT_EQ(ascending[i] < ascending[j], i < j) << i << " < " << j;
    }
  }
  // Equal values of different kinds are equivalent.
  EXPECT_FALSE(Make(&Variant::SetInt32, 2) < Make(&Variant::SetInt64, int64_t(2)));
  EXPECT_FALSE(Make(&Variant::SetInt64, int64_t(2)) < Make(&Variant::SetDouble, 2.0));
}

TEST(VariantTest, OrderingComparesDataAsByteStringsShorterFirst) {
  EXPECT_TRUE(Raw(Variant::Buffer, {9}) < Raw(Variant::Buffer, {0, 0}));
  EXPECT_TRUE(Raw(Variant::Buffer, {1, 9}) < Raw(Variant::Buffer, {0xFF, 0}));
  EXPECT_FALSE(Raw(Variant::Buffer, {1, 2}) < Raw(Variant::Buffer, {1, 2}));
  EXPECT_TRUE(Make(&Variant::SetString, "ab") < Make(&Variant::SetString, "abc"));
  // A scalar against data compares as its eight value bytes.
  EXPECT_TRUE(Raw(Variant::Buffer, {0xFF}) < Make(&Variant::SetInt8, int8_t(0)));
  EXPECT_TRUE(Make(&Variant::SetInt32, 1) < Raw(Variant::Buffer, {2, 0, 0, 0, 0, 0, 0, 0}));
}

} // namespace
