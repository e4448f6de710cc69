#include <gtest/gtest.h>

#include "Platform/Graphics/TextEncoding.h"

namespace Gfx = QZ::Platform::Graphics;

TEST(TextEncodingTest, ConvertsUtf16ToUtf8) {
  EXPECT_EQ(Gfx::ToUtf8(u""), "");
  EXPECT_EQ(Gfx::ToUtf8(u"Hi"), "Hi");
  EXPECT_EQ(Gfx::ToUtf8(u"\u00e4\u20ac"), "\xC3\xA4\xE2\x82\xAC");
  EXPECT_EQ(Gfx::ToUtf8(u"\U0001F3B9"), "\xF0\x9F\x8E\xB9"); // a surrogate pair stays one character
  EXPECT_EQ(Gfx::ToUtf8(std::u16string_view(u"a\0b", 3)), std::string("a\0b", 3));
}

TEST(TextEncodingTest, ReplacesLoneSurrogates) {
  const std::string replacement = "\xEF\xBF\xBD";
  EXPECT_EQ(Gfx::ToUtf8(u"a\xD800"), "a" + replacement);                           // high at the end
  EXPECT_EQ(Gfx::ToUtf8(u"\xDC00z"), replacement + "z");                           // low alone
  EXPECT_EQ(Gfx::ToUtf8(u"\xD83C\xD83C\xDFB9"), replacement + "\xF0\x9F\x8E\xB9"); // high, then a pair
  EXPECT_EQ(Gfx::ToUtf8(u"\xDFB9\xD83C"), replacement + replacement);              // reversed pair
}

TEST(TextEncodingTest, StepsOverCodePoints) {
  const std::u16string_view text = u"x\U0001F3B9\xDC00";
  size_t index = 0;
  EXPECT_EQ(Gfx::NextCodePoint(text, index), U'x');
  EXPECT_EQ(index, 1u);
  EXPECT_EQ(Gfx::NextCodePoint(text, index), U'\U0001F3B9');
  EXPECT_EQ(index, 3u);
  EXPECT_EQ(Gfx::NextCodePoint(text, index), U'\uFFFD');
  EXPECT_EQ(index, 4u);
}
