#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <random>
#include <string>

#include "Support/StringPrinter.h"
#include "Support/TestSeed.h"

namespace {

using QZ::NString;
using QZ::WString;

std::string InvalidArgumentText(const std::function<void()>& format) {
  try {
    format();
  } catch (const std::invalid_argument& e) {
    return e.what();
  }
  return "no exception";
}

TEST(FormatTest, SystemFormatsWithTheirSizePrefixes) {
  EXPECT_EQ(WString::Format(u"%I32d (0x%02X)", int32_t(-1), int32_t(-1)), u"-1 (0xFFFFFFFF)");
  EXPECT_EQ(WString::Format(u"%I32d (0x%02X)", int8_t(-1), int8_t(-1)), u"-1 (0xFFFFFFFF)");
  EXPECT_EQ(WString::Format(u"%I32u (0x%04X)", uint16_t(10), uint16_t(10)), u"10 (0x000A)");
  EXPECT_EQ(WString::Format(u"%I32d (0x%08X)", 255, 255), u"255 (0x000000FF)");
  EXPECT_EQ(WString::Format(u"%I64d %I64X", INT64_MIN, UINT64_MAX), u"-9223372036854775808 FFFFFFFFFFFFFFFF");
  EXPECT_EQ(WString::Format(u"%I64X", int32_t(-1)), u"FFFFFFFFFFFFFFFF");
  EXPECT_EQ(WString::Format(u"%lld %llu", -5LL, 5ULL), u"-5 5");
  EXPECT_EQ(WString::Format(u"<integer>%ld</integer>", 7L), u"<integer>7</integer>");
  EXPECT_EQ(WString::Format(u"%u", int32_t(-1)), u"4294967295");
  EXPECT_EQ(WString::Format(u"%d", uint32_t(0xFFFFFFFF)), u"-1");
  EXPECT_EQ(WString::Format(u"%hd %hu %hX", 40000, -1, 0x12345), u"-25536 65535 2345");
  EXPECT_EQ(WString::Format(u"array(%u):", size_t(2)), u"array(2):");
  EXPECT_EQ(WString::Format(u"%lf|%f|%g", 2.5, 2.5f, 0.0001), u"2.500000|2.500000|0.0001");
  EXPECT_EQ(WString::Format(u"ValueParam = %lf", 1.0 / 3), u"ValueParam = 0.333333");
}

TEST(FormatTest, TextArguments) {
  EXPECT_EQ(WString::Format(u"CH: %s", u"1"), u"CH: 1");
  const WString name(u"Pad");
  const NString utf8("\xC3\xA4");
  EXPECT_EQ(WString::Format(u"%s %hs %S %ls", name, utf8, "x", std::u16string(u"y")), u"Pad ä x y");
  EXPECT_STREQ(NString::Format("%s %S %ls %hs", utf8, name, u"\xD83D\xDE00", std::string("z")).GetBuffer(),
               "\xC3\xA4 Pad \xF0\x9F\x98\x80 z");
  EXPECT_EQ(WString::Format(u"[%5s|%-5s|%.2s]", u"ab", u"ab", u"abc"), u"[   ab|ab   |ab]");
  EXPECT_EQ(WString::Format(u"[%s|%s]", static_cast<const char16_t*>(nullptr), nullptr), u"[(null)|(null)]");
  // Precision never splits a character.
  EXPECT_EQ(WString::Format(u"[%.2s]", u"a\xD83D\xDE00"), u"[a]");
  EXPECT_STREQ(NString::Format("[%.2s|%.3s]", "a\xC3\xA4", "a\xC3\xA4").GetBuffer(), "[a|a\xC3\xA4]");
  EXPECT_EQ(WString::Format(u"[%4hs]", "\xC3\xA4"), u"[   ä]");
}

TEST(FormatTest, Characters) {
  EXPECT_EQ(WString::Format(u"%c%c%c%C", u'ä', 'b', 0x1F600, u'z'), u"äb\xD83D\xDE00z");
  EXPECT_STREQ(NString::Format("%c%c%c", 'a', '\xC3', u'\x00E4').GetBuffer(), "a\xC3\xC3\xA4");
  EXPECT_EQ(WString::Format(u"[%3c|%-3c]", u'x', u'y'), u"[  x|y  ]");
  EXPECT_EQ(WString::Format(u"ab%ccd", u'\0'), u"ab");
}

TEST(FormatTest, PointersShowAllTheirDigits) {
  EXPECT_EQ(WString::Format(u"%p", reinterpret_cast<void*>(0xABC)), u"0000000000000ABC");
  EXPECT_EQ(WString::Format(u"[%20p]", nullptr), u"[    0000000000000000]");
}

TEST(FormatTest, WidthAndPrecisionFromArguments) {
  EXPECT_EQ(WString::Format(u"[%*d|%-*d|%.*f|%*.*s]", 4, 7, 3, 7, 2, 3.14159, 5, 2, u"abcdef"),
            u"[   7|7  |3.14|   ab]");
  EXPECT_EQ(WString::Format(u"[%*d]", -4, 7), u"[7   ]");
  EXPECT_EQ(WString::Format(u"[%.*f]", -1, 1.5), u"[1.500000]");
  EXPECT_EQ(WString::Format(u"100%% %d%%", 5), u"100% 5%");
}

TEST(FormatTest, RealsIgnoreTheLocaleAndHandleSpecialValues) {
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(WString::Format(u"%f %F %e %G", inf, -inf, std::nan(""), inf), u"inf -INF nan INF");
  EXPECT_EQ(WString::Format(u"[%05f|%+.1f|% .0e]", inf, 0.05, 12345.0), u"[  inf|+0.1| 1e+04]");
  EXPECT_EQ(WString::Format(u"%f", -0.0), u"-0.000000");
  EXPECT_EQ(WString::Format(u"%.0f %#.0f %#.0e %#g %g", 2.5, 3.0, 4.0, 1.0, 100000.0), u"2 3. 4.e+00 1.00000 100000");
  EXPECT_EQ(WString::Format(u"%g %g %G", 1e-5, 1234567.0, 1e100), u"1e-05 1.23457e+06 1E+100");
  // Digits beyond a double's exact expansion are zeros and cost nothing to ask for.
  const WString wide = WString::Format(u"%.1200f", 0.5);
  EXPECT_EQ(wide.GetLength(), 1202u);
  EXPECT_EQ(wide.Left(4), u"0.50");
  EXPECT_EQ(wide.Right(3), u"000");
  EXPECT_EQ(WString::Format(u"%.900e", 1.0).Right(7), u"000e+00");
  EXPECT_EQ(WString::Format(u"%.2147483647g", 0.0001),
            u"0.000100000000000000004792173602385929598312941379845142364501953125");
}

TEST(FormatTest, AlternateGeneralFormKeepsItsZeros) {
  EXPECT_EQ(WString::Format(u"%#.5g|%#.5g|%#g|%#.3G", 99999.5, 1.5, 0.0001, 1e-10),
            u"1.0000e+05|1.5000|0.000100000|1.00E-10");
  EXPECT_EQ(WString::Format(u"%#.0g|%#10.3g|%-#10.2g|", 7.0, 2.0, 0.5), u"7.|      2.00|0.50      |");
}

TEST(FormatTest, LongResultsAreProducedWhole) {
  const std::u16string units(20000, u'x');
  const WString text = WString::Format(u"%s", units.c_str());
  EXPECT_EQ(text.GetLength(), 20000u);
  EXPECT_EQ(WString::Format(u"%s|%s", text, text).GetLength(), 40001u);
  EXPECT_EQ(WString::Format(u"%20000d", 1).GetLength(), 20000u);
  EXPECT_EQ(NString::Format("%-20000d|", 1).GetLength(), 20001u);
}

TEST(FormatTest, ExtraArgumentsAreIgnored) {
  EXPECT_EQ(WString::Format(u"no fields", 1, u"x"), u"no fields");
  EXPECT_TRUE(WString::Format(nullptr, 1).IsEmpty());
}

TEST(FormatTest, BadCallsThrowNamingTheConversion) {
  const std::string tail = " : QZ::StringT<wchar_t,char>::Format : Utilities\\Storage\\StringT : Line 1043";
  EXPECT_EQ(InvalidArgumentText([] { WString::Format(u"%d and %I32d", 1); }),
            "Invalid Argument : Missing argument 2 for %I32d" + tail);
  EXPECT_EQ(InvalidArgumentText([] { WString::Format(u"%-5d", u"text"); }),
            "Invalid Argument : Argument 1 (wide text) does not fit %-5d" + tail);
  EXPECT_EQ(InvalidArgumentText([] { WString::Format(u"%d %s", 1, "narrow"); }),
            "Invalid Argument : Argument 2 (narrow text) does not fit %s" + tail);
  EXPECT_EQ(InvalidArgumentText([] { WString::Format(u"%f", 1); }),
            "Invalid Argument : Argument 1 (an integer) does not fit %f" + tail);
  EXPECT_EQ(InvalidArgumentText([] { WString::Format(u"%d", int64_t(1) << 32); }),
            "Invalid Argument : Argument 1 is out of range for %d" + tail);
  EXPECT_EQ(InvalidArgumentText([] { WString::Format(u"%x", -int64_t(1) << 40); }),
            "Invalid Argument : Argument 1 is out of range for %x" + tail);
  EXPECT_EQ(InvalidArgumentText([] { WString::Format(u"%*d", 1.5, 2); }),
            "Invalid Argument : Argument 1 (a real number) does not fit %*" + tail);
  EXPECT_EQ(InvalidArgumentText([] { WString::Format(u"%c", '\xC3'); }),
            "Invalid Argument : Argument 1 (an integer) does not fit %c" + tail);
  EXPECT_EQ(InvalidArgumentText([] { WString::Format(u"%c", -1); }),
            "Invalid Argument : Argument 1 is out of range for %c" + tail);
  EXPECT_EQ(InvalidArgumentText([] { WString::Format(u"%p", 5); }),
            "Invalid Argument : Argument 1 (an integer) does not fit %p" + tail);
  EXPECT_EQ(InvalidArgumentText([] { WString::Format(u"%y", 5); }), "Invalid Argument : Unknown conversion %y" + tail);
  EXPECT_EQ(InvalidArgumentText([] { WString::Format(u"%hhd", 5); }),
            "Invalid Argument : Unknown conversion %hh" + tail);
  EXPECT_EQ(InvalidArgumentText([] { WString::Format(u"50%", 5); }),
            "Invalid Argument : Incomplete conversion %" + tail);
  int count = 0;
  EXPECT_EQ(InvalidArgumentText([&] { WString::Format(u"ab%n", &count); }),
            "Invalid Argument : Writing through %n is not supported: %n" + tail);
  EXPECT_EQ(InvalidArgumentText([] { NString::Format("%s", u"wide"); }),
            "Invalid Argument : Argument 1 (wide text) does not fit %s : QZ::StringT<char,wchar_t>::Format : "
            "Utilities\\Storage\\StringT : Line 1043");
}

// The printf dialect's integer and real conversions agree with the C library's printf
// for every combination of flags, width and precision.
class FormatAgainstPrintfTest : public testing::Test {
protected:
  FormatAgainstPrintfTest() : mRandom(mSeed.value) {}

  std::string Flags() {
    std::string flags;
    for (const char flag : {'-', '+', ' ', '#', '0'}) {
      if (mRandom() % 3 == 0) {
        flags += flag;
      }
    }
    return flags;
  }

  std::string WidthAndPrecision() {
    std::string text;
    if (mRandom() % 2) {
      text += std::to_string(mRandom() % 25);
    }
    if (mRandom() % 2) {
      text += "." + std::to_string(mRandom() % 22);
    }
    return text;
  }

  template <class T>
  void Expect(const std::string& ours, const std::string& theirs, T value) {
    using CValue = std::conditional_t<std::is_same_v<T, int64_t>, long long, T>;
    char expected[512];
    std::snprintf(expected, sizeof expected, theirs.c_str(), CValue(value));
    const NString narrow = NString::Format(ours.c_str(), value);
    ASSERT_STREQ(narrow.GetBuffer(), expected) << "format " << ours;
    const std::u16string wideFormat(ours.begin(), ours.end());
    const WString wide = WString::Format(wideFormat.c_str(), value);
    ASSERT_STREQ(wide.ToUTF8().GetBuffer(), expected) << "format " << ours;
  }

  const QZTest::TestSeed mSeed;
  std::mt19937_64 mRandom;
};

TEST_F(FormatAgainstPrintfTest, IntegerConversions) {
  const char conversions[] = {'d', 'i', 'u', 'x', 'X', 'o'};
  for (int round = 0; round < 3000; ++round) {
    const std::string spec = "[%" + Flags() + WidthAndPrecision();
    const char conversion = conversions[mRandom() % sizeof conversions];
    const int shift = int(mRandom() % 64);
    switch (mRandom() % 3) {
    case 0:
      Expect(spec + conversion + "]", spec + conversion + "]", int32_t(mRandom() >> shift));
      break;
    case 1:
      Expect(spec + "I64" + conversion + "]", spec + "ll" + conversion + "]", int64_t(mRandom() >> shift));
      break;
    default:
      Expect(spec + "h" + conversion + "]", spec + "h" + conversion + "]", int32_t(mRandom() >> shift));
    }
  }
}

TEST_F(FormatAgainstPrintfTest, RealConversions) {
  const char conversions[] = {'f', 'F', 'e', 'E', 'g', 'G'};
  for (int round = 0; round < 3000; ++round) {
    const std::string spec = "[%" + Flags() + WidthAndPrecision() + conversions[mRandom() % sizeof conversions] + "]";
    double value = 0.0;
    switch (mRandom() % 4) {
    case 0: // any finite double
      do {
        value = std::bit_cast<double>(uint64_t(mRandom()));
      } while (!std::isfinite(value));
      break;
    case 1: // everyday magnitudes
      value = std::ldexp(double(int64_t(mRandom() >> 11)) / double(1ull << 53), int(mRandom() % 60) - 30);
      break;
    case 2: // halfway and short decimals, where rounding shows
      value =
          double(int64_t(mRandom() % 200001) - 100000) / double(std::array{1, 2, 4, 8, 10, 100, 1000}[mRandom() % 7]);
      break;
    default:
      value = std::array{0.0, -0.0, 1.0, 9.5, 0.5, 99999.5, 1e-5, 123456.0}[mRandom() % 8];
    }
    const char conversion = spec[spec.size() - 2];
    if ((conversion == 'f' || conversion == 'F') && std::fabs(value) > 1e30) {
      value = std::fmod(value, 1e30);
    }
    // glibc drops the zeros that %#g must keep when rounding carries into the next power
    // of ten ("1.e+05" for 99999.5 at 5 digits); AlternateGeneralFormKeepsItsZeros covers it.
    if ((conversion == 'g' || conversion == 'G') && spec.find('#') != std::string::npos) {
      continue;
    }
    Expect(spec, spec, value);
  }
}

} // namespace
