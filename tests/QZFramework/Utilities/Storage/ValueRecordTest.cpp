#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "QZFramework/Utilities/Storage/Variant.h"
#include "Support/HexBytes.h"

namespace {

using QZ::Variant;
using QZTest::FromHex;
using QZTest::Hex;
using QZTest::ToHex;

std::vector<uint8_t> RecordOf(const Variant& value) {
  uint32_t size = 0;
  value.GetData(size);
  std::vector<uint8_t> record(12 + size);
  EXPECT_EQ(value.Serialize(record.data(), uint32_t(record.size())), int32_t(record.size()));
  return record;
}

// A List whose block holds exactly the given bytes, so reads past them show up under ASan.
Variant ListOf(std::string_view hex) {
  const std::vector<uint8_t> bytes = FromHex(hex);
  Variant list;
  list.SetRaw(Variant::List, bytes.data(), uint32_t(bytes.size()));
  return list;
}

// Decodes the record spelled by `hex` into a Variant that held a string before.
QZ::QZResult Decode(std::string_view hex, Variant& out) {
  const std::vector<uint8_t> bytes = FromHex(hex);
  out.SetString("previous");
  return out.Deserialize(bytes.data(), uint32_t(bytes.size()));
}

TEST(ValueRecordTest, RecordsAreByteExact) {
  Variant value;
  EXPECT_EQ(ToHex(RecordOf(value)), Hex("0C000000 01000000 00000000"));
  value.SetList(nullptr, 0);
  EXPECT_EQ(ToHex(RecordOf(value)), Hex("0C000000 01000000 10000000"));
  value.SetInt32(7);
  EXPECT_EQ(ToHex(RecordOf(value)), Hex("10000000 01000000 06000000 07000000"));
  const uint8_t five = 5;
  value.SetBuffer(&five, 1);
  EXPECT_EQ(ToHex(RecordOf(value)), Hex("0D000000 01000000 0E000000 05"));
  value.SetString("ab");
  EXPECT_EQ(ToHex(RecordOf(value)), Hex("0F000000 01000000 0F000000 616200"));

  value.SetInt8(-1);
  EXPECT_EQ(ToHex(RecordOf(value)), Hex("0D000000 01000000 02000000 FF"));
  value.SetUInt16(0x1234);
  EXPECT_EQ(ToHex(RecordOf(value)), Hex("0E000000 01000000 05000000 3412"));
  value.SetDouble(1.0);
  EXPECT_EQ(ToHex(RecordOf(value)), Hex("14000000 01000000 09000000 000000000000F03F"));
  value.SetInt64(-2);
  EXPECT_EQ(ToHex(RecordOf(value)), Hex("14000000 01000000 0A000000 FEFFFFFFFFFFFFFF"));
  const std::array<uint8_t, 2> bytes = {1, 2};
  value.SetExternalConstData(bytes.data(), 2);
  EXPECT_EQ(ToHex(RecordOf(value)), Hex("0E000000 01000000 0D000000 0102"));
}

TEST(ValueRecordTest, ListsHoldTheirItemsRecordsAndNest) {
  Variant items[3];
  items[0].SetBool(true);
  items[1].SetString("");
  items[2].SetList(&items[0], 2);
  Variant list;
  ASSERT_EQ(list.SetList(items, 3), Variant::List);
  const std::string first = Hex("0D000000 01000000 01000000 01");
  const std::string second = Hex("0D000000 01000000 0F000000 00");
  const std::string nested = Hex("26000000 01000000 10000000") + first + second;
  uint32_t size = 0;
  const void* data = list.GetData(size);
  EXPECT_EQ(ToHex(data, size), first + second + nested);
  EXPECT_EQ(ToHex(RecordOf(list)), Hex("4C000000 01000000 10000000") + first + second + nested);

  const Variant* pointers[3] = {&items[0], &items[1], &items[2]};
  Variant same;
  same.SetPointerList(pointers, 3);
  EXPECT_EQ(same, list);
}

TEST(ValueRecordTest, ListBuildersWriteAnItemWithoutARecordAsEmpty) {
  Variant items[2];
  items[0].SetExternalData(nullptr, 8);
  items[1].SetInt8(3);
  const Variant* pointers[3] = {&items[0], nullptr, &items[1]};
  Variant list;
  list.SetPointerList(pointers, 3);
  uint32_t size = 0;
  const void* data = list.GetData(size);
  EXPECT_EQ(ToHex(data, size),
            Hex("0C000000 01000000 00000000 0C000000 01000000 00000000 0D000000 01000000 02000000 03"));
  EXPECT_EQ(list.GetListCount(), 3u);
}

TEST(ValueRecordTest, ListBuildersMayTakeTheListItself) {
  Variant list;
  list.SetInt32(9);
  list.SetList(&list, 1);
  Variant twice;
  twice.SetList(&list, 1);
  const Variant* self[2] = {&twice, &twice};
  twice.SetPointerList(self, 2);
  ASSERT_EQ(twice.GetListCount(), 2u);
  Variant element;
  ASSERT_EQ(twice.GetListElement(1, element), 0);
  ASSERT_EQ(element.GetListElement(0, element), 0);
  ASSERT_EQ(element.GetListElement(0, element), 0);
  EXPECT_EQ(element.GetType(), Variant::Int32);
  EXPECT_EQ(element.ToInt32(), 9);
}

TEST(ValueRecordTest, SerializeRefusesWithoutWriting) {
  Variant value;
  value.SetInt32(7);
  std::array<uint8_t, 16> out;
  out.fill(0xAA);
  EXPECT_EQ(value.Serialize(out.data(), 15), QZ::QZ_E_FAIL);
  EXPECT_EQ(value.Serialize(nullptr, 16), QZ::QZ_E_FAIL);
  value.SetExternalData(out.data(), 0);
  EXPECT_EQ(value.Serialize(out.data(), 16), QZ::QZ_E_FAIL);
  EXPECT_EQ(ToHex(out.data(), out.size()), std::string(32, 'A'));
}

TEST(ValueRecordTest, DeserializeReadsWhatSerializeWrote) {
  Variant values[6];
  values[0].SetUInt64(0x0102030405060708);
  values[1].SetFloat(-1.5f);
  values[2].SetString("text");
  values[3].SetBuffer("\0\1\2", 3);
  values[4].SetList(values, 4);
  values[5].SetList(nullptr, 0);
  for (const Variant& value : values) {
    const std::vector<uint8_t> record = RecordOf(value);
    Variant copy;
    EXPECT_EQ(copy.Deserialize(record.data(), uint32_t(record.size())), 0);
    EXPECT_EQ(copy, value);
  }
  Variant copy;
  EXPECT_EQ(Decode("0C000000 01000000 00000000", copy), 0);
  EXPECT_EQ(copy.GetType(), Variant::Empty);
  // Bytes after the record are not part of it.
  EXPECT_EQ(Decode("0D000000 01000000 03000000 7F 0102", copy), 0);
  EXPECT_EQ(copy.ToUInt8(), 0x7F);
}

TEST(ValueRecordTest, DeserializeRefusesMalformedRecordsAndLeavesEmpty) {
  const char* const refused[] = {
      "0C000000 01000000 000000",            // fewer than 12 bytes
      "10000000 01000000 06000000 070000",   // size word beyond the bytes available
      "08000000 01000000 00000000",          // size word below the header
      "10000000 02000000 06000000 07000000", // unknown encoding
      "0C000000 01000000 11000000",          // unknown kind
      "0C000000 00000000 0B000000",          // unknown encoding-0 code
      "0F000000 01000000 06000000 070000",   // Int32 of 3 bytes
      "0D000000 01000000 00000000 00",       // Empty with data
      "0C000000 01000000 0F000000",          // String without data
      "0C000000 01000000 0E000000",          // Buffer without data
      "0C000000 01000000 06000000",          // Int32 without data
      "0E000000 01000000 0F000000 6162",     // String without its NUL
  };
  for (const char* hex : refused) {
    Variant value;
    EXPECT_EQ(Decode(hex, value), QZ::QZ_E_FAIL) << hex;
    EXPECT_EQ(value.GetType(), Variant::Empty) << hex;
  }
  Variant value;
  EXPECT_EQ(value.Deserialize(nullptr, 12), QZ::QZ_E_FAIL);
}

TEST(ValueRecordTest, ExternalRecordsAreRefusedButLeaveTheirBytes) {
  Variant value;
  EXPECT_EQ(Decode("0E000000 01000000 0C000000 0102", value), QZ::QZ_E_FAIL);
  EXPECT_EQ(value.GetType(), Variant::Buffer);
  EXPECT_EQ(value.ToUInt16(), 0x0201);
}

TEST(ValueRecordTest, AStringTakesItsTextUpToTheFirstNul) {
  Variant value;
  EXPECT_EQ(Decode("11000000 01000000 0F000000 6100 6263 00", value), 0);
  EXPECT_STREQ(value.GetString(), "a");
  EXPECT_EQ(value.GetSize(), 2u);
}

TEST(ValueRecordTest, EncodingZeroCodesMapToTheirKinds) {
  struct Case {
    const char* hex;
    Variant::Type kind;
  };
  const Case cases[] = {
      {"0C000000 00000000 00000000", Variant::Empty},
      {"0D000000 00000000 01000000 01", Variant::Bool},
      {"10000000 00000000 02000000 FEFFFFFF", Variant::Int32},
      {"14000000 00000000 03000000 0100000000000000", Variant::Int64},
      {"10000000 00000000 04000000 0000803F", Variant::Float},
      {"14000000 00000000 05000000 000000000000F03F", Variant::Double},
      {"0D000000 00000000 08000000 05", Variant::Buffer},
      {"0E000000 00000000 09000000 6100", Variant::String},
      {"0C000000 00000000 0A000000", Variant::List},
  };
  for (const Case& c : cases) {
    Variant value;
    EXPECT_EQ(Decode(c.hex, value), 0) << c.hex;
    EXPECT_EQ(value.GetType(), c.kind) << c.hex;
  }
  Variant value;
  Decode("10000000 00000000 02000000 FEFFFFFF", value);
  EXPECT_EQ(value.ToInt32(), -2);
  // Codes 6 and 7 stand for the external kinds: kept as a Buffer, reported as refused.
  EXPECT_EQ(Decode("0D000000 00000000 06000000 05", value), QZ::QZ_E_FAIL);
  EXPECT_EQ(value.GetType(), Variant::Buffer);
  EXPECT_EQ(Decode("0D000000 00000000 07000000 05", value), QZ::QZ_E_FAIL);
  EXPECT_EQ(value.GetType(), Variant::Buffer);
}

TEST(ValueRecordTest, ListCountWalksTheSizeWords) {
  EXPECT_EQ(ListOf("").GetListCount(), 0u);
  EXPECT_EQ(ListOf("0C000000").GetListCount(), 0u);
  EXPECT_EQ(ListOf("0C000000 01000000 00000000").GetListCount(), 1u);
  EXPECT_EQ(ListOf("0C000000 01000000 00000000 0C000000 01000000 10000000").GetListCount(), 2u);
  // Trailing bytes that do not reach past a size word are no record.
  EXPECT_EQ(ListOf("0C000000 01000000 00000000 FFFFFF").GetListCount(), 1u);
  EXPECT_EQ(ListOf("0C000000 01000000 00000000 FFFFFFFF").GetListCount(), 1u);

  Variant buffer;
  buffer.SetBuffer("0C000000 01000000 00000000", 12);
  EXPECT_EQ(buffer.GetListCount(), 0u);
  Variant element;
  EXPECT_EQ(buffer.GetListElement(0, element), -1);
}

TEST(ValueRecordTest, AMalformedSizeWordEndsTheWalkAsAnUndecodableRecord) {
  const char* const lists[] = {
      "00000000 01000000 00000000",                            // zero: the walk would never advance
      "08000000 01000000 00000000",                            // below the header size
      "0D000000 01000000 00000000",                            // beyond the list
      "F8FFFFFF 01000000 00000000",                            // wraps the offset around
      "0C000000 01000000 00000000 00000000 01000000 00000000", // zero after a good record
  };
  for (const char* hex : lists) {
    const Variant list = ListOf(hex);
    const uint32_t count = list.GetListCount();
    ASSERT_GE(count, 1u) << hex;
    Variant element;
    EXPECT_EQ(list.GetListElement(count - 1, element), QZ::QZ_E_FAIL) << hex;
    EXPECT_EQ(element.GetType(), Variant::Empty) << hex;
    EXPECT_EQ(list.GetListElement(count, element), -1) << hex;
  }
  EXPECT_EQ(ListOf("0C000000 01000000 00000000 00000000 01000000 00000000").GetListCount(), 2u);
}

TEST(ValueRecordTest, ListElementsAreDecodedOrReportedMissing) {
  const Variant list = ListOf("10000000 01000000 06000000 2A000000"
                              "0F000000 01000000 06000000 2A0000"
                              "0C000000 01000000 10000000"
                              "0C000000 0100");
  ASSERT_EQ(list.GetListCount(), 4u);
  Variant element;
  element.SetString("previous");
  EXPECT_EQ(list.GetListElement(0, element), 0);
  EXPECT_EQ(element.ToInt32(), 42);
  // A record that does not decode is a failure, not a value.
  EXPECT_EQ(list.GetListElement(1, element), QZ::QZ_E_FAIL);
  EXPECT_EQ(element.GetType(), Variant::Empty);
  EXPECT_EQ(list.GetListElement(2, element), 0);
  EXPECT_EQ(element.GetType(), Variant::List);
  // The last record's header runs past the end of the list.
  element.SetInt8(1);
  EXPECT_EQ(list.GetListElement(3, element), -1);
  EXPECT_EQ(element.GetType(), Variant::Empty);
  EXPECT_EQ(list.GetListElement(4, element), -1);

  Variant notAList;
  notAList.SetInt32(1);
  element.SetInt8(1);
  EXPECT_EQ(notAList.GetListElement(0, element), -1);
  EXPECT_EQ(element.GetType(), Variant::Empty);
}

TEST(ValueRecordTest, ListElementMayReplaceTheListItself) {
  Variant list = ListOf("0C000000 01000000 00000000 0D000000 01000000 03000000 63");
  EXPECT_EQ(list.GetListElement(1, list), 0);
  EXPECT_EQ(list.GetType(), Variant::UInt8);
  EXPECT_EQ(list.ToInt32(), 0x63);
}

} // namespace
