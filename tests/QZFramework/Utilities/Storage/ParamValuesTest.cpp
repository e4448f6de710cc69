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
using QZTest::Hex;

const std::string kInt32Record = "10000000 01000000 06000000";
const std::string kEmptyRecord = "0C000000 01000000 00000000";
const std::string kByteRecord = "0D000000 01000000 0E000000 2A";

std::string DataHex(const Variant& value) {
  uint32_t size = 0;
  const void* data = value.GetData(size);
  return QZTest::ToHex(data, size);
}

Variant Byte(uint8_t value) {
  Variant v;
  v.SetBuffer(&value, 1);
  return v;
}

// A list of the given bytes, as a hostile peer could send it.
template <class List>
List ListOf(std::string_view hex) {
  const std::vector<uint8_t> bytes = QZTest::FromHex(hex);
  List list;
  list.SetRaw(Variant::List, bytes.data(), uint32_t(bytes.size()));
  return list;
}

struct Read {
  QZ::QZResult result;
  Variant value;
  uint32_t id;
  Variant qualifier;
};

// GetParamValue into outputs that held something before.
Read ReadEntry(const ParamValues& values, uint32_t index) {
  Read read{0, Byte(3), 0, Byte(3)};
  read.result = values.GetParamValue(index, read.value, read.id, read.qualifier);
  return read;
}

TEST(ParamValuesTest, DescriptorsFromARangeAreByteExact) {
  const ParamDescriptors descriptors(ParamIdRange{100, 3});
  std::string expected;
  for (const char* id : {"64000000", "65000000", "66000000"}) {
    expected += Hex("28000000 01000000 10000000" + kInt32Record + id + kEmptyRecord);
  }
  EXPECT_EQ(DataHex(descriptors), expected);
  for (uint32_t i = 0; i < 3; ++i) {
    ParamDescriptor descriptor(7, Byte(1));
    EXPECT_EQ(descriptors.GetDescriptor(i, descriptor), 0);
    EXPECT_EQ(descriptor, ParamDescriptor(100 + i));
  }
  EXPECT_EQ(ParamDescriptors(ParamIdRange{5, 0}).GetListCount(), 0u);
}

TEST(ParamValuesTest, DescriptorsFromRangesFollowTheRangesInOrder) {
  const ParamIdRange items[] = {{140, 2}, {0xFFFFFFF8, 1}, {3, 0}, {7, 1}};
  ParamRanges ranges;
  ASSERT_EQ(ranges.SetRanges(items, 4), 0);
  ParamIdRange range;
  ASSERT_EQ(ranges.GetRange(1, range), 0);
  EXPECT_EQ(range, items[1]);
  ParamDescriptors descriptors;
  ASSERT_EQ(descriptors.SetFromRanges(ranges), 0);
  std::vector<uint32_t> ids;
  ParamDescriptor descriptor;
  for (uint32_t i = 0; descriptors.GetDescriptor(i, descriptor) == 0; ++i) {
    ids.push_back(descriptor.id);
  }
  EXPECT_EQ(ids, (std::vector<uint32_t>{140, 141, 0xFFFFFFF8, 7}));
  EXPECT_EQ(descriptor.id, 0xFFFFFFFFu);

  // A range entry of one record spoils the whole list; so does a list beyond 4 GB.
  const auto malformed = ListOf<ParamRanges>("1C000000 01000000 10000000" + kInt32Record + "03000000");
  range = {1, 1};
  EXPECT_EQ(malformed.GetRange(0, range), QZ::kParamListBadEntry);
  EXPECT_EQ(range, (ParamIdRange{1, 1}));
  EXPECT_EQ(malformed.GetRange(1, range), QZ::kParamListNoItem);
  EXPECT_EQ(range, (ParamIdRange{0xFFFFFFFF, 0}));
  EXPECT_EQ(descriptors.SetFromRanges(malformed), QZ::kParamListBadEntry);
  EXPECT_EQ(descriptors.GetListCount(), 0u);
  const ParamIdRange huge[] = {{0, 0x8000000}, {0, 0x8000000}};
  ranges.SetRanges(huge, 2);
  EXPECT_EQ(descriptors.SetFromRanges(ranges), QZ::QZ_E_FAIL);
}

TEST(ParamValuesTest, DescriptorsKeepTheirQualifiers) {
  Variant text;
  text.SetString("a");
  const ParamDescriptor items[] = {ParamDescriptor(2, text), ParamDescriptor(0xFFFFFFF6)};
  ParamDescriptors descriptors;
  ASSERT_EQ(descriptors.SetDescriptors(items, 2), 0);
  for (uint32_t i = 0; i < 2; ++i) {
    ParamDescriptor read;
    ASSERT_EQ(descriptors.GetDescriptor(i, read), 0);
    EXPECT_EQ(read, items[i]);
  }
}

TEST(ParamValuesTest, AValueEntryRoundTripsWithItsQualifier) {
  ParamValues values;
  Variant qualifier;
  qualifier.SetString("k");
  ASSERT_EQ(values.SetParamValue(ParamDescriptor(0xFFFFFFF8, qualifier), Byte(0x2A)), 0);
  EXPECT_EQ(DataHex(values), Hex("37000000 01000000 10000000" + kByteRecord + kInt32Record + "F8FFFFFF" +
                                 "0E000000 01000000 0F000000 6B00"));
  const Read read = ReadEntry(values, 0);
  EXPECT_EQ(read.result, 0);
  EXPECT_EQ(read.id, 0xFFFFFFF8u);
  EXPECT_EQ(read.value, Byte(0x2A));
  EXPECT_EQ(read.qualifier, qualifier);

  // The outputs may be the list itself.
  uint32_t id = 0;
  ASSERT_EQ(values.GetParamValue(0, values, id, qualifier), 0);
  EXPECT_EQ(static_cast<const Variant&>(values), Byte(0x2A));
}

TEST(ParamValuesTest, AValueEntryOfEveryKindReadsBackAsItsRecordDecodes) {
  uint8_t bytes[] = {1, 2, 3};
  Variant list;
  const Variant listItems[] = {Byte(4), Variant()};
  list.SetList(listItems, 2);
  Variant emptyList;
  emptyList.SetList(nullptr, 0);
  // Each value and what its record decodes to: external data comes back as an owned
  // copy, an empty buffer (whose record is refused) as Empty.
  struct Case {
    const char* name;
    Variant value;
    Variant decoded;
  };
  std::vector<Case> cases;
  const auto add = [&](const char* name, auto setter, auto... arguments) {
    Variant value;
    (value.*setter)(arguments...);
    cases.push_back({name, value, value});
  };
  add("Empty", &Variant::Clear);
  add("Bool", &Variant::SetBool, true);
  add("Int8", &Variant::SetInt8, int8_t(-2));
  add("UInt8", &Variant::SetUInt8, uint8_t(200));
  add("Int16", &Variant::SetInt16, int16_t(-300));
  add("UInt16", &Variant::SetUInt16, uint16_t(60000));
  add("Int32", &Variant::SetInt32, -70000);
  add("UInt32", &Variant::SetUInt32, 4000000000u);
  add("Float", &Variant::SetFloat, 1.5f);
  add("Double", &Variant::SetDouble, -2.25);
  add("Int64", &Variant::SetInt64, int64_t(-1) << 40);
  add("UInt64", &Variant::SetUInt64, uint64_t(1) << 63);
  add("Buffer", &Variant::SetBuffer, static_cast<const void*>(bytes), 3u);
  add("String", &Variant::SetString, "text");
  add("empty String", &Variant::SetString, "");
  cases.push_back({"List", list, list});
  cases.push_back({"empty List", emptyList, emptyList});
  Variant owned;
  owned.SetBuffer(bytes, 3);
  Variant external;
  external.SetExternalData(bytes, 3);
  cases.push_back({"ExternalData", external, owned});
  external.SetExternalConstData(bytes, 3);
  cases.push_back({"ExternalConstData", external, owned});
  Variant emptyBuffer;
  emptyBuffer.SetBuffer(nullptr, 0);
  cases.push_back({"empty Buffer", emptyBuffer, Variant()});

  for (const Case& c : cases) {
    for (const Variant& qualifier : {Variant(), c.value}) {
      ParamValues values;
      ASSERT_EQ(values.SetParamValue(ParamDescriptor(77, qualifier), c.value), 0) << c.name;
      const Read read = ReadEntry(values, 0);
      EXPECT_EQ(read.result, 0) << c.name;
      EXPECT_EQ(read.id, 77u) << c.name;
      EXPECT_EQ(read.value, c.decoded) << c.name;
      EXPECT_EQ(read.qualifier, qualifier.GetType() == Variant::Empty ? Variant() : c.decoded) << c.name;
    }
  }
}

TEST(ParamValuesTest, ValueEntriesAreTheListFormOfDescriptorAndValue) {
  const ParamValue items[] = {{ParamDescriptor(3), Byte(1)}, {ParamDescriptor(4, Byte(9)), Byte(2)}};
  ParamValues values;
  ASSERT_EQ(values.SetValueEntries(items, 2), 0);
  Variant entries[2];
  for (int i = 0; i < 2; ++i) {
    items[i].descriptor.ToValueEntry(items[i].value, entries[i]);
    const Read read = ReadEntry(values, i);
    EXPECT_EQ(ParamValue(ParamDescriptor(read.id, read.qualifier), read.value), items[i]);
  }
  Variant expected;
  expected.SetList(entries, 2);
  EXPECT_EQ(static_cast<const Variant&>(values), expected);
}

TEST(ParamValuesTest, IdValuePairsAreWrittenButNotReadAsValueEntries) {
  const ParamValue items[] = {{ParamDescriptor(5, Byte(7)), Byte(0x2A)}};
  ParamValues values;
  ASSERT_EQ(values.SetParamValues(items, 1), 0);
  EXPECT_EQ(DataHex(values), Hex("29000000 01000000 10000000" + kInt32Record + "05000000" + kByteRecord));
  const Read read = ReadEntry(values, 0);
  EXPECT_EQ(read.result, QZ::kParamListBadEntry);
  EXPECT_EQ(read.id, 0xFFFFFFFFu);
  EXPECT_EQ(read.value.GetType(), Variant::Empty);
  EXPECT_EQ(read.qualifier.GetType(), Variant::Empty);
}

TEST(ParamValuesTest, SettersRefuseMissingItems) {
  const ParamValue one(1);
  ParamValues values;
  EXPECT_EQ(values.SetParamValues(nullptr, 1), QZ::kParamListNoItem);
  EXPECT_EQ(values.SetParamValues(&one, 0), QZ::kParamListNoItem);
  EXPECT_EQ(values.SetValueEntries(nullptr, 1), QZ::kParamListNoItem);
  EXPECT_EQ(ParamRanges().SetRanges(nullptr, 1), QZ::kParamListNoItem);
  EXPECT_EQ(ParamDescriptors().SetDescriptors(nullptr, 2), QZ::kParamListNoItem);
}

TEST(ParamValuesTest, GetParamValueOutOfRangeGivesMinusFourAndNoId) {
  ParamValues values;
  values.SetParamValue(ParamDescriptor(1), Byte(1));
  for (const Read& read : {ReadEntry(values, 1), ReadEntry(ParamValues(), 0)}) {
    EXPECT_EQ(read.result, QZ::kParamListNoItem);
    EXPECT_EQ(read.id, 0xFFFFFFFFu);
    EXPECT_EQ(read.value.GetType(), Variant::Empty);
    EXPECT_EQ(read.qualifier.GetType(), Variant::Empty);
  }
  values.SetInt32(1);
  EXPECT_EQ(ReadEntry(values, 0).result, QZ::kParamListNoItem);
}

TEST(ParamValuesTest, GetParamValueRefusesEntriesOfTheWrongShape) {
  const std::string idRecord = kInt32Record + "05000000";
  const std::string entries[] = {
      idRecord,                                                                            // not a list
      "29000000 01000000 10000000" + kByteRecord + idRecord,                               // two records
      "41000000 01000000 10000000" + kByteRecord + idRecord + kEmptyRecord + kEmptyRecord, // four records
      "FF000000 01000000 10000000" + kByteRecord + idRecord + kEmptyRecord,                // past the list
      "2E000000 01000000 10000000" + kByteRecord + idRecord + "0C000000 01",               // header cut off
  };
  for (const std::string& entry : entries) {
    const auto values = ListOf<ParamValues>(entry);
    ASSERT_EQ(values.GetListCount(), 1u) << entry;
    const Read read = ReadEntry(values, 0);
    EXPECT_EQ(read.result, QZ::kParamListBadEntry) << entry;
    EXPECT_EQ(read.id, 0xFFFFFFFFu) << entry;
    EXPECT_EQ(read.value.GetType(), Variant::Empty) << entry;
    EXPECT_EQ(read.qualifier.GetType(), Variant::Empty) << entry;
  }
}

TEST(ParamValuesTest, ElementsThatDoNotDecodeAreReadAsEmptyAndAnIdThatDoesNotNamesNone) {
  const std::string idRecord = kInt32Record + "05000000";
  const auto badId = ListOf<ParamValues>("34000000 01000000 10000000" + kByteRecord +
                                         "0F000000 01000000 06000000 050000" + kEmptyRecord);
  const Read noId = ReadEntry(badId, 0);
  EXPECT_EQ(noId.result, 0);
  EXPECT_EQ(noId.id, 0xFFFFFFFFu);
  EXPECT_EQ(noId.value, Byte(0x2A));
  EXPECT_EQ(noId.qualifier.GetType(), Variant::Empty);

  const auto badQualifier =
      ListOf<ParamValues>("35000000 01000000 10000000" + kByteRecord + idRecord + "00000000 01000000 00000000");
  const Read unqualified = ReadEntry(badQualifier, 0);
  EXPECT_EQ(unqualified.result, 0);
  EXPECT_EQ(unqualified.id, 5u);
  EXPECT_EQ(unqualified.value, Byte(0x2A));
  EXPECT_EQ(unqualified.qualifier.GetType(), Variant::Empty);
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
  EXPECT_EQ(named, ParamValue(ParamDescriptor(9), Variant()));
  EXPECT_NE(named, ParamValue(ParamDescriptor(9), Byte(0)));
  EXPECT_NE(named, ParamValue(ParamDescriptor(9, Byte(0)), Variant()));

  const QZ::Pair<ParamDescriptor, Variant> pair(9, Byte(1), Byte(2));
  EXPECT_EQ(pair.first, ParamDescriptor(9, Byte(1)));
  EXPECT_EQ(pair.second, Byte(2));
}

} // namespace
