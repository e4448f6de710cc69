#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "QZFramework/Utilities/Storage/Variant.h"
#include "Support/HexBytes.h"

namespace {

using QZ::Variant;
using QZTest::FromHex;
using QZTest::Hex;
using QZTest::ToHex;

std::string RecordHex(const Variant& value) {
  uint32_t size = 0;
  value.GetData(size);
  std::vector<uint8_t> record(12 + size);
  EXPECT_EQ(value.Serialize(record.data(), uint32_t(record.size())), int32_t(record.size()));
  return ToHex(record);
}

std::string DataHex(const Variant& value) {
  uint32_t size = 0;
  const void* data = value.GetData(size);
  return ToHex(data, size);
}

// A List whose block holds exactly the given bytes, so reads past them show under ASan.
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
  EXPECT_EQ(RecordHex(value), Hex("0C000000 01000000 00000000"));
  value.SetList(nullptr, 0);
  EXPECT_EQ(RecordHex(value), Hex("0C000000 01000000 10000000"));
  value.SetInt32(7);
  EXPECT_EQ(RecordHex(value), Hex("10000000 01000000 06000000 07000000"));
  const uint8_t five = 5;
  value.SetBuffer(&five, 1);
  EXPECT_EQ(RecordHex(value), Hex("0D000000 01000000 0E000000 05"));
  value.SetString("ab");
  EXPECT_EQ(RecordHex(value), Hex("0F000000 01000000 0F000000 616200"));
  value.SetDouble(1.0);
  EXPECT_EQ(RecordHex(value), Hex("14000000 01000000 09000000 000000000000F03F"));
  const std::array<uint8_t, 2> bytes = {1, 2};
  value.SetExternalConstData(bytes.data(), 2);
  EXPECT_EQ(RecordHex(value), Hex("0E000000 01000000 0D000000 0102"));
}

TEST(ValueRecordTest, ListsHoldTheirItemsRecordsAndNest) {
  Variant items[3];
  items[0].SetBool(true);
  items[1].SetString("");
  items[2].SetList(&items[0], 2);
  const std::string first = Hex("0D000000 01000000 01000000 01");
  const std::string second = Hex("0D000000 01000000 0F000000 00");
  const std::string nested = Hex("26000000 01000000 10000000") + first + second;
  Variant list;
  ASSERT_EQ(list.SetList(items, 3), Variant::List);
  EXPECT_EQ(DataHex(list), first + second + nested);
  EXPECT_EQ(RecordHex(list), Hex("4C000000 01000000 10000000") + first + second + nested);

  // An item without a valid record (external, no data; or no item at all) goes in as Empty.
  Variant none;
  none.SetExternalData(nullptr, 8);
  const Variant* pointers[3] = {&items[0], &none, nullptr};
  list.SetPointerList(pointers, 3);
  EXPECT_EQ(DataHex(list), first + Hex("0C000000 01000000 00000000 0C000000 01000000 00000000"));
}

TEST(ValueRecordTest, ListBuildersMayTakeTheListItself) {
  Variant list;
  list.SetInt32(9);
  list.SetList(&list, 1);
  const Variant* self[2] = {&list, &list};
  list.SetPointerList(self, 2);
  const std::string inner = Hex("1C000000 01000000 10000000 10000000 01000000 06000000 09000000");
  EXPECT_EQ(DataHex(list), inner + inner);
  Variant element;
  ASSERT_EQ(list.GetListElement(1, element), 0);
  ASSERT_EQ(element.GetListElement(0, element), 0);
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
  Variant values[5];
  values[0].SetUInt64(0x0102030405060708);
  values[1].SetFloat(-1.5f);
  values[2].SetString("text");
  values[3].SetList(values, 3);
  values[4].SetList(nullptr, 0);
  for (const Variant& value : values) {
    const std::vector<uint8_t> record = FromHex(RecordHex(value));
    Variant copy;
    EXPECT_EQ(copy.Deserialize(record.data(), uint32_t(record.size())), 0);
    EXPECT_EQ(copy, value);
  }
  // Bytes after the record are not part of it; a String ends at its first NUL.
  Variant copy;
  EXPECT_EQ(Decode("0D000000 01000000 03000000 7F 0102", copy), 0);
  EXPECT_EQ(copy.GetType(), Variant::UInt8);
  EXPECT_EQ(copy.ToInt32(), 0x7F);
  EXPECT_EQ(Decode("11000000 01000000 0F000000 6100 6263 00", copy), 0);
  EXPECT_STREQ(copy.GetString(), "a");
  EXPECT_EQ(Decode("0C000000 01000000 00000000", copy), 0);
  EXPECT_EQ(copy.GetType(), Variant::Empty);
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
      "0E000000 01000000 0F000000 6162",     // String without its NUL
  };
  for (const char* hex : refused) {
    Variant value;
    EXPECT_EQ(Decode(hex, value), QZ::QZ_E_FAIL) << hex;
    EXPECT_EQ(value.GetType(), Variant::Empty) << hex;
  }
  Variant value;
  EXPECT_EQ(value.Deserialize(nullptr, 12), QZ::QZ_E_FAIL);
  // External data is refused but leaves a Buffer holding its bytes.
  EXPECT_EQ(Decode("0E000000 01000000 0C000000 0102", value), QZ::QZ_E_FAIL);
  EXPECT_EQ(RecordHex(value), Hex("0E000000 01000000 0E000000 0102"));
}

TEST(ValueRecordTest, EncodingZeroCodesMapToTheirKinds) {
  const std::pair<const char*, Variant::Type> cases[] = {
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
  for (const auto& [hex, kind] : cases) {
    Variant value;
    EXPECT_EQ(Decode(hex, value), 0) << hex;
    EXPECT_EQ(value.GetType(), kind) << hex;
  }
  // Codes 6 and 7 stand for the external kinds: kept as a Buffer, reported as refused.
  for (const char* hex : {"0D000000 00000000 06000000 05", "0D000000 00000000 07000000 05"}) {
    Variant value;
    EXPECT_EQ(Decode(hex, value), QZ::QZ_E_FAIL) << hex;
    EXPECT_EQ(value.GetType(), Variant::Buffer) << hex;
  }
}

TEST(ValueRecordTest, ListCountWalksTheSizeWords) {
  EXPECT_EQ(ListOf("").GetListCount(), 0u);
  EXPECT_EQ(ListOf("0C000000").GetListCount(), 0u);
  EXPECT_EQ(ListOf("0C000000 01000000 00000000 0C000000 01000000 10000000").GetListCount(), 2u);
  // Trailing bytes that do not reach past a size word are no record.
  EXPECT_EQ(ListOf("0C000000 01000000 00000000 FFFFFFFF").GetListCount(), 1u);
  Variant buffer;
  buffer.SetBuffer(FromHex("0C000000 01000000 00000000").data(), 12);
  EXPECT_EQ(buffer.GetListCount(), 0u);
  Variant element;
  EXPECT_EQ(buffer.GetListElement(0, element), -1);
}

TEST(ValueRecordTest, AMalformedSizeWordEndsTheWalkAsARecordThatDecodesToEmpty) {
  const std::pair<const char*, uint32_t> lists[] = {
      {"00000000 01000000 00000000", 1},                            // zero: the walk would never advance
      {"08000000 01000000 00000000", 1},                            // below the header size
      {"0D000000 01000000 00000000", 1},                            // beyond the list
      {"F8FFFFFF 01000000 00000000", 1},                            // wraps the offset around
      {"0C000000 01000000 00000000 00000000 01000000 00000000", 2}, // zero after a good record
  };
  for (const auto& [hex, count] : lists) {
    const Variant list = ListOf(hex);
    EXPECT_EQ(list.GetListCount(), count) << hex;
    Variant element;
    element.SetInt8(1);
    EXPECT_EQ(list.GetListElement(count - 1, element), 0) << hex;
    EXPECT_EQ(element.GetType(), Variant::Empty) << hex;
    EXPECT_EQ(list.GetListElement(count, element), -1) << hex;
  }
}

TEST(ValueRecordTest, ListElementsAreGivenAsTheirRecordsDecode) {
  const Variant list = ListOf("10000000 01000000 06000000 2A000000"
                              "0F000000 01000000 06000000 2A0000"
                              "0C000000 01000000 10000000"
                              "0C000000 0100");
  ASSERT_EQ(list.GetListCount(), 4u);
  Variant element;
  EXPECT_EQ(list.GetListElement(0, element), 0);
  EXPECT_EQ(element.ToInt32(), 42);
  // A record that does not decode gives Empty, still with 0.
  EXPECT_EQ(list.GetListElement(1, element), 0);
  EXPECT_EQ(element.GetType(), Variant::Empty);
  EXPECT_EQ(list.GetListElement(2, element), 0);
  EXPECT_EQ(element.GetType(), Variant::List);
  // The last record's header runs past the end of the list.
  EXPECT_EQ(list.GetListElement(3, element), -1);
  EXPECT_EQ(element.GetType(), Variant::Empty);

  Variant notAList;
  notAList.SetInt32(1);
  element.SetInt8(1);
  EXPECT_EQ(notAList.GetListElement(0, element), -1);
  EXPECT_EQ(element.GetType(), Variant::Empty);

  // The output may be the list itself.
  Variant self = list;
  EXPECT_EQ(self.GetListElement(0, self), 0);
  EXPECT_EQ(self.ToInt32(), 42);
}

} // namespace
