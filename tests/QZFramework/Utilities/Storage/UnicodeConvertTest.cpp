#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "QZFramework/Utilities/Storage/UnicodeConvert.h"
#include "Support/StringPrinter.h"
#include "Support/TestSeed.h"

namespace {

using QZ::ConversionFlags;
using QZ::ConversionResult;
using QZ::NString;
using QZ::WString;

std::string Bytes(const QZ::RCPtr<QZ::LIBuffer>& buffer) {
  return std::string(buffer->GetData(), buffer->GetSize() - 1);
}

std::u16string Units(const QZ::RCPtr<QZ::LIBuffer>& buffer) {
  return std::u16string(reinterpret_cast<const char16_t*>(buffer->GetData()), buffer->GetSize() / 2 - 1);
}

TEST(UnicodeConvertTest, SupplementaryCharactersRoundTrip) {
  const char16_t grin[] = u"\xD83D\xDE00";
  const NString utf8 = WString(grin).ToUTF8();
  EXPECT_STREQ(utf8.GetBuffer(), "\xF0\x9F\x98\x80");
  EXPECT_EQ(utf8.GetSharedBuffer()->GetSize(), 5u);
  const WString back(utf8);
  EXPECT_EQ(back, grin);
  EXPECT_EQ(back.GetSharedBuffer()->GetSize(), 6u);

  QZ::RCPtr<QZ::LIBuffer> out;
  EXPECT_EQ(NString::AssignFromWide(out, u"a\xD83D\xDE00z", -1), 0);
  EXPECT_EQ(Bytes(out), "a\xF0\x9F\x98\x80z");
  EXPECT_EQ(WString::AssignFromNarrow(out, "a\xF0\x9F\x98\x80z", -1), 0);
  EXPECT_EQ(Units(out), u"a\xD83D\xDE00z");
}

TEST(UnicodeConvertTest, TrailingHighSurrogateStopsKeepingThePrefix) {
  QZ::RCPtr<QZ::LIBuffer> out;
  EXPECT_EQ(NString::AssignFromWide(out, u"ab\xD83D", -1), int32_t(0x80004005));
  EXPECT_EQ(Bytes(out), "ab");
  EXPECT_EQ(NString::AssignFromWide(out, u"ab\xD83D\xDE00", 3), QZ::QZ_E_FAIL);
  EXPECT_EQ(Bytes(out), "ab");
  EXPECT_EQ(NString::AssignFromWide(out, u"\xD83D", -1), QZ::QZ_E_FAIL);
  EXPECT_EQ(out.Get(), NString::GetEmpty().GetSharedBuffer().Get());
  EXPECT_STREQ(WString(u"ab\xD83D").ToUTF8().GetBuffer(), "ab");
}

TEST(UnicodeConvertTest, UnpairedSurrogatesConvertLenientlyToThreeBytes) {
  QZ::RCPtr<QZ::LIBuffer> out;
  EXPECT_EQ(NString::AssignFromWide(out, u"a\xDC00z", -1), 0);
  EXPECT_EQ(Bytes(out), "a\xED\xB0\x80z");
  EXPECT_EQ(NString::AssignFromWide(out, u"a\xD800z", -1), 0);
  EXPECT_EQ(Bytes(out), "a\xED\xA0\x80z");
  // The bytes of an encoded surrogate are not legal UTF-8 on the way back.
  EXPECT_EQ(WString::AssignFromNarrow(out, "a\xED\xB0\x80z", -1), QZ::QZ_E_FAIL);
  EXPECT_EQ(Units(out), u"a");

  // Strict conversion refuses them.
  const char16_t lone[] = u"a\xDC00";
  const char16_t* source = lone;
  char bytes[8];
  char* target = bytes;
  EXPECT_EQ(QZ::ConvertUTF16toUTF8(&source, lone + 2, &target, bytes + 8, ConversionFlags::Strict),
            ConversionResult::SourceIllegal);
  EXPECT_EQ(source, lone + 1);
  EXPECT_EQ(target, bytes + 1);
}

TEST(UnicodeConvertTest, MalformedUtf8StopsKeepingThePrefix) {
  const std::vector<std::string> malformed = {
      "\xC0\x80",         // overlong NUL
      "\xC1\xBF",         // overlong 2-byte form
      "\xE0\x80\x80",     // overlong 3-byte form
      "\xED\xA0\x80",     // encoded surrogate
      "\xF0\x80\x80\x80", // overlong 4-byte form
      "\xF4\x90\x80\x80", // above U+10FFFF
      "\xF5\x80\x80\x80", // lead byte beyond the range
      "\xF8\x88\x80\x80\x80",
      "\x80",             // continuation byte as lead
      "\xC3\x28",         // lead without continuation
      "\xED\x42\x89",     // would swallow the ASCII 'B' into a character
      "\xF4\x41\x80\x80", // likewise 'A'
      "\xE2\x82",         // cut off
  };
  for (const std::string& bad : malformed) {
    QZ::RCPtr<QZ::LIBuffer> out;
    const std::string text = "ok" + bad + "!";
    EXPECT_EQ(WString::AssignFromNarrow(out, text.c_str(), -1), QZ::QZ_E_FAIL) << testing::PrintToString(bad);
    EXPECT_EQ(Units(out), u"ok") << testing::PrintToString(bad);
    EXPECT_EQ(WString(text.c_str()), u"ok");
  }
  QZ::RCPtr<QZ::LIBuffer> out;
  EXPECT_EQ(WString::AssignFromNarrow(out, "ok\xE2\x82", 4), QZ::QZ_E_FAIL);
  EXPECT_EQ(Units(out), u"ok");
}

TEST(UnicodeConvertTest, LegalSequencesAtTheBoundaries) {
  const std::vector<std::pair<std::string, std::u16string>> legal = {
      {"\xC2\x80", u"\x0080"},
      {"\xDF\xBF", u"\x07FF"},
      {"\xE0\xA0\x80", u"\x0800"},
      {"\xED\x9F\xBF", u"\xD7FF"},
      {"\xEE\x80\x80", u"\xE000"},
      {"\xEF\xBF\xBF", u"\xFFFF"},
      {"\xF0\x90\x80\x80", u"\xD800\xDC00"},
      {"\xF4\x8F\xBF\xBF", u"\xDBFF\xDFFF"},
  };
  for (const auto& [bytes, units] : legal) {
    QZ::RCPtr<QZ::LIBuffer> out;
    EXPECT_EQ(WString::AssignFromNarrow(out, bytes.c_str(), -1), 0) << testing::PrintToString(bytes);
    EXPECT_EQ(Units(out), units);
    EXPECT_TRUE(QZ::IsLegalUTF8Sequence(bytes.data(), bytes.data() + bytes.size()));
    EXPECT_FALSE(QZ::IsLegalUTF8Sequence(bytes.data(), bytes.data() + bytes.size() - 1));
  }
}

TEST(UnicodeConvertTest, ExplicitCountsStopAtANul) {
  QZ::RCPtr<QZ::LIBuffer> out;
  EXPECT_EQ(NString::AssignFromWide(out, u"ab\0cd", 5), 0);
  EXPECT_EQ(Bytes(out), "ab");
  EXPECT_EQ(WString::AssignFromNarrow(out, "abcd", 2), 0);
  EXPECT_EQ(Units(out), u"ab");
  EXPECT_EQ(WString::AssignFromNarrow(out, nullptr, -1), 0);
  EXPECT_EQ(out.Get(), WString::GetEmpty().GetSharedBuffer().Get());
}

TEST(UnicodeConvertTest, FullTargetLeavesPointersAtTheCharacterThatDidNotFit) {
  const char16_t text[] = u"a\x00E9\xD83D\xDE00";
  const char16_t* source = text;
  char bytes[4];
  char* target = bytes;
  EXPECT_EQ(QZ::ConvertUTF16toUTF8(&source, text + 4, &target, bytes + 4, ConversionFlags::Lenient),
            ConversionResult::TargetExhausted);
  EXPECT_EQ(source, text + 2);
  EXPECT_EQ(target, bytes + 3);

  const char utf8[] = "a\xF0\x9F\x98\x80";
  const char* from = utf8;
  char16_t units[2];
  char16_t* to = units;
  EXPECT_EQ(QZ::ConvertUTF8toUTF16(&from, utf8 + 5, &to, units + 2, ConversionFlags::Lenient),
            ConversionResult::TargetExhausted);
  EXPECT_EQ(from, utf8 + 1);
  EXPECT_EQ(to, units + 1);
}

TEST(UnicodeConvertTest, EveryScalarValueRoundTrips) {
  std::u16string all;
  for (char32_t c = 1; c <= 0x10FFFF; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) {
      continue;
    }
    if (c > 0xFFFF) {
      all += char16_t(0xD800 + ((c - 0x10000) >> 10));
      all += char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      all += char16_t(c);
    }
  }
  const WString wide(all.c_str(), uint32_t(all.size()));
  const NString narrow = wide.ToUTF8();
  EXPECT_EQ(narrow.GetLength(), QZ::MeasureUTF16toUTF8(all.data(), all.data() + all.size(), ConversionFlags::Strict));
  const WString back(narrow);
  EXPECT_TRUE(back.IsEqual(wide));
}

// Whatever the bytes, the result is the longest convertible prefix: converting it back
// gives a prefix of the input, and the conversion fails exactly when it is not all.
TEST(UnicodeConvertTest, RandomBytesConvertToALegalPrefix) {
  const QZTest::TestSeed seed;
  std::mt19937 random(uint32_t(seed.value));
  const unsigned char interesting[] = {0x00, 0x41, 0x7F, 0x80, 0xBF, 0xC0, 0xC2, 0xDF, 0xE0,
                                       0xED, 0xEF, 0xF0, 0xF4, 0xF5, 0xFF, 0x9F, 0xA0, 0x8F};
  for (int round = 0; round < 2000; ++round) {
    std::string bytes(random() % 12 + 1, '\0');
    for (char& b : bytes) {
      b = char(random() % 2 ? interesting[random() % sizeof interesting] : random() % 256);
      b = b == 0 ? 'z' : b;
    }
    QZ::RCPtr<QZ::LIBuffer> out;
    const int32_t result = WString::AssignFromNarrow(out, bytes.c_str(), -1);
    const std::u16string units = Units(out);
    QZ::RCPtr<QZ::LIBuffer> again;
    ASSERT_EQ(NString::AssignFromWide(again, units.c_str(), -1), 0);
    const std::string prefix = Bytes(again);
    ASSERT_EQ(bytes.compare(0, prefix.size(), prefix), 0) << testing::PrintToString(bytes);
    ASSERT_EQ(result == 0, prefix.size() == bytes.size()) << testing::PrintToString(bytes);
    if (result != 0) {
      ASSERT_FALSE(QZ::IsLegalUTF8Sequence(bytes.data() + prefix.size(), bytes.data() + bytes.size()));
    }
  }
}

} // namespace
