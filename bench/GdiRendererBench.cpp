// One full repaint of a skinned-window-like scene of 1100 x 700 pixels: 300 bitmaps of the
// editor's sizes (mostly at their own size, some stretched, some tiled), 150 text runs and
// 300 filled rectangles (a third of them translucent), through LGDIRenderer into a window
// pixel buffer, against raw Cairo drawing the same primitives into an offscreen surface
// and copying it to the same buffer. Both start warm: fitted bitmaps and fonts are made
// by the first repaint, as in a running editor.

#include <cairo.h>

#include <random>
#include <string>
#include <vector>

#include "QZFramework/Renderer/Gdi/GDIRenderer.h"
#include "QZFramework/Utilities/Graphics/Font.h"
#include "Support/RatioReporter.h"

namespace {

constexpr int32_t kWidth = 1100;
constexpr int32_t kHeight = 700;

struct BitmapItem {
  int32_t bitmap; // index into the scene's bitmaps
  QZ::RectT<int32_t> destination;
  QZ::ResizeType resize;
};
struct TextItem {
  std::u16string text;
  float size; // points
  QZ::PointT<double> position;
  uint32_t argb;
};
struct FillItem {
  QZ::RectT<int32_t> rect;
  uint32_t argb;
};

struct Scene {
  std::vector<QZ::RCPtr<QZ::LBitmap>> bitmaps;
  std::vector<BitmapItem> bitmapItems;
  std::vector<TextItem> texts;
  std::vector<FillItem> fills;
};

const Scene& TheScene() {
  static const Scene scene = [] {
    Scene made;
    std::mt19937 engine(20240611);
    // Knobs, pads, buttons, slider caps and tracks, icons, LEDs, panel pieces.
    const QZ::SizeT<int32_t> sizes[] = {{40, 40}, {52, 52}, {64, 22},  {18, 36}, {16, 120},
                                        {16, 16}, {10, 10}, {120, 24}, {200, 8}, {32, 32}};
    for (const QZ::SizeT<int32_t>& size : sizes) {
      const uint32_t base = uint32_t(engine()) | 0xFF000000u;
      made.bitmaps.push_back(QZ::LBitmap::CreateFilledBitmap(size, QZ::ColorT<float>::FromARGB(base)));
      QZ::RCPtr<QZ::LBitmapData> pixels(
          new QZ::LBitmapData(made.bitmaps.back(), QZ::Platform::Graphics::LockMode::ReadWrite));
      for (int32_t y = 0; y < size.height; ++y) {
        for (int32_t x = 0; x < size.width; ++x) {
          *pixels->GetPixelAddress(x, y) = (x + y) % 7 == 0 ? 0x80FFFFFFu : base - uint32_t(x * 3 + y);
        }
      }
    }
    std::uniform_int_distribution<int32_t> pickBitmap(0, int32_t(std::size(sizes)) - 1), x(0, kWidth - 60),
        y(0, kHeight - 40), pick(0, 9);
    for (int i = 0; i < 300; ++i) {
      const int32_t index = pickBitmap(engine);
      const QZ::SizeT<int32_t> size = sizes[index];
      const int32_t kind = pick(engine);
      if (kind < 7) {
        made.bitmapItems.push_back({index, {x(engine), y(engine), size.width, size.height}, QZ::ResizeType::Stretch});
      } else if (kind < 9) {
        made.bitmapItems.push_back(
            {index, {x(engine), y(engine), size.width * 3 / 2, size.height + 6}, QZ::ResizeType::Stretch});
      } else {
        made.bitmapItems.push_back({index, {x(engine), y(engine), 60, 40}, QZ::ResizeType::Tile});
      }
    }
    const char16_t* labels[] = {u"Preset 10", u"CC 74",  u"Channel 1", u"Arpeggiator",    u"Gate",        u"Swing 54%",
                                u"Pad 12",    u"Knob 3", u"Octave +1", u"Velocity Curve", u"Tempo 120.00"};
    std::uniform_int_distribution<int32_t> pickLabel(0, int32_t(std::size(labels)) - 1);
    for (int i = 0; i < 150; ++i) {
      made.texts.push_back({labels[pickLabel(engine)],
                            i % 3 == 0 ? 10.0f : 8.0f,
                            {double(x(engine)), double(y(engine) + 12)},
                            i % 2 ? 0xFF202020u : 0xFFE0E0E0u});
    }
    std::uniform_int_distribution<int32_t> side(4, 120);
    for (int i = 0; i < 300; ++i) {
      const uint32_t alpha = i % 3 ? 0xFF000000u : 0x60000000u;
      made.fills.push_back(
          {{x(engine), y(engine), side(engine), side(engine) / 2}, (uint32_t(engine()) & 0xFFFFFF) | alpha});
    }
    return made;
  }();
  return scene;
}

std::vector<uint32_t>& WindowPixels() {
  static std::vector<uint32_t> pixels(size_t(kWidth) * kHeight);
  return pixels;
}

void BM_GDIRendererRepaint(benchmark::State& state) {
  const Scene& scene = TheScene();
  QZ::RCPtr<QZ::LGDIRenderer> renderer(new QZ::LGDIRenderer);
  QZ::RCPtr<QZ::LRenderContextInfo> context;
  if (QZ::Failed(renderer->InitRenderContextInfo({0, 0, kWidth, kHeight}, nullptr, false, context))) {
    state.SkipWithError("no render context");
    return;
  }
  static_cast<QZ::LGDIRenderContextInfo&>(*context).SetWindowPixels(
      {WindowPixels().data(), kWidth, kHeight, kWidth * 4});
  context->GetUpdateRegion().AddRect({0, 0, kWidth, kHeight});
  std::vector<QZ::RCPtr<QZ::LFont>> fonts;
  std::vector<QZ::WString> texts;
  for (const TextItem& text : scene.texts) {
    fonts.push_back(QZ::LFont::GetFont(QZ::WString(u"Arial"), text.size, 0));
    texts.emplace_back(text.text.c_str());
  }
  // true when every call drew.
  auto repaint = [&] {
    bool drawn = renderer->RenderStart(context) == QZ::QZ_OK;
    for (const FillItem& fill : scene.fills) {
      drawn = renderer->FillRect(fill.rect, QZ::ColorT<float>::FromARGB(fill.argb), true) == QZ::QZ_OK && drawn;
    }
    for (const BitmapItem& item : scene.bitmapItems) {
      drawn =
          renderer->DrawBitmap(scene.bitmaps[size_t(item.bitmap)], item.destination, item.resize) == QZ::QZ_OK && drawn;
    }
    for (size_t i = 0; i < texts.size(); ++i) {
      drawn = renderer->DrawText(texts[i], *fonts[i], scene.texts[i].position,
                                 QZ::ColorT<float>::FromARGB(scene.texts[i].argb)) == QZ::QZ_OK &&
              drawn;
    }
    return renderer->RenderFinish(context) == QZ::QZ_OK && drawn;
  };
  if (!repaint()) {
    state.SkipWithError("the renderer did not draw the whole scene");
    return;
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(repaint());
  }
}
BENCHMARK(BM_GDIRendererRepaint)->Unit(benchmark::kMillisecond);

// --- The reference: the same primitives drawn with Cairo directly ----------------------

cairo_surface_t* PremultipliedCopy(const QZ::LBitmap& bitmap, int32_t width, int32_t height, QZ::ResizeType resize) {
  // The raw renderer fits each bitmap once, as the cached bitmaps do, with Cairo itself.
  const QZ::Platform::Graphics::Image& image = *bitmap.GetNativeBitmap();
  cairo_surface_t* source = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, image.Width(), image.Height());
  unsigned char* data = cairo_image_surface_get_data(source);
  const int stride = cairo_image_surface_get_stride(source);
  for (int32_t y = 0; y < image.Height(); ++y) {
    for (int32_t x = 0; x < image.Width(); ++x) {
      QZ::Platform::Graphics::Color color;
      (void)image.GetPixel(x, y, color); // inside the image
      const uint32_t a = color.A();
      const uint32_t word =
          a << 24 | (color.R() * a + 127) / 255 << 16 | (color.G() * a + 127) / 255 << 8 | (color.B() * a + 127) / 255;
      reinterpret_cast<uint32_t*>(data + y * stride)[x] = word;
    }
  }
  cairo_surface_mark_dirty(source);
  cairo_surface_t* fitted = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  cairo_t* cairo = cairo_create(fitted);
  cairo_pattern_t* pattern = cairo_pattern_create_for_surface(source);
  if (resize == QZ::ResizeType::Tile) {
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
  } else {
    cairo_matrix_t scale;
    cairo_matrix_init_scale(&scale, double(image.Width()) / width, double(image.Height()) / height);
    cairo_pattern_set_matrix(pattern, &scale);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
  }
  cairo_set_source(cairo, pattern);
  cairo_paint(cairo);
  cairo_pattern_destroy(pattern);
  cairo_destroy(cairo);
  cairo_surface_destroy(source);
  return fitted;
}

void SetColor(cairo_t* cairo, uint32_t argb) {
  cairo_set_source_rgba(cairo, ((argb >> 16) & 0xFF) / 255.0, ((argb >> 8) & 0xFF) / 255.0, (argb & 0xFF) / 255.0,
                        (argb >> 24) / 255.0);
}

cairo_scaled_font_t* ScaledFont(float points) {
  cairo_font_face_t* face =
      cairo_toy_font_face_create("Liberation Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_matrix_t size;
  cairo_matrix_t identity;
  cairo_matrix_init_scale(&size, points * 96.0 / 72.0, points * 96.0 / 72.0);
  cairo_matrix_init_identity(&identity);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
  cairo_scaled_font_t* font = cairo_scaled_font_create(face, &size, &identity, options);
  cairo_font_options_destroy(options);
  cairo_font_face_destroy(face);
  return font;
}

void BM_RawCairoRepaint(benchmark::State& state) {
  const Scene& scene = TheScene();
  std::vector<cairo_surface_t*> fitted;
  for (const BitmapItem& item : scene.bitmapItems) {
    fitted.push_back(PremultipliedCopy(*scene.bitmaps[size_t(item.bitmap)], item.destination.width,
                                       item.destination.height, item.resize));
  }
  std::vector<std::string> texts;
  for (const TextItem& text : scene.texts) {
    texts.emplace_back(QZ::WString(text.text.c_str()).ToUTF8().GetBuffer());
  }
  cairo_scaled_font_t* small = ScaledFont(8.0f);
  cairo_scaled_font_t* large = ScaledFont(10.0f);
  cairo_surface_t* offscreen = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
  cairo_surface_t* window = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(WindowPixels().data()),
                                                                CAIRO_FORMAT_ARGB32, kWidth, kHeight, kWidth * 4);
  for (auto _ : state) {
    cairo_t* cairo = cairo_create(offscreen);
    cairo_set_operator(cairo, CAIRO_OPERATOR_CLEAR);
    cairo_paint(cairo);
    cairo_set_operator(cairo, CAIRO_OPERATOR_OVER);
    cairo_set_antialias(cairo, CAIRO_ANTIALIAS_NONE);
    for (const FillItem& fill : scene.fills) {
      SetColor(cairo, fill.argb);
      cairo_rectangle(cairo, fill.rect.x, fill.rect.y, fill.rect.width, fill.rect.height);
      cairo_fill(cairo);
    }
    for (size_t i = 0; i < fitted.size(); ++i) {
      const QZ::RectT<int32_t>& to = scene.bitmapItems[i].destination;
      cairo_set_source_surface(cairo, fitted[i], to.x, to.y);
      cairo_rectangle(cairo, to.x, to.y, to.width, to.height);
      cairo_fill(cairo);
    }
    for (size_t i = 0; i < texts.size(); ++i) {
      const TextItem& text = scene.texts[i];
      cairo_set_scaled_font(cairo, text.size > 9 ? large : small);
      SetColor(cairo, text.argb);
      cairo_move_to(cairo, text.position.x, text.position.y + 12);
      cairo_show_text(cairo, texts[i].c_str());
    }
    cairo_destroy(cairo);
    cairo_surface_flush(offscreen);
    cairo_t* copy = cairo_create(window);
    cairo_set_operator(copy, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(copy, offscreen, 0, 0);
    cairo_paint(copy);
    cairo_destroy(copy);
    cairo_surface_flush(window);
  }
  cairo_surface_destroy(window);
  cairo_surface_destroy(offscreen);
  cairo_scaled_font_destroy(large);
  cairo_scaled_font_destroy(small);
  for (cairo_surface_t* surface : fitted) {
    cairo_surface_destroy(surface);
  }
}
BENCHMARK(BM_RawCairoRepaint)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
  return QZBench::RunWithRatios(argc, argv, {{"BM_GDIRendererRepaint", "BM_RawCairoRepaint"}});
}
