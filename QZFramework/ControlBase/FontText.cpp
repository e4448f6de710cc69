#include "QZFramework/ControlBase/FontText.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <vector>

#include "QZFramework/Renderer/MeasurementRenderer.h"

namespace QZ {

namespace {

using View = std::u16string_view;

WString ToWString(View text) { return WString(text.data(), uint32_t(text.size())); }

// Truncates toward zero, saturating at the 32-bit range (NaN gives 0).
int32_t TruncateToInt32(double value) {
  if (std::isnan(value)) {
    return 0;
  }
  return int32_t(std::clamp(std::trunc(value), double(INT32_MIN), double(INT32_MAX)));
}

// a - b, saturating at the 32-bit range.
int32_t SaturatingDifference(int32_t a, int32_t b) {
  return int32_t(std::clamp(int64_t(a) - int64_t(b), int64_t(INT32_MIN), int64_t(INT32_MAX)));
}

// What a continued line does not start with.
constexpr View kSkippedAtLineStart = u" \t\r\n";

} // namespace

std::vector<WString> SplitAtLineFeeds(const WString& text) {
  const View view = text.View();
  if (view.find(u'\n') == View::npos) {
    return {text};
  }
  std::vector<WString> lines;
  size_t start = 0;
  while (start < view.size()) {
    const size_t lineFeed = view.find(u'\n', start);
    if (lineFeed == View::npos) {
      lines.push_back(ToWString(view.substr(start)));
      break;
    }
    lines.push_back(ToWString(view.substr(start, lineFeed - start)));
    start = lineFeed + 1;
  }
  return lines;
}

LFontText::LFontText(const WString& text, const RCPtr<LFont>& font) : mText(text), mFont(font) {}

void LFontText::Discard() {
  mLines.clear();
  mLineRects.clear();
}

int32_t LFontText::SetText(const WString& text) {
  if (text == mText) {
    return 0;
  }
  mText = text;
  Discard();
  return 1;
}

int32_t LFontText::SetFont(const RCPtr<LFont>& font) {
  const bool changed = font.Get() != mFont.Get();
  mFont = font;
  if (!changed) {
    return 0;
  }
  Discard();
  return 1;
}

bool LFontText::SetWrap(bool wrap) {
  if (wrap == mWrap) {
    return false;
  }
  mWrap = wrap;
  Discard();
  return true;
}

bool LFontText::SetAlignment(float hAlign, float vAlign) {
  if (hAlign == mHAlign && vAlign == mVAlign) {
    return false;
  }
  mHAlign = hAlign;
  mVAlign = vAlign;
  Discard();
  return true;
}

bool LFontText::SetSize(const SizeT<int32_t>& size) {
  if (size == mSize) {
    return false;
  }
  mSize = size;
  Discard();
  return true;
}

RectT<float> LFontText::Measure(const WString& text) const {
  if (!mFont) {
    return {};
  }
  const RCPtr<LMeasurementRenderer> measurer = LFont::GetMeasurementRenderer();
  if (!measurer) {
    return {};
  }
  RectT<float> box = measurer->MeasureText(*mFont, text);
  if (box.x != 0.0f) {
    box.width += box.x;
    box.x = 0.0f;
  }
  return box;
}

int32_t LFontText::GetLineHeight() const { return mFont ? mFont->GetHeight() : 0; }

uint32_t LFontText::CountFitting(const WString& text, float width) const {
  const View whole = text.View();
  if (width > MeasureWidth(text)) {
    return uint32_t(whole.size());
  }
  const auto fits = [&](size_t length) { return MeasureWidth(ToWString(whole.substr(0, length))) <= width; };
  // The spaces a line may end at (not one that starts it). A longer text is never
  // narrower, so the last one whose text fits is found by halving: measuring back from the
  // end word by word took a measurement of most of a long paragraph per word.
  std::vector<size_t> spaces;
  for (size_t at = whole.find(u' ', 1); at != View::npos; at = whole.find(u' ', at + 1)) {
    spaces.push_back(at);
  }
  size_t low = 0;
  size_t high = spaces.size();
  while (low < high) {
    const size_t middle = low + (high - low) / 2;
    if (fits(spaces[middle])) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  // The text up to the first space whose text does not fit.
  View candidate = whole.substr(0, low < spaces.size() ? spaces[low] : whole.size());
  if (low > 0) {
    const size_t space = spaces[low - 1];
    // Up to a hyphen after the space, when that still fits.
    const size_t hyphen = candidate.rfind(u'-');
    if (hyphen != View::npos && hyphen > space && fits(hyphen + 1)) {
      return uint32_t(hyphen + 1);
    }
    return uint32_t(space);
  }
  // No space to break at: the last hyphen before the final character, or the whole word
  // however wide it is.
  for (;;) {
    const size_t hyphen = candidate.empty() ? View::npos : candidate.substr(0, candidate.size() - 1).rfind(u'-');
    if (hyphen == View::npos) {
      return uint32_t(candidate.size());
    }
    candidate = candidate.substr(0, hyphen + 1);
    if (fits(candidate.size())) {
      return uint32_t(candidate.size());
    }
  }
}

void LFontText::WrapParagraph(const WString& paragraph, float width, std::vector<WString>& lines) const {
  const View text = paragraph.View();
  size_t consumed = std::min<size_t>(CountFitting(paragraph, width), text.size());
  View current = text.substr(0, consumed);
  while (consumed < text.size()) {
    View continuation = text.substr(consumed);
    const size_t start = continuation.find_first_not_of(kSkippedAtLineStart);
    if (start != View::npos) {
      continuation = continuation.substr(start);
    }
    lines.push_back(ToWString(current));
    const size_t fit = std::min<size_t>(CountFitting(ToWString(continuation), width), continuation.size());
    current = continuation.substr(0, fit);
    consumed = text.size() - continuation.size() + fit;
  }
  lines.push_back(ToWString(current));
}

std::vector<WString> LFontText::BreakLines(bool wrap, int32_t width) const {
  std::vector<WString> paragraphs = SplitAtLineFeeds(mText);
  if (!wrap) {
    return paragraphs;
  }
  std::vector<WString> lines;
  for (const WString& paragraph : paragraphs) {
    WrapParagraph(paragraph, float(width), lines);
  }
  return lines;
}

void LFontText::PlaceLines() {
  mLineRects.clear();
  if (mLines.empty()) {
    mLines.emplace_back();
  }
  const float lineHeight = float(GetLineHeight());
  const float top = (float(mSize.height) - lineHeight * float(mLines.size())) * mVAlign;
  for (size_t i = 0; i < mLines.size(); ++i) {
    const RectT<float> box = Measure(mLines[i]);
    const float left = (float(mSize.width) - box.width) * mHAlign;
    mLineRects.push_back({left, lineHeight * float(i) + top, box.width, box.height});
  }
}

uint32_t LFontText::Layout() {
  if (mLines.empty()) {
    mLines = BreakLines(mWrap, mSize.width);
  }
  if (mLineRects.empty()) {
    PlaceLines();
  }
  return uint32_t(mLineRects.size());
}

int32_t LFontText::GetTextHeight(int32_t width) const {
  const int64_t height = int64_t(GetLineHeight()) * int64_t(BreakLines(mWrap, width).size());
  return int32_t(std::min<int64_t>(height, INT32_MAX));
}

int32_t LFontText::GetNaturalWidth() const {
  float widest = 0.0f;
  bool first = true;
  for (const WString& line : SplitAtLineFeeds(mText)) {
    const float width = MeasureWidth(line);
    widest = first ? width : std::max(widest, width);
    first = false;
  }
  return TruncateToInt32(double(widest) + 0.99);
}

SizeT<int32_t> LFontText::GetExtent() const {
  if (mLineRects.empty()) {
    return {};
  }
  float left = 0.0f;
  float top = 0.0f;
  float right = 0.0f;
  float bottom = 0.0f;
  for (const RectT<float>& rect : mLineRects) {
    left = std::min(left, rect.x);
    top = std::min(top, rect.y);
    right = std::max(right, rect.x + rect.width);
    bottom = std::max(bottom, rect.y + rect.height);
  }
  return {SaturatingDifference(RoundToInt32(right), RoundToInt32(left)),
          SaturatingDifference(RoundToInt32(bottom), RoundToInt32(top))};
}

} // namespace QZ
