// One full repaint of a control tree of 1,001 controls (a root, 40 panels of 24 children),
// each with one look whose client part is a colour fill, painted by Paint through
// LGDIRenderer with a full-window update region into a 1,100 x 700 offscreen context,
// against raw Cairo filling the same 1,001 rectangles with the same colours (cairo_rectangle
// and cairo_fill) into an image surface of the same size and format. A third figure, the
// renderer filling the same rectangles without the tree, shows how much of the ratio is the
// renderer's own.
//
// Same work, same guarantees: every side fills the same rectangles in the same order and
// must leave the same pixels (checked after the first frame; a side that does not is not
// measured). The renderer's sides also keep what a full-window frame promises: surfaces
// made fresh and transparent first, every fill inside the clip in force. Its drawing layer
// writes opaque rectangles on whole pixels straight into the surface's memory, where raw
// Cairo goes through its path and compositing machinery: that is why the renderer alone
// can beat raw Cairo here.
//
// Each side draws one frame before timing starts (surfaces made, caches warm), and each
// frame is one out-of-line function, so that an instruction-counting profiler can
// compare the sides frame by frame (valgrind --tool=callgrind
// --toggle-collect='*BM_RawCairoFills*lambda*').

#include <cairo.h>

#include <cstring>
#include <vector>

#include "QZFramework/ControlBase/Control.h"
#include "QZFramework/Renderer/AutoClip.h"
#include "QZFramework/Renderer/Gdi/GDIRenderer.h"
#include "Support/ColourControls.h"
#include "Support/RatioReporter.h"

namespace {

constexpr int32_t kWidth = 1100;
constexpr int32_t kHeight = 700;
constexpr int32_t kPanelColumns = 8;
constexpr int32_t kPanelRows = 5;
constexpr int32_t kChildColumns = 4;
constexpr int32_t kChildRows = 6;

struct Fill {
  QZ::RectT<int32_t> rect; // window coordinates
  uint32_t argb;
};

uint32_t ColourOf(int32_t index) { return 0xFF000000u | uint32_t(index * 2654435761u) >> 8; }

struct Tree {
  QZ::RCPtr<QZ::LControl> root;
  std::vector<Fill> fills;
};

Tree MakeTree() {
  Tree tree;
  int32_t index = 0;
  const QZ::RectT<int32_t> whole{0, 0, kWidth, kHeight};
  tree.root = QZ::RCPtr<QZ::LControl>(new QZBench::FilledControl(nullptr, u"root", whole, {ColourOf(index)}));
  tree.fills.push_back({whole, ColourOf(index++)});
  const int32_t panelWidth = kWidth / kPanelColumns;
  const int32_t panelHeight = kHeight / kPanelRows;
  for (int32_t p = 0; p < kPanelColumns * kPanelRows; ++p) {
    const QZ::RectT<int32_t> panelRect{2 + p % kPanelColumns * panelWidth, p / kPanelColumns * panelHeight, panelWidth,
                                       panelHeight};
    const QZ::RCPtr<QZ::LControl> panel(
        new QZBench::FilledControl(tree.root, QZ::WString::Format(u"panel%d", p), panelRect, {ColourOf(index)}));
    tree.fills.push_back({panelRect, ColourOf(index++)});
    for (int32_t c = 0; c < kChildColumns * kChildRows; ++c) {
      const QZ::RectT<int32_t> childRect{4 + c % kChildColumns * 33, 4 + c / kChildColumns * 22, 30, 20};
      QZ::RCPtr<QZ::LControl>(
          new QZBench::FilledControl(panel, QZ::WString::Format(u"child%d", c), childRect, {ColourOf(index)}));
      tree.fills.push_back({{panelRect.x + childRect.x, panelRect.y + childRect.y, childRect.width, childRect.height},
                            ColourOf(index++)});
    }
  }
  return tree;
}

// Raw Cairo's side: the fills one after another, as Cairo fills rectangles.
void CairoFills(cairo_surface_t* surface, const Tree& tree) {
  cairo_t* cairo = cairo_create(surface);
  cairo_set_antialias(cairo, CAIRO_ANTIALIAS_NONE);
  for (const Fill& fill : tree.fills) {
    cairo_set_source_rgba(cairo, ((fill.argb >> 16) & 0xFF) / 255.0, ((fill.argb >> 8) & 0xFF) / 255.0,
                          (fill.argb & 0xFF) / 255.0, (fill.argb >> 24) / 255.0);
    cairo_rectangle(cairo, fill.rect.x, fill.rect.y, fill.rect.width, fill.rect.height);
    cairo_fill(cairo);
  }
  cairo_destroy(cairo);
  cairo_surface_flush(surface);
}

// Whether a renderer's frame left exactly the pixels raw Cairo leaves (every colour is
// opaque, so straight and premultiplied pixels are the same words): the sides did the same
// work.
bool LeavesCairosPixels(const QZ::RCPtr<QZ::LRenderContextInfo>& context, const Tree& tree) {
  cairo_surface_t* reference = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
  CairoFills(reference, tree);
  QZ::Platform::Graphics::Image& drawn =
      *static_cast<QZ::LGDIRenderContextInfo&>(*context).GetCurrentSurface()->GetImage();
  QZ::Platform::Graphics::BitmapData pixels;
  bool same = drawn.LockBits({0, 0, kWidth, kHeight}, QZ::Platform::Graphics::LockMode::Read, pixels) ==
              QZ::Platform::Graphics::Status::Ok;
  for (int32_t y = 0; same && y < kHeight; ++y) {
    same =
        std::memcmp(pixels.Scan0() + ptrdiff_t(y) * pixels.Stride(),
                    cairo_image_surface_get_data(reference) + ptrdiff_t(y) * cairo_image_surface_get_stride(reference),
                    size_t(kWidth) * 4) == 0;
  }
  (void)drawn.UnlockBits(pixels); // WrongState only for a failed lock
  cairo_surface_destroy(reference);
  return same;
}

void BM_ControlTreePaint(benchmark::State& state) {
  const Tree tree = MakeTree();
  QZ::RCPtr<QZ::LRenderer> renderer(new QZ::LGDIRenderer);
  QZ::RCPtr<QZ::LRenderContextInfo> context;
  (void)renderer->InitRenderContextInfo({0, 0, kWidth, kHeight}, nullptr, true, context); // offscreen: cannot fail
  context->GetUpdateRegion().AddRect({0, 0, kWidth, kHeight});
  auto repaint = [&]() __attribute__((noinline)) {
    renderer->RenderStart(context);
    {
      QZ::CAutoClip window(renderer, {0, 0, kWidth, kHeight}, {0, 0, kWidth, kHeight}, nullptr);
      QZ::RCPtrArray<QZ::LControl, 1, 0> deferred;
      tree.root->Paint(renderer, context->GetUpdateRegion(), deferred, false); // the pixels are checked below
    }
    renderer->RenderFinish(context);
  };
  repaint();
  if (!LeavesCairosPixels(context, tree)) {
    state.SkipWithError("the tree's pixels are not raw Cairo's");
  }
  for (auto _ : state) {
    repaint();
  }
  state.counters["controls"] = double(tree.fills.size());
  tree.root->Detach();
}
BENCHMARK(BM_ControlTreePaint)->Unit(benchmark::kMillisecond);

void BM_RawCairoFills(benchmark::State& state) {
  const Tree tree = MakeTree();
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
  auto repaint = [&]() __attribute__((noinline)) { CairoFills(surface, tree); };
  repaint();
  for (auto _ : state) {
    repaint();
  }
  state.counters["controls"] = double(tree.fills.size());
  cairo_surface_destroy(surface);
  tree.root->Detach();
}
BENCHMARK(BM_RawCairoFills)->Unit(benchmark::kMillisecond);

// The renderer alone drawing the same fills, without the tree: the share of the ratio that
// is the renderer's own.
void BM_GDIRendererFills(benchmark::State& state) {
  const Tree tree = MakeTree();
  QZ::RCPtr<QZ::LRenderer> renderer(new QZ::LGDIRenderer);
  QZ::RCPtr<QZ::LRenderContextInfo> context;
  (void)renderer->InitRenderContextInfo({0, 0, kWidth, kHeight}, nullptr, true, context); // offscreen: cannot fail
  context->GetUpdateRegion().AddRect({0, 0, kWidth, kHeight});
  auto repaint = [&]() __attribute__((noinline)) {
    renderer->RenderStart(context);
    for (const Fill& fill : tree.fills) {
      renderer->FillRect(fill.rect, QZ::ColorT<float>::FromARGB(fill.argb), true); // the pixels are checked below
    }
    renderer->RenderFinish(context);
  };
  repaint();
  if (!LeavesCairosPixels(context, tree)) {
    state.SkipWithError("the renderer's pixels are not raw Cairo's");
  }
  for (auto _ : state) {
    repaint();
  }
  state.counters["controls"] = double(tree.fills.size());
  tree.root->Detach();
}
BENCHMARK(BM_GDIRendererFills)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
  return QZBench::RunWithRatios(
      argc, argv, {{"BM_ControlTreePaint", "BM_RawCairoFills"}, {"BM_GDIRendererFills", "BM_RawCairoFills"}});
}
