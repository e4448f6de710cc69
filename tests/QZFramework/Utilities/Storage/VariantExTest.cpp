#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "QZFramework/Utilities/Storage/Array.h"
#include "QZFramework/Utilities/Storage/VariantEx.h"
#include "Support/StringPrinter.h"

namespace {

using QZ::NString;
using QZ::Variant;
using QZ::VariantEx;
using QZ::WString;

template <class Set, class T>
VariantEx Make(Set set, T value) {
  VariantEx v;
  (v.*set)(value);
  return v;
}

VariantEx Text(const char* text) {
  VariantEx v;
  v.SetString(NString(text));
  return v;
}

VariantEx ListOf(const std::vector<Variant>& items) {
  VariantEx v;
  v.SetList(items.data(), uint32_t(items.size()));
  return v;
}

Variant Int32(int32_t value) {
  Variant v;
  v.SetInt32(value);
  return v;
}

TEST(VariantExTest, ScalarTextsShowDecimalAndHexadecimal) {
  EXPECT_EQ(VariantEx().ToString(), u"<empty>");
  EXPECT_EQ(Make(&Variant::SetBool, true).ToString(), u"true");
  EXPECT_EQ(Make(&Variant::SetBool, false).ToString(), u"false");
  // The sign-extended value fills the hexadecimal field beyond its minimum width.
  EXPECT_EQ(Make(&Variant::SetInt8, int8_t(-1)).ToString(), u"-1 (0xFFFFFFFF)");
  EXPECT_EQ(Make(&Variant::SetUInt8, uint8_t(255)).ToString(), u"255 (0xFF)");
  EXPECT_EQ(Make(&Variant::SetInt16, int16_t(-2)).ToString(), u"-2 (0xFFFFFFFE)");
  EXPECT_EQ(Make(&Variant::SetUInt16, uint16_t(10)).ToString(), u"10 (0x000A)");
  EXPECT_EQ(Make(&Variant::SetInt32, 255).ToString(), u"255 (0x000000FF)");
  EXPECT_EQ(Make(&Variant::SetUInt32, 4294967295u).ToString(), u"4294967295 (0xFFFFFFFF)");
  EXPECT_EQ(Make(&Variant::SetInt64, int64_t(-1)).ToString(), u"-1 (0xFFFFFFFFFFFFFFFF)");
  EXPECT_EQ(Make(&Variant::SetUInt64, uint64_t(0xABCDEF0123)).ToString(), u"ABCDEF0123");
  EXPECT_EQ(Make(&Variant::SetFloat, 1.5f).ToString(), u"1.500000");
  EXPECT_EQ(Make(&Variant::SetDouble, -0.25).ToString(), u"-0.250000");
  // Buffers and external data show their address.
  const VariantEx buffer = Make(&Variant::SetString, "x");
  VariantEx external;
  external.SetExternalConstData(buffer.GetString(), 2);
  EXPECT_EQ(external.ToString(), WString::Format(u"%I64X", uint64_t(reinterpret_cast<uintptr_t>(buffer.GetString()))));
}

TEST(VariantExTest, ListsPrintOneIndentedLinePerItem) {
  EXPECT_EQ(ListOf({}).ToString(), u"<empty array>");
  EXPECT_EQ(ListOf({Int32(1), Int32(2)}).ToString(), u"array(2):\n  [0] 1 (0x00000001)\n  [1] 2 (0x00000002)");

  const VariantEx inner = ListOf({Int32(7), Variant()});
  const VariantEx outer = ListOf({Text("a"), inner, ListOf({})});
  const char16_t* expected = u"array(3):\n"
                             u"  [0] a\n"
                             u"  [1] array(2):\n"
                             u"    [0] 7 (0x00000007)\n"
                             u"    [1] <empty>\n"
                             u"  [2] <empty array>";
  EXPECT_EQ(outer.ToString(), expected);
  EXPECT_EQ(outer.ToStringByType(-5), expected);
  EXPECT_EQ(inner.ToStringByType(1), u"array(2):\n    [0] 7 (0x00000007)\n    [1] <empty>");
  // Only lists take the indentation.
  EXPECT_EQ(Make(&Variant::SetInt8, int8_t(3)).ToStringIndented(4), u"3 (0x03)");
}

TEST(VariantExTest, StringTextsStopAtInvalidUtf8AndLeaveTheBytesAlone) {
  EXPECT_EQ(Text("Gr\xC3\xBC\xC3\x9F"
                 "e")
                .ToString(),
            u"Gr\u00FC\u00DFe");
  const char bytes[] = "ok\xC3(tail";
  VariantEx broken;
  broken.SetRaw(Variant::String, bytes, sizeof bytes);
  EXPECT_EQ(broken.ToString(), u"ok");
  EXPECT_EQ(broken.GetSize(), sizeof bytes);
  EXPECT_EQ(std::memcmp(broken.GetString(), bytes, sizeof bytes), 0);
}

TEST(VariantExTest, StringsConvertFromTheirText) {
  EXPECT_TRUE(Text("TRUE").ToBool());
  EXPECT_TRUE(Text("true").ToBool());
  EXPECT_FALSE(Text("yes").ToBool());
  EXPECT_FALSE(Text(" true").ToBool());
  EXPECT_EQ(Text(" 42abc").ToInt32(), 42);
  EXPECT_EQ(Text("-17").ToInt16(), -17);
  EXPECT_EQ(Text("abc").ToInt32(), 0);
  EXPECT_EQ(Text("99999999999").ToInt32(), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(Text("-99999999999").ToInt32(), std::numeric_limits<int32_t>::min());
  // Cut to the kind's width after the 32-bit reading.
  EXPECT_EQ(Text("300").ToInt8(), int8_t(44));
  EXPECT_EQ(Text("65537").ToUInt16(), 1);
  EXPECT_EQ(Text("99999999999").ToInt64(), 99999999999);
  EXPECT_EQ(Text("99999999999999999999").ToInt64(), std::numeric_limits<int64_t>::max());
  EXPECT_EQ(Text("4294967297").ToUInt32(), 1u);
  EXPECT_EQ(Text("-1").ToUInt64(), std::numeric_limits<uint64_t>::max());
  EXPECT_DOUBLE_EQ(Text(" 2.5e1x").ToDouble(), 25.0);
  EXPECT_FLOAT_EQ(Text("-0.5").ToFloat(), -0.5f);
}

TEST(VariantExTest, GetBufferOnlyForBuffersAndStrings) {
  try {
    Make(&Variant::SetInt32, 1).GetBuffer();
    FAIL() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), R"(Runtime Error : QZ::VariantEx::GetBuffer : Utilities\Storage\VariantEx : Line 464)");
  }
  EXPECT_THROW(ListOf({}).GetBuffer(), std::runtime_error);

  VariantEx buffer;
  buffer.SetBuffer("xyz", 3);
  uint32_t size = 0;
  EXPECT_EQ(buffer.GetBuffer()->GetData(), buffer.GetData(size));
  EXPECT_EQ(buffer.GetBuffer()->GetSize(), 3u);
}

TEST(VariantExTest, StringValuesShareTheTextsBuffer) {
  const NString text("shared");
  VariantEx value;
  EXPECT_EQ(value.SetString(text), Variant::String);
  EXPECT_EQ(value.GetBuffer().Get(), text.GetSharedBuffer().Get());
  EXPECT_EQ(value.GetSize(), 7u);
  EXPECT_STREQ(value.GetString(), "shared");

  // A copy has bytes of its own.
  const VariantEx copy(value);
  EXPECT_NE(copy.GetBuffer().Get(), text.GetSharedBuffer().Get());
  EXPECT_EQ(copy, value);

  // The value's own buffer given back to it.
  value.SetString(NString(value.GetBuffer()));
  EXPECT_STREQ(value.GetString(), "shared");

  // Writing through the value leaves the string as it was.
  uint32_t size = 0;
  char* bytes = static_cast<char*>(value.GetWritableData(size));
  ASSERT_EQ(size, 7u);
  bytes[0] = 'S';
  EXPECT_STREQ(value.GetString(), "Shared");
  EXPECT_EQ(text, "shared");
  EXPECT_NE(value.GetBuffer().Get(), text.GetSharedBuffer().Get());

  // Bytes handed out outlive the value.
  QZ::RCPtr<QZ::LIBuffer> kept = value.GetBuffer();
  value.SetInt32(1);
  EXPECT_EQ(NString(kept), "Shared");
  EXPECT_EQ(kept->GetRefCount(), 1);
}

TEST(VariantExTest, LockedAndWideTextsAreCopied) {
  NString text("abc");
  text.Lock(16)[1] = 'X';
  VariantEx value;
  value.SetString(text);
  text.Unlock();
  EXPECT_STREQ(value.GetString(), "aXc");
  EXPECT_EQ(value.GetSize(), 4u);

  EXPECT_EQ(value.SetString(WString(u"/opt/Qu\u00F6rin")), Variant::String);
  EXPECT_STREQ(value.GetString(), "/opt/Qu\xC3\xB6rin");
  value.SetString(WString());
  EXPECT_EQ(value.GetSize(), 1u);
}

TEST(VariantExTest, EveryHeapKindLivesInItsBuffer) {
  VariantEx value;
  value.SetString("first");
  const QZ::LIBuffer* first = value.GetBuffer().Get();
  // A new block is made while the old value still stands.
  value.SetString("second");
  EXPECT_NE(value.GetBuffer().Get(), first);
  EXPECT_STREQ(value.GetBuffer()->GetData(), "second");

  // A list whose item is the list itself: the old block must survive the building.
  value.SetList(nullptr, 0);
  const Variant item = Int32(5);
  value.SetList(&item, 1);
  value.SetList(&value, 1);
  EXPECT_EQ(value.GetListCount(), 1u);
  Variant element;
  ASSERT_EQ(value.GetListElement(0, element), 0);
  EXPECT_EQ(element, ListOf({Int32(5)}));

  value.SetBuffer(nullptr, 0);
  EXPECT_TRUE(value.GetBuffer().IsNull());

  const Variant plain = ListOf({Int32(1), Int32(2)});
  const VariantEx fromPlain(plain);
  EXPECT_EQ(fromPlain, plain);
  value = plain;
  EXPECT_EQ(value, plain);
}

TEST(VariantExTest, GetListItemsDecodesEveryRecord) {
  QZ::Array<VariantEx> items;
  items.SetCount(2);
  EXPECT_EQ(VariantEx().GetListItems(items), 0);
  EXPECT_EQ(items.GetCount(), 0u);

  items.SetCount(1);
  EXPECT_EQ(Make(&Variant::SetInt32, 1).GetListItems(items), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(items.GetCount(), 0u);

  ASSERT_EQ(ListOf({Int32(4), Variant(), Text("s")}).GetListItems(items), 0);
  ASSERT_EQ(items.GetCount(), 3u);
  EXPECT_EQ(items.GetAt(0).ToInt32(), 4);
  EXPECT_EQ(items.GetAt(1).GetType(), Variant::Empty);
  EXPECT_STREQ(items.GetAt(2).GetBuffer()->GetData(), "s");

  // A size word of 0 ends the walk as one item that does not decode.
  const uint8_t zeroSize[8] = {};
  VariantEx list;
  list.SetRaw(Variant::List, zeroSize, sizeof zeroSize);
  ASSERT_EQ(list.GetListItems(items), 0);
  ASSERT_EQ(items.GetCount(), 1u);
  EXPECT_EQ(items.GetAt(0).GetType(), Variant::Empty);
  EXPECT_EQ(list.ToString(), u"array(1):\n  [0] <empty>");
}

} // namespace
