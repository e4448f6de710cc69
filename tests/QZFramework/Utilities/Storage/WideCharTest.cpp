#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <string_view>

#include "QZFramework/Utilities/Storage/WideChar.h"
#include "Support/TestSeed.h"

namespace {

namespace Chars = QZ::Chars;

TEST(WideCharTest, IntegersReadLikeTheCRuntime) {
  EXPECT_EQ(Chars::ToInt32(u"  -42abc"), -42);
  EXPECT_EQ(Chars::ToInt32(u"\t\n+7"), 7);
  EXPECT_EQ(Chars::ToInt32(u"abc"), 0);
  EXPECT_EQ(Chars::ToInt32(u"- 5"), 0);
  EXPECT_EQ(Chars::ToInt32(u"0x1F"), 0);
  EXPECT_EQ(Chars::ToInt32(u"\xFF11"), 0); // full-width digits are no digits
  EXPECT_EQ(Chars::ToInt32(u"2147483647"), INT32_MAX);
  EXPECT_EQ(Chars::ToInt32(u"2147483648"), INT32_MAX);
  EXPECT_EQ(Chars::ToInt32(u"-2147483648"), INT32_MIN);
  EXPECT_EQ(Chars::ToInt32(u"-99999999999999999999999"), INT32_MIN);
  EXPECT_EQ(Chars::ToInt64("9223372036854775807"), INT64_MAX);
  EXPECT_EQ(Chars::ToInt64("9223372036854775808"), INT64_MAX);
  EXPECT_EQ(Chars::ToInt64(" -9223372036854775808"), INT64_MIN);
  EXPECT_EQ(Chars::ToInt64("-12x"), -12);
  EXPECT_EQ(Chars::ToInt64(u"4294967296"), 4294967296LL);
}

TEST(WideCharTest, RealsReadWithAPointWhateverTheLocale) {
  EXPECT_DOUBLE_EQ(Chars::ToDouble(u"  3.5e2x"), 350.0);
  EXPECT_DOUBLE_EQ(Chars::ToDouble(u"-.5"), -0.5);
  EXPECT_DOUBLE_EQ(Chars::ToDouble(u"5."), 5.0);
  EXPECT_DOUBLE_EQ(Chars::ToDouble(u"1e"), 1.0);
  EXPECT_DOUBLE_EQ(Chars::ToDouble(u"1e+"), 1.0);
  EXPECT_DOUBLE_EQ(Chars::ToDouble(u"2,5"), 2.0);
  EXPECT_EQ(Chars::ToDouble(u"e5"), 0.0);
  EXPECT_EQ(Chars::ToDouble(u"."), 0.0);
  EXPECT_EQ(Chars::ToDouble(u"0x10"), 0.0);
  EXPECT_EQ(Chars::ToDouble(u"1e400"), std::numeric_limits<double>::infinity());
  EXPECT_EQ(Chars::ToDouble(u"-123456789e999999999999"), -std::numeric_limits<double>::infinity());
  EXPECT_EQ(Chars::ToDouble(u"1e-400"), 0.0);
  EXPECT_EQ(Chars::ToDouble(u"0.000000000000000000001e-400"), 0.0);
  EXPECT_TRUE(std::signbit(Chars::ToDouble(u"-1e-400")));
  EXPECT_EQ(Chars::ToDouble(u"4.9406564584124654e-324"), std::numeric_limits<double>::denorm_min());
  EXPECT_EQ(Chars::ToDouble(u" -INF"), -std::numeric_limits<double>::infinity());
  EXPECT_EQ(Chars::ToDouble(u"Infinity"), std::numeric_limits<double>::infinity());
  EXPECT_TRUE(std::isnan(Chars::ToDouble(u"nan")));
  const std::u16string longNumber = u"1." + std::u16string(300, u'0') + u"1";
  EXPECT_DOUBLE_EQ(Chars::ToDouble(longNumber.c_str()), 1.0);
  EXPECT_DOUBLE_EQ(Chars::ToDouble("0.1"), 0.1);
}

TEST(WideCharTest, SimpleCaseMappingOfThePlane) {
  EXPECT_EQ(Chars::ToUpper(u'a'), u'A');
  EXPECT_EQ(Chars::ToLower(u'Z'), u'z');
  EXPECT_EQ(Chars::ToUpper(u'1'), u'1');
  EXPECT_EQ(Chars::ToUpper(u'ä'), u'Ä');
  EXPECT_EQ(Chars::ToUpper(u'÷'), u'÷');
  EXPECT_EQ(Chars::ToUpper(u'ÿ'), u'\x0178');
  EXPECT_EQ(Chars::ToLower(u'\x0100'), u'\x0101'); // every second unit of a run
  EXPECT_EQ(Chars::ToLower(u'\x0101'), u'\x0101');
  EXPECT_EQ(Chars::ToUpper(u'\x0101'), u'\x0100');
  EXPECT_EQ(Chars::ToLower(u'\x0130'), u'i'); // one unit, not the two-unit full mapping
  EXPECT_EQ(Chars::ToUpper(u'ß'), u'ß');      // no one-to-one upper case
  EXPECT_EQ(Chars::ToLower(u'\x1E9E'), u'ß');
  EXPECT_EQ(Chars::ToUpper(u'ς'), u'Σ');
  EXPECT_EQ(Chars::ToUpper(u'\x1F80'), u'\x1F88');
  EXPECT_EQ(Chars::ToUpper(u'я'), u'Я');
  EXPECT_EQ(Chars::ToLower(u'\xA7AE'), u'\x026A'); // a delta beyond 16 signed bits
  EXPECT_EQ(Chars::ToLower(u'\xFF21'), u'\xFF41');
  EXPECT_EQ(Chars::ToUpper(u'\xD801'), u'\xD801'); // surrogates stay
  EXPECT_EQ(Chars::ToUpper(u'\xFFFF'), u'\xFFFF');
  EXPECT_EQ(Chars::ToUpper('a'), 'A');
  EXPECT_EQ(Chars::ToUpper('\xE4'), '\xE4');
  for (char32_t c = 0; c <= 0xFFFF; ++c) {
    const char16_t unit = char16_t(c);
    if (Chars::ToLower(unit) != unit) {
      ASSERT_FALSE(Chars::ToLower(unit) >= 0xD800 && Chars::ToLower(unit) <= 0xDFFF) << unsigned(c);
    }
  }
}

TEST(WideCharTest, CaselessComparison) {
  EXPECT_EQ(Chars::CompareNoCase(u"Größe", u"GRÖSSE"), Chars::CompareNoCase(u"größe", u"grösse"));
  EXPECT_EQ(Chars::CompareNoCase(u"ÄÖÜ", u"äöü"), 0);
  EXPECT_LT(Chars::CompareNoCase(u"a", u"B"), 0);
  EXPECT_GT(Chars::CompareNoCase(u"ab", u"A"), 0);
  EXPECT_GT(Chars::CompareNoCase(u"\xFF5A", u"a"), 0); // unsigned units
  EXPECT_EQ(Chars::CompareNoCase("True", "TRUE"), 0);
  EXPECT_GT(Chars::CompareNoCase("\xE4", "z"), 0);
}

TEST(WideCharTest, BoundedCopyAndSearch) {
  char16_t dest[4] = {u'x', u'x', u'x', u'x'};
  EXPECT_EQ(Chars::CopyBounded(dest, 4, u"abcdef", 6), 3u);
  EXPECT_EQ(std::u16string_view(dest), u"abc");
  EXPECT_EQ(Chars::CopyBounded(dest, 4, u"z", 6), 1u);
  EXPECT_EQ(std::u16string_view(dest), u"z");
  EXPECT_EQ(Chars::CopyBounded(dest, 0, u"z", 6), 0u);
  char16_t overlap[] = u"abcdef";
  EXPECT_EQ(Chars::CopyBounded(overlap, 7, overlap + 2, 3), 3u);
  EXPECT_EQ(std::u16string_view(overlap), u"cde");

  EXPECT_EQ(Chars::LengthBounded(u"abc", 2), 2u);
  EXPECT_EQ(Chars::LengthBounded(u"abc", 9), 3u);
  EXPECT_EQ(Chars::Find(u"aaab", 4, u"ab", 2), 2u);
  EXPECT_EQ(Chars::Find(u"aaab", 3, u"ab", 2), Chars::kNotFound);
  EXPECT_EQ(Chars::Find("abcabd", 6, "abd", 3), 3u);
  EXPECT_EQ(Chars::Find("ab", 2, "abc", 3), Chars::kNotFound);
  EXPECT_EQ(Chars::Span(u"  \tx ", u" \t"), 3u);
  EXPECT_EQ(Chars::CSpan(u"name=value", u"=:"), 4u);
  EXPECT_EQ(Chars::CSpan(u"plain", u"=:"), 5u);
}

// Texts of a few letters, so that partial matches abound, in allocations of their exact
// length (the sanitizer then sees any read past either range); the result must be the
// standard library's, with the needle at every position of the block scan and its tail.
template <class C>
void FindsAsTheStandardSearch(std::mt19937& random) {
  std::uniform_int_distribution<size_t> textLength(0, 80), needleLength(0, 12), letter(0, 2);
  const C letters[] = {C('a'), C('b'), C(0xE9)};
  const auto fill = [&](size_t n) {
    auto units = std::make_unique<C[]>(n);
    for (size_t i = 0; i < n; ++i) {
      units[i] = letters[letter(random)];
    }
    return units;
  };
  for (int round = 0; round < 10000; ++round) {
    const size_t n = textLength(random), m = needleLength(random);
    const auto text = fill(n);
    auto needle = fill(m);
    if (m <= n && m > 0 && round % 2 == 0) { // half the needles are cut from the text
      const size_t from = std::uniform_int_distribution<size_t>(0, n - m)(random);
      std::copy(text.get() + from, text.get() + from + m, needle.get());
    }
    const size_t expected = std::basic_string_view<C>(text.get(), n).find(needle.get(), 0, m);
    ASSERT_EQ(Chars::Find(text.get(), n, needle.get(), m),
              expected == std::basic_string_view<C>::npos ? Chars::kNotFound : expected)
        << "text length " << n << ", needle length " << m;
  }
}

TEST(WideCharTest, FindAgreesWithTheStandardSearch) {
  const QZTest::TestSeed seed;
  std::mt19937 random(uint32_t(seed.value));
  FindsAsTheStandardSearch<char16_t>(random);
  FindsAsTheStandardSearch<char>(random);
}

} // namespace
