// The text box's geometry and drawing: where its lines, caret and selection lie in the
// current look's text block, the caret's blink, and the caret and the selection drawn
// under the text.

#include <algorithm>
#include <string_view>

#include "QZFramework/ControlBase/Look.h"
#include "QZFramework/Controls/ApplicationClock.h"
#include "QZFramework/Controls/TextBox.h"
#include "QZFramework/Renderer/AutoClip.h"
#include "QZFramework/Renderer/MeasurementRenderer.h"

namespace QZ {
namespace {

constexpr char16_t kLineFeed = u'\n';
// The selection's highlight: the text's colour, this opaque, under the text.
constexpr float kHighlightAlpha = 1.0f / 3.0f;

RectT<int32_t> PixelRect(const RectT<float>& rect, const PointT<double>& scroll) {
  const PointT<int32_t> corner = PointT<double>{rect.x - scroll.x, rect.y - scroll.y}.Round();
  return {corner.x, corner.y, RoundToInt32(double(rect.width)), RoundToInt32(double(rect.height))};
}

} // namespace

std::vector<LTextBox::LineLayout> LTextBox::LayOutLines() {
  std::vector<LineLayout> lines;
  const RCPtr<LLook> look = GetLook(-1);
  const RCPtr<LFontText> block = look ? look->GetFontText() : nullptr;
  if (!block) {
    return lines;
  }
  const uint32_t count = block->Layout();
  const RectT<int32_t> origin = look->GetTextBlockRect();
  const std::u16string_view text = GetText().View();
  size_t position = 0;
  for (uint32_t i = 0; i < count; ++i) {
    const std::u16string_view line = block->GetLine(i).View();
    // Lines are the text's own characters in order: wrapping only leaves out the blanks
    // between lines, and each line feed ends a line.
    size_t start = text.find(line, position);
    if (start == std::u16string_view::npos) {
      start = std::min(position, text.size());
    }
    RectT<float> rect = block->GetLineRect(i);
    rect.x += float(origin.x);
    rect.y += float(origin.y);
    lines.push_back({int32_t(start), int32_t(line.size()), rect});
    position = start + line.size();
    if (position < text.size() && text[position] == kLineFeed) {
      ++position;
    }
  }
  return lines;
}

float LTextBox::PrefixWidth(const WString& line, int32_t count) {
  const RCPtr<LLook> look = GetLook(-1);
  const RCPtr<LFontText> block = look ? look->GetFontText() : nullptr;
  const RCPtr<LMeasurementRenderer> measurer = LFont::GetMeasurementRenderer();
  if (count <= 0 || !block || !block->GetFont() || !measurer) {
    return 0.0f;
  }
  // A renderer's measure may carry spare pixels after the text (the GDI renderer's 3): the
  // difference of two measures that end alike leaves them out.
  const auto width = [&](const WString& text) {
    const RectT<float> box = measurer->MeasureText(*block->GetFont(), text);
    return box.x + box.width;
  };
  WString prefix = line.Left(uint32_t(count));
  prefix += u"0";
  return width(prefix) - width(WString(u"0"));
}

void LTextBox::RecomputeCaretRect() {
  const std::vector<LineLayout> lines = LayOutLines();
  if (lines.empty()) {
    mCaretRect = {0.0f, 0.0f, 1.0f, 0.0f};
    return;
  }
  size_t row = 0;
  while (row + 1 < lines.size() && lines[row + 1].start <= mCaret) {
    ++row;
  }
  const LineLayout& line = lines[row];
  const int32_t column = std::clamp(mCaret - line.start, 0, line.length);
  const float x = line.rect.x + PrefixWidth(GetText().Mid(line.start, uint32_t(line.length)), column);
  const RCPtr<LFont>& font = GetLook(-1)->GetFontText()->GetFont();
  mCaretRect = {x, line.rect.y, 1.0f, font ? float(font->GetHeight()) : line.rect.height};
}

void LTextBox::RefreshSelectionDisplay() {
  mSelectionRects.clear();
  if (mSelectionLength > 0) {
    const std::vector<LineLayout> lines = LayOutLines();
    const RCPtr<LLook> look = GetLook(-1);
    const RCPtr<LFont> font = look && look->GetFontText() ? look->GetFontText()->GetFont() : nullptr;
    const int32_t end = mSelectionStart + mSelectionLength;
    for (const LineLayout& line : lines) {
      const int32_t from = std::max(mSelectionStart, line.start);
      const int32_t to = std::min(end, line.start + line.length);
      if (from >= to) {
        continue;
      }
      const WString text = GetText().Mid(line.start, uint32_t(line.length));
      const float left = PrefixWidth(text, from - line.start);
      const float right = PrefixWidth(text, to - line.start);
      mSelectionRects.push_back(
          {line.rect.x + left, line.rect.y, right - left, font ? float(font->GetHeight()) : line.rect.height});
    }
  }
  InvalidateChildRect({0.0, 0.0, GetRect().width, GetRect().height}, true);
}

ColorT<float> LTextBox::TextColor() {
  const RCPtr<LLook> look = GetLook(-1);
  const RCPtr<LVisualPart> part = look ? look->GetTextForegroundPart() : nullptr;
  if (!part) {
    return ColorT<float>::FromARGB(0xFF000000);
  }
  return ColorT<float>::FromARGB(part->GetColorAtPoint(PointT<int32_t>{0, 0}));
}

QZResult LTextBox::OnTick() {
  const RCPtr<LControl> self(this);
  LScrollView::OnTick();
  if (!HasFocus()) {
    return QZ_OK;
  }
  const double now = Widgets::Now();
  if (Widgets::IsDue(mNextBlinkTime - now)) {
    mCaretVisible = !mCaretVisible;
    mNextBlinkTime = now + (mCaretVisible ? kCaretShownSeconds : kCaretHiddenSeconds);
    // A blink changes the caret's pixels only: the rest of the box is not repainted, and
    // the window may show each phase from the pixels it painted for it before.
    const RCPtr<IRootWindow> window = GetRootWindowRef();
    if (window) {
      window->MarkAlternating(this, mCaretVisible ? 1 : 0);
    }
    InvalidateChildRect(PixelRect(mCaretRect, GetScrollOffset()).ToDouble(), true);
    if (window) {
      window->MarkAlternating(nullptr, 0);
    }
  }
  WaitForBlink();
  return QZ_OK;
}

void LTextBox::WaitForBlink() {
  // Between blinks the window keeps the blink's idle request: the ticks of the periods
  // before the next blink would change nothing.
  const RCPtr<IRootWindow> window = GetRootWindowRef();
  if (!window) {
    return;
  }
  const bool waiting = window->CancelIdleRequestAt(this);
  if (Succeeded(window->AddIdleRequestAt(RCPtr<LControl>(this), mNextBlinkTime)) && !waiting) {
    ReleaseIdleRequest(); // the window holds it now
  }
}

QZResult LTextBox::DrawContent(const RCPtr<LRenderer>& renderer) {
  const bool caret = HasFocus() && mCaretVisible;
  if (!renderer || (mSelectionRects.empty() && !caret)) {
    return QZ_OK;
  }
  const RectT<double> area = TextArea();
  CAutoClip clip(renderer, {0.0, 0.0, area.x + area.width, area.y + area.height}, area, nullptr);
  const ColorT<float> ink = TextColor();
  ColorT<float> highlight = ink;
  highlight.alpha *= kHighlightAlpha;
  for (const RectT<float>& rect : mSelectionRects) {
    renderer->FillRect(PixelRect(rect, GetScrollOffset()), highlight, true); // a backend keeps its failures
  }
  if (caret) {
    renderer->FillRect(PixelRect(mCaretRect, GetScrollOffset()), ink, true); // a backend keeps its failures
  }
  return QZ_OK;
}

} // namespace QZ
