// The clipboard layer over a scripted system clipboard: the emulated sequence number, the
// mark of an emptied clipboard, the rounds of reading and writing, and the text's way to
// UTF-8 and back.

#include <gtest/gtest.h>

#include <string>

#include "Platform/Clipboard/Clipboard.h"
#include "Platform/Clipboard/TextConversion.h"
#include "Support/FakeClipboardBackend.h"

namespace QZ::Platform::Clipboard {
namespace {

// One write round: empty, then the text (or the mark), then close.
bool Write(std::u16string_view text, bool mark = false) {
  if (!OpenClipboard()) {
    return false;
  }
  const bool emptied = EmptyClipboard();
  const bool set = mark ? SetClipboardData(kEmptiedFormat) : SetClipboardData(CF_UNICODETEXT, text);
  return CloseClipboard() && emptied && set;
}

// One read round; false when any step fails.
bool Read(std::u16string& text) {
  if (!OpenClipboard()) {
    return false;
  }
  const bool read = GetClipboardData(CF_UNICODETEXT, text);
  return CloseClipboard() && read;
}

class ClipboardLayerTest : public ::testing::Test {
protected:
  QZTest::ScopedFakeClipboard mSystem;
};

TEST_F(ClipboardLayerTest, TheNumberMovesAtEveryQueryUntilThisProcessWrites) {
  const uint32_t first = GetClipboardSequenceNumber();
  const uint32_t second = GetClipboardSequenceNumber();
  EXPECT_NE(first, second);

  ASSERT_TRUE(Write(u"mine"));
  const uint32_t written = GetClipboardSequenceNumber();
  EXPECT_NE(written, second);
  EXPECT_EQ(GetClipboardSequenceNumber(), written);
  EXPECT_EQ(mSystem->text, "mine");
  EXPECT_EQ(mSystem->writes, 1);
  EXPECT_EQ(mSystem->reads, 0);
}

TEST_F(ClipboardLayerTest, AnUpdateTellsTheOwnerOnceThatItLostTheClipboard) {
  EXPECT_FALSE(ClipboardUpdated()); // never owned
  ASSERT_TRUE(Write(u"mine"));
  const uint32_t written = GetClipboardSequenceNumber();

  mSystem->text = "theirs";
  EXPECT_TRUE(ClipboardUpdated());
  EXPECT_FALSE(ClipboardUpdated());
  const uint32_t afterUpdate = GetClipboardSequenceNumber();
  EXPECT_NE(afterUpdate, written);
  EXPECT_NE(GetClipboardSequenceNumber(), afterUpdate); // another program's: always anew

  std::u16string text;
  ASSERT_TRUE(Read(text));
  EXPECT_EQ(text, u"theirs");
}

TEST_F(ClipboardLayerTest, AnEmptiedClipboardIsMarkedUntilTheNextUpdate) {
  mSystem->text = "before";
  ASSERT_TRUE(Write(u"", true));
  EXPECT_EQ(mSystem->text, "");
  EXPECT_TRUE(IsClipboardFormatAvailable(kEmptiedFormat));
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_UNICODETEXT));
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
  std::u16string text;
  EXPECT_FALSE(Read(text));

  mSystem->text = "after";
  EXPECT_TRUE(ClipboardUpdated());
  EXPECT_FALSE(IsClipboardFormatAvailable(kEmptiedFormat));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
  ASSERT_TRUE(Read(text));
  EXPECT_EQ(text, u"after");
}

TEST_F(ClipboardLayerTest, AWriteOfTextTakesTheMarkAway) {
  ASSERT_TRUE(Write(u"", true));
  ASSERT_TRUE(Write(u"x"));
  EXPECT_FALSE(IsClipboardFormatAvailable(kEmptiedFormat));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
}

TEST_F(ClipboardLayerTest, OwnTextIsKnownWithoutAskingTheSystem) {
  ASSERT_TRUE(Write(u"mine"));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
  EXPECT_EQ(mSystem->reads, 0);
  mSystem->text.clear();
  EXPECT_TRUE(ClipboardUpdated());
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_UNICODETEXT));
  EXPECT_EQ(mSystem->reads, 1);
}

TEST_F(ClipboardLayerTest, RoundsOpenOnceAndWritesNeedAnEmptiedRound) {
  EXPECT_FALSE(CloseClipboard());
  EXPECT_FALSE(EmptyClipboard());
  EXPECT_FALSE(SetClipboardData(CF_UNICODETEXT, u"x"));
  std::u16string text;
  EXPECT_FALSE(GetClipboardData(CF_UNICODETEXT, text));

  ASSERT_TRUE(OpenClipboard());
  EXPECT_FALSE(OpenClipboard());
  EXPECT_FALSE(SetClipboardData(CF_UNICODETEXT, u"x")); // not emptied
  EXPECT_TRUE(EmptyClipboard());
  EXPECT_FALSE(SetClipboardData(CF_TEXT, u"x")); // the wide text only
  EXPECT_FALSE(SetClipboardData(2, u"x"));
  EXPECT_TRUE(CloseClipboard());
  EXPECT_EQ(mSystem->writes, 1);
  EXPECT_EQ(mSystem->text, "");
  EXPECT_FALSE(IsClipboardFormatAvailable(2));
}

TEST_F(ClipboardLayerTest, ARefusedWriteChangesNothing) {
  ASSERT_TRUE(Write(u"kept"));
  const uint32_t written = GetClipboardSequenceNumber();
  mSystem->refuseWrites = true;
  EXPECT_FALSE(Write(u"lost"));
  EXPECT_EQ(mSystem->text, "kept");
  EXPECT_EQ(GetClipboardSequenceNumber(), written);
  mSystem->refuseReads = true;
  mSystem->refuseWrites = false;
  std::u16string text;
  EXPECT_FALSE(Read(text));
  EXPECT_TRUE(OpenClipboard()); // the failed read closed its round
  EXPECT_TRUE(CloseClipboard());
}

TEST_F(ClipboardLayerTest, TextLeavesAndArrivesAsValidUtf8) {
  struct Case {
    const char* name;
    std::u16string wide;
    std::string utf8;
  };
  const Case cases[] = {
      {"ascii and a line feed", u"line1\nline2", "line1\nline2"},
      {"two-byte", u"\u00DCn\u00EFcode",
       "\xC3\x9Cn\xC3\xAF"
       "code"},
      {"three-byte", u"\u2713", "\xE2\x9C\x93"},
      {"a pair", u"\U0001F600", "\xF0\x9F\x98\x80"},
      {"a lone high half", std::u16string(1, char16_t(0xD83D)) + u"a",
       "\xEF\xBF\xBD"
       "a"},
      {"a lone low half", u"a" + std::u16string(1, char16_t(0xDE00)), "a\xEF\xBF\xBD"},
      {"halves swapped", std::u16string{char16_t(0xDE00), char16_t(0xD83D)}, "\xEF\xBF\xBD\xEF\xBF\xBD"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToUtf8(c.wide), c.utf8) << c.name;
  }
  struct Back {
    const char* name;
    std::string utf8;
    std::u16string wide;
  };
  const Back backs[] = {
      {"well formed", "\xC3\x9C\xE2\x9C\x93\xF0\x9F\x98\x80", u"\u00DC\u2713\U0001F600"},
      {"a stray continuation",
       "a\x80"
       "b",
       u"a\uFFFDb"},
      {"an overlong slash", "\xC0\xAF", u"\uFFFD\uFFFD"},
      {"an encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
      {"cut off at the end", "a\xE2\x9C", u"a\uFFFD\uFFFD"},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
  };
  for (const Back& b : backs) {
    EXPECT_EQ(ToUtf16(b.utf8), b.wide) << b.name;
  }

  ASSERT_TRUE(Write(std::u16string(1, char16_t(0xD83D))));
  EXPECT_EQ(mSystem->text, "\xEF\xBF\xBD");
}

} // namespace
} // namespace QZ::Platform::Clipboard
