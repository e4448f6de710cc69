#pragma once
// QZ::LFontText: the text block of a look: a control's text broken into lines (at line
// feeds, and with wrapping also at spaces and hyphens to the block's width, never inside
// a word) and each line placed in the block by two alignment factors.
//
//   QZ::RCPtr<QZ::LFontText> text(new QZ::LFontText(u"Send to RAM", font));
//   text->SetWrap(true);
//   text->SetSize({60, 40});
//   text->SetAlignment(0.5f, 0.5f);                    // centred both ways
//   for (uint32_t i = 0, n = text->Layout(); i < n; ++i) {
//     renderer->DrawText(text->GetLine(i), *font, text->GetLineRect(i).GetOrigin().Round().ToDouble(), colour);
//   }
//
// Text is measured with the fonts' measurement renderer (LFont's installed source): its
// width counts from 0, so a box that starts at x adds x to the width. Lines and their
// rectangles are computed on the first Layout after a change and kept until the next
// change of text, font, wrap flag, alignment or size: drawing an unchanged block
// measures nothing. Without a font or a measurement renderer every text measures 0 x 0
// and the line height is 0.
//
// UI thread, like the fonts.

#include <cstdint>
#include <vector>

#include "QZFramework/ObjectBase/RCPtr.h"
#include "QZFramework/Utilities/Graphics/Font.h"
#include "QZFramework/Utilities/Graphics/Geometry.h"
#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

class LFontText : public virtual LRefCountedObject {
public:
  // Alignment factors 0 (left, top), no wrapping, size 0 x 0, not laid out. font may be
  // null.
  explicit LFontText(const WString& text = WString(), const RCPtr<LFont>& font = nullptr);

  // Each setter empties the lines and rectangles when it changes something.
  // 1 when the text changed, else 0.
  int32_t SetText(const WString& text);
  // Stores font (may be null); 1 when it differs from the old one (one of them null, or
  // two different fonts), else 0.
  int32_t SetFont(const RCPtr<LFont>& font);
  // Whether the flag changed.
  bool SetWrap(bool wrap);
  // Horizontal and vertical factors: 0 left (top), 0.5 centred, 1 right (bottom); any
  // value places proportionally. Whether either changed.
  bool SetAlignment(float hAlign, float vAlign);
  // The block's width and height in pixels. Whether it changed.
  bool SetSize(const SizeT<int32_t>& size);

  // Breaks and places the lines when not done since the last change; the number of lines
  // (at least 1: an empty text is one empty line).
  uint32_t Layout();
  // Line i of the last Layout (i below its count).
  const WString& GetLine(uint32_t i) const { return mLines[i]; }
  // Rectangle of line i in block coordinates: left = (block width - line width) x hAlign,
  // top = (block height - line height x lines) x vAlign + line height x i; the measured
  // width and height. Lines are not cut to the block.
  const RectT<float>& GetLineRect(uint32_t i) const { return mLineRects[i]; }

  // Line height x the number of lines the text has at width (wrapped when the wrap flag
  // is set, else split at line feeds). Measures anew; the block is not changed.
  int32_t GetTextHeight(int32_t width) const;
  // The widest line-feed line, whole pixels (measured width + 0.99, truncated). Measures
  // anew.
  int32_t GetNaturalWidth() const;
  // The size of the box holding (0, 0) and every line rectangle of the last Layout, its
  // edges rounded half away from zero; 0 x 0 when not laid out.
  SizeT<int32_t> GetExtent() const;

  const WString& GetText() const { return mText; }
  const RCPtr<LFont>& GetFont() const { return mFont; }
  bool GetWrap() const { return mWrap; }
  float GetHAlign() const { return mHAlign; }
  float GetVAlign() const { return mVAlign; }
  const SizeT<int32_t>& GetSize() const { return mSize; }

private:
  // Forgets the lines and their rectangles.
  void Discard();
  // The box of text in the font, its x folded into the width; 0 x 0 without a font or a
  // measurement renderer.
  RectT<float> Measure(const WString& text) const;
  float MeasureWidth(const WString& text) const { return Measure(text).width; }
  // The line height of the font; 0 without one.
  int32_t GetLineHeight() const;
  // The lines of the text: split at line feeds, and wrapped at width when wrap is set.
  std::vector<WString> BreakLines(bool wrap, int32_t width) const;
  // Appends the lines of one paragraph wrapped at width.
  void WrapParagraph(const WString& paragraph, float width, std::vector<WString>& lines) const;
  // How many leading characters of text go on a line of width (at least one word).
  uint32_t CountFitting(const WString& text, float width) const;
  void PlaceLines();

  WString mText;
  RCPtr<LFont> mFont;
  float mHAlign = 0.0f;
  float mVAlign = 0.0f;
  bool mWrap = false;
  SizeT<int32_t> mSize;
  std::vector<WString> mLines;
  std::vector<RectT<float>> mLineRects;
};

// Splits text at line feeds (U+000A only): a text without one is one line; a final line
// feed adds no empty line; two in a row give an empty line between their neighbours.
std::vector<WString> SplitAtLineFeeds(const WString& text);

} // namespace QZ
