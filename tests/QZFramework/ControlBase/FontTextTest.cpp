#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "QZFramework/ControlBase/FontText.h"
#include "Support/FixedAdvanceMeasurer.h"
#include "Support/StringPrinter.h"

namespace QZ {
namespace {

using QZTest::FixedAdvanceFont;

class FontTextTest : public ::testing::Test {
protected:
  // A block of the fixed-advance font.
  RCPtr<LFontText> Block(const char16_t* text, SizeT<int32_t> size = {100, 40}, bool wrap = false) {
    RCPtr<LFontText> block(new LFontText(WString(text), FixedAdvanceFont()));
    block->SetSize(size);
    block->SetWrap(wrap);
    return block;
  }
  static std::vector<std::u16string> Lines(LFontText& block) {
    std::vector<std::u16string> lines;
    for (uint32_t i = 0, n = block.Layout(); i < n; ++i) {
      lines.emplace_back(block.GetLine(i).View());
    }
    return lines;
  }

  QZTest::ScopedFixedAdvanceMeasurer measurer;
};

TEST_F(FontTextTest, BreaksIntoLines) {
  struct Case {
    const char16_t* text;
    int32_t width;
    bool wrap;
    std::vector<std::u16string> lines;
  };
  const Case cases[] = {
      // Line feeds only.
      {u"a\n\nb", 100, false, {u"a", u"", u"b"}},
      {u"word\n", 100, false, {u"word"}},
      {u"a\r\nb", 100, false, {u"a\r", u"b"}},
      {u"", 100, false, {u""}},
      {u"\n", 100, false, {u""}},
      {u"a\rb\tc\n\n", 100, false, {u"a\rb\tc", u""}},
      {u"abcd efgh", 10, false, {u"abcd efgh"}},
      // Wrapping: at spaces (dropped), after hyphens (kept), never inside a word.
      {u"abcd efgh", 35, true, {u"abcd", u"efgh"}},
      {u"abc-def", 28, true, {u"abc-", u"def"}},
      {u"abcdefgh", 20, true, {u"abcdefgh"}},
      {u"ab cd-ef", 42, true, {u"ab cd-", u"ef"}}, // the hyphen after the space still fits
      {u"ab cd-ef", 36, true, {u"ab", u"cd-ef"}},  // it does not
      {u"ab   \tcd", 14, true, {u"ab", u"cd"}},    // leading blanks of a continuation go
      {u"a b c", 100, true, {u"a b c"}},
      {u"a b c", 35, true, {u"a b", u"c"}},
      {u"one\n\ntwo three", 35, true, {u"one", u"", u"two", u"three"}},
      {u"-abc", 7, true, {u"-", u"abc"}},
      {u"abc-", 14, true, {u"abc-"}}, // a final hyphen is no place to break
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(WString(c.text).ToUTF8().GetBuffer()) + " at " + std::to_string(c.width));
    EXPECT_EQ(Lines(*Block(c.text, {c.width, 40}, c.wrap)), c.lines);
  }
}

TEST_F(FontTextTest, PlacesLinesByTheAlignmentFactors) {
  RCPtr<LFontText> empty = Block(u"", {100, 40});
  empty->SetAlignment(0.5f, 0.5f);
  ASSERT_EQ(empty->Layout(), 1u);
  EXPECT_EQ(empty->GetLineRect(0), (RectT<float>{50, 12, 0, 0}));

  RCPtr<LFontText> two = Block(u"ab\nabcd", {100, 40});
  two->SetAlignment(1.0f, 1.0f);
  ASSERT_EQ(two->Layout(), 2u);
  EXPECT_EQ(two->GetLineRect(0), (RectT<float>{86, 8, 14, 16}));
  EXPECT_EQ(two->GetLineRect(1), (RectT<float>{72, 24, 28, 16}));
  // A line wider than the block is not cut: centred, it starts left of the block.
  RCPtr<LFontText> wide = Block(u"abcdefgh", {28, 16});
  wide->SetAlignment(0.5f, 0.0f);
  wide->Layout();
  EXPECT_EQ(wide->GetLineRect(0), (RectT<float>{-14, 0, 56, 16}));
  EXPECT_EQ(wide->GetExtent(), (SizeT<int32_t>{56, 16}));
  EXPECT_EQ(Block(u"ab")->GetExtent(), (SizeT<int32_t>{0, 0})); // not laid out
}

TEST_F(FontTextTest, MeasuresNaturalWidthAndHeight) {
  EXPECT_EQ(Block(u"ab\nabcd")->GetNaturalWidth(), 28);
  EXPECT_EQ(Block(u"")->GetNaturalWidth(), 0);
  RCPtr<LFontText> wrapped = Block(u"abcd efgh", {100, 40}, true);
  EXPECT_EQ(wrapped->GetTextHeight(35), 32);
  EXPECT_EQ(wrapped->GetTextHeight(100), 16);
  EXPECT_EQ(Block(u"abcd efgh")->GetTextHeight(35), 16); // without wrapping only line feeds count
  // Neither changes the block's own lines.
  EXPECT_EQ(Lines(*wrapped), (std::vector<std::u16string>{u"abcd efgh"}));
  // Without a font nothing has a size.
  RCPtr<LFontText> fontless(new LFontText(WString(u"abc")));
  EXPECT_EQ(fontless->GetNaturalWidth(), 0);
  EXPECT_EQ(fontless->GetTextHeight(10), 0);
}

TEST_F(FontTextTest, FoldsTheMeasuredXOffsetIntoEveryWidth) {
  measurer->xOffset = 2.0f;
  RCPtr<LFontText> block = Block(u"ab\nabcd", {100, 40});
  EXPECT_EQ(block->GetNaturalWidth(), 30);
  block->Layout();
  EXPECT_EQ(block->GetLineRect(0), (RectT<float>{0, 0, 16, 16}));
  EXPECT_EQ(block->GetLineRect(1), (RectT<float>{0, 16, 30, 16}));
  // The fold counts in wrapping: "ab cd" is 37 wide now.
  EXPECT_EQ(Lines(*Block(u"ab cd", {36, 40}, true)), (std::vector<std::u16string>{u"ab", u"cd"}));
  EXPECT_EQ(Lines(*Block(u"ab cd", {38, 40}, true)), (std::vector<std::u16string>{u"ab cd"}));
  measurer->xOffset = 0.0f;
  EXPECT_EQ(Lines(*Block(u"ab cd", {36, 40}, true)), (std::vector<std::u16string>{u"ab cd"}));
}

TEST_F(FontTextTest, LaysOutAgainOnlyAfterARealChange) {
  RCPtr<LFontText> block = Block(u"abcd efgh", {100, 40}, true);
  block->Layout();
  const int afterFirst = measurer->measureCalls;
  EXPECT_GT(afterFirst, 0);
  block->Layout();
  EXPECT_EQ(measurer->measureCalls, afterFirst);

  // Unchanged values change nothing and keep the layout.
  EXPECT_EQ(block->SetText(WString(u"abcd efgh")), 0);
  EXPECT_EQ(block->SetFont(FixedAdvanceFont()), 0);
  EXPECT_FALSE(block->SetWrap(true));
  EXPECT_FALSE(block->SetAlignment(0.0f, 0.0f));
  EXPECT_FALSE(block->SetSize({100, 40}));
  block->Layout();
  EXPECT_EQ(measurer->measureCalls, afterFirst);

  const RCPtr<LFont> other = LFont::GetFont(WString(u"QZTest Fixed Advance"), 12.0f, LFont::kRegular);
  struct Change {
    const char* what;
    std::function<int32_t()> apply;
  };
  const Change changes[] = {
      {"size",
       [&] {
         return int32_t(block->SetSize({35, 40}));
       }},
      {"alignment", [&] { return int32_t(block->SetAlignment(0.5f, 0.0f)); }},
      {"text", [&] { return block->SetText(WString(u"abcd efgh ijkl")); }},
      {"font", [&] { return block->SetFont(other); }},
      {"wrap", [&] { return int32_t(block->SetWrap(false)); }},
  };
  for (const Change& change : changes) {
    SCOPED_TRACE(change.what);
    const int before = measurer->measureCalls;
    EXPECT_EQ(change.apply(), 1);
    block->Layout();
    EXPECT_GT(measurer->measureCalls, before) << "laid out again";
    const int after = measurer->measureCalls;
    block->Layout();
    EXPECT_EQ(measurer->measureCalls, after);
  }
  EXPECT_EQ(block->SetFont(nullptr), 1);
  EXPECT_EQ(block->SetFont(nullptr), 0);
  EXPECT_EQ(block->SetFont(other), 1);
}

} // namespace
} // namespace QZ
