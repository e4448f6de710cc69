// Text members of Graphics: drawing and measuring by the layout rule of Graphics.h.
#include <cairo.h>

#include <algorithm>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "Platform/Graphics/FontRegistry.h"
#include "Platform/Graphics/Graphics.h"
#include "Platform/Graphics/TextLayout.h"

namespace QZ::Platform::Graphics {

namespace {

// The longest text whose layout is kept, and how many layouts are kept before they are
// all dropped: labels are short, and the same ones are measured and drawn over and over
// (one page measures its "CH: %s" a hundred times as the window is made).
constexpr size_t kMaxKeptTextUnits = 64;
constexpr size_t kMaxKeptLayouts = 512;

// Texts laid out by face, em size and text. Main thread, like Graphics.
class LayoutCache {
public:
  // The lines of text in face at emPixels (font is that face's Cairo font of the size);
  // null when Cairo cannot lay the text out. Valid until the next call.
  const std::vector<detail::TextLine>* Lines(const detail::FaceRecord& face, double emPixels, cairo_scaled_font_t* font,
                                             std::u16string_view text) {
    if (text.size() > kMaxKeptTextUnits) {
      mLong.clear();
      return detail::LayOutText(text, font, mLong) ? &mLong : nullptr;
    }
    // Looked up by a view of the text: a kept layout costs no copy of it.
    if (auto found = mKept.find(KeyView{&face, emPixels, text}); found != mKept.end()) {
      return &found->second;
    }
    std::vector<detail::TextLine> lines;
    if (!detail::LayOutText(text, font, lines)) {
      return nullptr;
    }
    if (mKept.size() >= kMaxKeptLayouts) {
      mKept.clear();
    }
    return &mKept.emplace(Key{&face, emPixels, std::u16string(text)}, std::move(lines)).first->second;
  }

private:
  struct Key {
    const detail::FaceRecord* face;
    double emPixels;
    std::u16string text;
  };
  struct KeyView {
    const detail::FaceRecord* face;
    double emPixels;
    std::u16string_view text;
  };
  static KeyView ViewOf(const Key& key) { return {key.face, key.emPixels, key.text}; }
  static KeyView ViewOf(const KeyView& key) { return key; }
  struct KeyHash {
    using is_transparent = void;
    template <class K>
    size_t operator()(const K& key) const {
      const KeyView view = ViewOf(key);
      const size_t text = std::hash<std::u16string_view>()(view.text);
      const size_t font = std::hash<const void*>()(view.face) ^ (std::hash<double>()(view.emPixels) << 1);
      return text ^ (font + 0x9e3779b97f4a7c15ULL + (text << 6) + (text >> 2));
    }
  };
  struct KeyEqual {
    using is_transparent = void;
    template <class A, class B>
    bool operator()(const A& a, const B& b) const {
      const KeyView x = ViewOf(a);
      const KeyView y = ViewOf(b);
      return x.face == y.face && x.emPixels == y.emPixels && x.text == y.text;
    }
  };
  std::unordered_map<Key, std::vector<detail::TextLine>, KeyHash, KeyEqual> mKept;
  std::vector<detail::TextLine> mLong;
};

LayoutCache& Layouts() {
  static LayoutCache cache;
  return cache;
}

// A text laid out by the layout rule of Graphics.h, positions relative to the layout
// rectangle's top-left corner.
struct PlacedText {
  const std::vector<detail::TextLine>* lines = nullptr; // the layout cache's
  cairo_scaled_font_t* font = nullptr;
  double padding = 0;    // from the layout's left edge to each line's pen start
  double ascent = 0;     // from a line's cell top to its baseline
  double lineHeight = 0; // from one line's cell top to the next
};

Status PlaceText(std::u16string_view text, const Font& font, PlacedText& placed) {
  const double emPixels = font.EmPixels(Graphics::kDpi);
  const detail::FaceMetrics& metrics = font.Face().Metrics();
  placed.font = font.Face().ScaledFont(emPixels);
  placed.lines = placed.font != nullptr ? Layouts().Lines(font.Face(), emPixels, placed.font, text) : nullptr;
  if (placed.lines == nullptr) {
    return Status::GenericError;
  }
  placed.padding = emPixels / 6;
  placed.ascent = metrics.cellAscent * emPixels / metrics.emHeight;
  placed.lineHeight = metrics.lineSpacing * emPixels / metrics.emHeight;
  return Status::Ok;
}

// Clips a box (left, top, right, bottom) to the layout rectangle's limited directions;
// false when nothing remains.
bool ClipBoxToLayout(const RectF& layout, double& left, double& top, double& right, double& bottom) {
  if (layout.width > 0) {
    left = std::max<double>(left, layout.x);
    right = std::min<double>(right, double(layout.x) + layout.width);
  }
  if (layout.height > 0) {
    top = std::max<double>(top, layout.y);
    bottom = std::min<double>(bottom, double(layout.y) + layout.height);
  }
  return right > left && bottom > top;
}

} // namespace

Status Graphics::DrawString(std::u16string_view text, const Font& font, const RectF& layout, const Brush& brush) {
  if (text.empty()) {
    return Record(Status::Ok);
  }
  if (Status status = BeginDrawing(); status != Status::Ok) {
    return Record(status);
  }
  PlacedText placed;
  if (Status status = PlaceText(text, font, placed); status != Status::Ok) {
    return Record(status);
  }
  return Composite([&](cairo_t* cairo) {
    UseBrush(brush);
    ClipToLayout(layout);
    cairo_set_scaled_font(cairo, placed.font);
    for (size_t index = 0; index < placed.lines->size(); ++index) {
      const detail::TextLine& line = (*placed.lines)[index];
      if (line.glyphs.empty()) {
        continue;
      }
      cairo_save(cairo);
      cairo_translate(cairo, layout.x + placed.padding, layout.y + placed.ascent + double(index) * placed.lineHeight);
      cairo_show_glyphs(cairo, line.glyphs.data(), static_cast<int>(line.glyphs.size()));
      cairo_restore(cairo);
    }
  });
}

Status Graphics::MeasureString(std::u16string_view text, const Font& font, const RectF& layout, RectF& bounds) {
  if (text.empty()) {
    bounds = {layout.x, layout.y, 0, 0};
    return Record(Status::Ok);
  }
  PlacedText placed;
  if (Status status = PlaceText(text, font, placed); status != Status::Ok) {
    return Record(status);
  }
  double widest = 0;
  for (const detail::TextLine& line : *placed.lines) {
    widest = std::max(widest, line.unitX.back());
  }
  double left = layout.x;
  double top = layout.y;
  double right = left + 2 * placed.padding + widest;
  double bottom = top + double(placed.lines->size()) * placed.lineHeight;
  if (!ClipBoxToLayout(layout, left, top, right, bottom)) {
    right = left;
    bottom = top;
  }
  bounds = {float(left), float(top), float(right - left), float(bottom - top)};
  return Record(Status::Ok);
}

Status Graphics::MeasureCharacterRanges(std::u16string_view text, const Font& font, const RectF& layout,
                                        std::span<const CharacterRange> ranges, std::span<RectF> bounds) {
  if (bounds.size() < ranges.size()) {
    return Record(Status::InvalidParameter);
  }
  for (const CharacterRange& range : ranges) {
    if (range.first < 0 || range.length < 0 || size_t(range.first) + size_t(range.length) > text.size()) {
      return Record(Status::InvalidParameter);
    }
  }
  PlacedText placed;
  if (!text.empty()) {
    if (Status status = PlaceText(text, font, placed); status != Status::Ok) {
      return Record(status);
    }
  }
  for (size_t index = 0; index < ranges.size(); ++index) {
    const size_t first = size_t(ranges[index].first);
    const size_t end = first + size_t(ranges[index].length);
    bool any = false;
    double unionLeft = 0, unionTop = 0, unionRight = 0, unionBottom = 0;
    const size_t lineCount = placed.lines != nullptr ? placed.lines->size() : 0; // none for an empty text
    for (size_t lineIndex = 0; lineIndex < lineCount; ++lineIndex) {
      const detail::TextLine& line = (*placed.lines)[lineIndex];
      const size_t from = std::max(first, line.firstUnit);
      const size_t to = std::min(end, line.endUnit);
      if (from >= to) {
        continue;
      }
      double left = layout.x + placed.padding + line.unitX[from - line.firstUnit];
      double right = layout.x + placed.padding + line.unitX[to - line.firstUnit];
      double top = layout.y + double(lineIndex) * placed.lineHeight;
      double bottom = top + placed.lineHeight;
      if (!ClipBoxToLayout(layout, left, top, right, bottom)) {
        continue;
      }
      if (!any) {
        unionLeft = left, unionTop = top, unionRight = right, unionBottom = bottom;
        any = true;
      } else {
        unionLeft = std::min(unionLeft, left);
        unionTop = std::min(unionTop, top);
        unionRight = std::max(unionRight, right);
        unionBottom = std::max(unionBottom, bottom);
      }
    }
    bounds[index] =
        any ? RectF{float(unionLeft), float(unionTop), float(unionRight - unionLeft), float(unionBottom - unionTop)}
            : RectF{};
  }
  return Record(Status::Ok);
}

} // namespace QZ::Platform::Graphics
