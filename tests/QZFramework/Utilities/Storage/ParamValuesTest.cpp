#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "QZFramework/Utilities/Storage/ParamValues.h"
#include "Support/HexBytes.h"

namespace {

using QZ::ParamDescriptor;
using QZ::ParamDescriptors;
using QZ::ParamIdRange;
using QZ::ParamRanges;
using QZ::ParamValue;
using QZ::ParamValues;
using QZ::Variant;
using QZTest::FromHex;
using QZTest::Hex;
using QZTest::ToHex;

std::string DataHex(const Variant& value) {
  uint32_t size = 0;
  const void* data = value.GetData(size);
  return ToHex(data, size);
}

Variant Byte(uint8_t value) {
  Variant v;
  v.SetBuffer(&value, 1);
  return v;
}

Variant Text(const char* text) {
  Variant v;
  v.SetString(text);
  return v;
}

// A list of the given bytes, as a hostile peer could send it.
template <class List>
List ListOf(std::string_view hex) {
  const std::vector<uint8_t> bytes = FromHex(hex);
  List list;
  list.SetRaw(Variant::List, bytes.data(), uint32_t(bytes.size()));
  return list;
}

const std::string kInt32Record = "10000000 01000000 06000000";
const std::string kEmptyRecord = "0C000000 01000000 00000000";

TEST(ParamValuesTest, DescriptorsFromARangeAreByteExact) {
  const ParamDescriptors descriptors(ParamIdRange{100, 3});
  std::string expected;
  for (const char* id : {"64000000", "65000000", "66000000"}) {
    expected += Hex("28000000 01000000 10000000" + kInt32Record + id + kEmptyRecord);
  }
  EXPECT_EQ(descriptors.GetType(), Variant::List);
  EXPECT_EQ(DataHex(descriptors), expected);
  ASSERT_EQ(descriptors.GetListCount(), 3u);
  for (uint32_t i = 0; i < 3; ++i) {
    ParamDescriptor descriptor(7, Byte(1));
    EXPECT_EQ(descriptors.GetDescriptor(i, descriptor), 0);
    EXPECT_EQ(descriptor, ParamDescriptor(100 + i));
  }
  EXPECT_EQ(DataHex(ParamDescriptors(ParamIdRange{5, 0})), "");
}

TEST(ParamValuesTest, DescriptorsFromRangesFollowTheRangesInOrder) {
  const ParamIdRange items[] = {{140, 2}, {0xFFFFFFF8, 1}, {3, 0}, {7, 1}};
  ParamRanges ranges;
  ASSERT_EQ(ranges.SetRanges(items, 4), 0);
  ParamDescriptors descriptors;
  ASSERT_EQ(descriptors.SetFromRanges(ranges), 0);
  std::vector<uint32_t> ids;
  ParamDescriptor descriptor;
  for (uint32_t i = 0; descriptors.GetDescriptor(i, descriptor) == 0; ++i) {
    ids.push_back(descriptor.id);
  }
  EXPECT_EQ(ids, (std::vector<uint32_t>{140, 141, 0xFFFFFFF8, 7}));
}

TEST(ParamValuesTest, DescriptorsFromRangesRefuseMalformedOrOversizedRanges) {
  ParamDescriptors descriptors(ParamIdRange{1, 2});
  // The second entry is a list of one record.
  auto ranges = ListOf<ParamRanges>("2C000000 01000000 10000000" + kInt32Record + "01000000" + kInt32Record +
                                    "02000000" + "1C000000 01000000 10000000" + kInt32Record + "03000000");
  EXPECT_EQ(descriptors.SetFromRanges(ranges), QZ::kParamListBadEntry);
  EXPECT_EQ(descriptors.GetType(), Variant::List);
  EXPECT_EQ(descriptors.GetListCount(), 0u);

  const ParamIdRange huge[] = {{0, 0x8000000}, {0, 0x8000000}};
  ParamRanges hugeRanges;
  hugeRanges.SetRanges(huge, 2);
  EXPECT_EQ(descriptors.SetFromRanges(hugeRanges), QZ::QZ_E_FAIL);
  EXPECT_EQ(descriptors.GetListCount(), 0u);
}

TEST(ParamValuesTest, AValueEntryRoundTripsWithItsQualifier) {
  ParamValues values;
  EXPECT_EQ(values.GetType(), Variant::List);
  ASSERT_EQ(values.SetParamValue(ParamDescriptor(0xFFFFFFF8, Text("k")), Byte(0x2A)), 0);
  EXPECT_EQ(DataHex(values), Hex("37000000 01000000 10000000"
                                 "0D000000 01000000 0E000000 2A" +
                                 kInt32Record + "F8FFFFFF" + "0E000000 01000000 0F000000 6B00"));
  Variant value;
  Variant qualifier;
  uint32_t id = 0;
  ASSERT_EQ(values.GetParamValue(0, value, id, qualifier), 0);
  EXPECT_EQ(id, 0xFFFFFFF8u);
  EXPECT_EQ(value, Byte(0x2A));
  EXPECT_EQ(qualifier, Text("k"));

  // The outputs may be the list itself.
  Variant& self = values;
  ASSERT_EQ(values.GetParamValue(0, self, id, qualifier), 0);
  EXPECT_EQ(self, Byte(0x2A));
}

TEST(ParamValuesTest, ValueEntriesAreTheListFormOfDescriptorAndValue) {
  const ParamValue items[] = {{ParamDescriptor(3), Byte(1)}, {ParamDescriptor(4, Byte(9)), Text("x")}};
  ParamValues values;
  ASSERT_EQ(values.SetValueEntries(items, 2), 0);
  Variant entries[2];
  items[0].descriptor.ToValueEntry(items[0].value, entries[0]);
  items[1].descriptor.ToValueEntry(items[1].value, entries[1]);
  Variant expected;
  expected.SetList(entries, 2);
  EXPECT_EQ(static_cast<const Variant&>(values), expected);

  for (uint32_t i = 0; i < 2; ++i) {
    ParamValue read;
    uint32_t id = 0;
    ASSERT_EQ(values.GetParamValue(i, read.value, id, read.descriptor.qualifier), 0);
    read.descriptor.id = id;
    EXPECT_EQ(read, items[i]);
  }
}

TEST(ParamValuesTest, IdValuePairsAreWrittenButNotReadAsValueEntries) {
  const ParamValue items[] = {{ParamDescriptor(5, Byte(7)), Byte(1)}};
  ParamValues values;
  ASSERT_EQ(values.SetParamValues(items, 1), 0);
  EXPECT_EQ(DataHex(values),
            Hex("29000000 01000000 10000000" + kInt32Record + "05000000" + "0D000000 01000000 0E000000 01"));
  Variant value = Byte(3);
  Variant qualifier = Byte(3);
  uint32_t id = 0;
  EXPECT_EQ(values.GetParamValue(0, value, id, qualifier), QZ::kParamListBadEntry);
  EXPECT_EQ(id, 0xFFFFFFFFu);
  EXPECT_EQ(value.GetType(), Variant::Empty);
  EXPECT_EQ(qualifier.GetType(), Variant::Empty);
}

TEST(ParamValuesTest, SettersRefuseMissingItems) {
  ParamValues values;
  values.SetParamValue(ParamDescriptor(1), Byte(1));
  const ParamValue one(1);
  EXPECT_EQ(values.SetParamValues(nullptr, 1), QZ::kParamListNoItem);
  EXPECT_EQ(values.SetParamValues(&one, 0), QZ::kParamListNoItem);
  EXPECT_EQ(values.SetValueEntries(nullptr, 1), QZ::kParamListNoItem);
  EXPECT_EQ(values.GetListCount(), 1u);
  ParamRanges ranges;
  EXPECT_EQ(ranges.SetRanges(nullptr, 1), QZ::kParamListNoItem);
  ParamDescriptors descriptors;
  EXPECT_EQ(descriptors.SetDescriptors(nullptr, 2), QZ::kParamListNoItem);
}

TEST(ParamValuesTest, GetParamValueOutOfRangeClearsTheOutputs) {
  ParamValues values;
  values.SetParamValue(ParamDescriptor(1), Byte(1));
  Variant value = Byte(3);
  Variant qualifier = Byte(3);
  uint32_t id = 0;
  EXPECT_EQ(values.GetParamValue(1, value, id, qualifier), QZ::kParamListNoItem);
  EXPECT_EQ(id, 0xFFFFFFFFu);
  EXPECT_EQ(value.GetType(), Variant::Empty);
  EXPECT_EQ(qualifier.GetType(), Variant::Empty);

  values.SetInt32(1);
  id = 0;
  EXPECT_EQ(values.GetParamValue(0, value, id, qualifier), QZ::kParamListNoItem);
  EXPECT_EQ(id, 0xFFFFFFFFu);
  EXPECT_EQ(ParamValues().GetParamValue(0, value, id, qualifier), QZ::kParamListNoItem);
}

TEST(ParamValuesTest, GetParamValueRefusesMalformedEntries) {
  const std::string valueRecord = "0D000000 01000000 0E000000 2A";
  const std::string idRecord = kInt32Record + "05000000";
  const std::string entries[] = {
      // Not a list.
      idRecord,
      // A list of two records.
      "29000000 01000000 10000000" + valueRecord + idRecord,
      // A list of four records.
      "41000000 01000000 10000000" + valueRecord + idRecord + kEmptyRecord + kEmptyRecord,
      // Three records whose id does not decode (three bytes for an Int32).
      "34000000 01000000 10000000" + valueRecord + "0F000000 01000000 06000000 050000" + kEmptyRecord,
      // Three records whose last size word is zero.
      "35000000 01000000 10000000" + valueRecord + idRecord + "00000000 01000000 00000000",
      // An entry whose size word runs past the list.
      "FF000000 01000000 10000000" + valueRecord + idRecord + kEmptyRecord,
  };
  for (const std::string& entry : entries) {
    const auto values = ListOf<ParamValues>(entry);
    ASSERT_EQ(values.GetListCount(), 1u) << entry;
    Variant value = Byte(3);
    Variant qualifier = Byte(3);
    uint32_t id = 0;
    EXPECT_EQ(values.GetParamValue(0, value, id, qualifier), QZ::kParamListBadEntry) << entry;
    EXPECT_EQ(id, 0xFFFFFFFFu) << entry;
    EXPECT_EQ(value.GetType(), Variant::Empty) << entry;
    EXPECT_EQ(qualifier.GetType(), Variant::Empty) << entry;
  }
}

TEST(ParamValuesTest, RangesRoundTripAndReportFailuresAsTheListsDo) {
  const ParamIdRange items[] = {{0, 140}, {140, 5}};
  ParamRanges ranges;
  ASSERT_EQ(ranges.SetRanges(items, 2), 0);
  EXPECT_EQ(DataHex(ranges).substr(0, 2 * 12), Hex("2C000000 01000000 10000000"));
  ParamIdRange range;
  ASSERT_EQ(ranges.GetRange(1, range), 0);
  EXPECT_EQ(range, (ParamIdRange{140, 5}));
  EXPECT_EQ(ranges.GetRange(2, range), QZ::kParamListNoItem);
  EXPECT_EQ(range, (ParamIdRange{0xFFFFFFFF, 0}));

  range = {1, 1};
  const auto malformed = ListOf<ParamRanges>("1C000000 01000000 10000000" + kInt32Record + "03000000");
  EXPECT_EQ(malformed.GetRange(0, range), QZ::kParamListBadEntry);
  EXPECT_EQ(range, (ParamIdRange{1, 1}));
}

TEST(ParamValuesTest, DescriptorsKeepTheirQualifiers) {
  const ParamDescriptor items[] = {ParamDescriptor(2, Text("a")), ParamDescriptor(0xFFFFFFF6)};
  ParamDescriptors descriptors;
  ASSERT_EQ(descriptors.SetDescriptors(items, 2), 0);
  ParamDescriptor read;
  ASSERT_EQ(descriptors.GetDescriptor(0, read), 0);
  EXPECT_EQ(read, items[0]);
  ASSERT_EQ(descriptors.GetDescriptor(1, read), 0);
  EXPECT_EQ(read, items[1]);
  read.qualifier = Text("stale");
  EXPECT_EQ(descriptors.GetDescriptor(2, read), QZ::kParamListNoItem);
  EXPECT_EQ(read.id, 0xFFFFFFFFu);
  EXPECT_EQ(read.qualifier.GetType(), Variant::Empty);
}

TEST(ParamValuesTest, RecordsCompareByIdAndQualifier) {
  EXPECT_EQ(ParamDescriptor(4, Byte(1)), ParamDescriptor(4, Byte(1)));
  EXPECT_NE(ParamDescriptor(4, Byte(1)), ParamDescriptor(4, Byte(2)));
  EXPECT_NE(ParamDescriptor(4), ParamDescriptor(5));
  EXPECT_TRUE(ParamDescriptor(4, Byte(9)) < ParamDescriptor(5));
  EXPECT_TRUE(ParamDescriptor(5) < ParamDescriptor(5, Byte(0)));
  EXPECT_TRUE(ParamDescriptor(5) < ParamDescriptor(0xFFFFFFFF));
  EXPECT_FALSE(ParamDescriptor(5, Byte(1)) < ParamDescriptor(5, Byte(1)));

  const ParamValue named(9);
  EXPECT_EQ(named.GetId(), 9u);
  EXPECT_EQ(named.descriptor.qualifier.GetType(), Variant::Empty);
  EXPECT_EQ(named.value.GetType(), Variant::Empty);
  EXPECT_EQ(named, ParamValue(ParamDescriptor(9), Variant()));
  EXPECT_NE(named, ParamValue(ParamDescriptor(9), Byte(0)));
  EXPECT_NE(named, ParamValue(ParamDescriptor(9, Byte(0)), Variant()));

  const QZ::Pair<ParamDescriptor, Variant> pair(9, Byte(1), Byte(2));
  EXPECT_EQ(pair.first, ParamDescriptor(9, Byte(1)));
  EXPECT_EQ(pair.second, Byte(2));
}

} // namespace
