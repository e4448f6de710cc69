// Uncovering part of a window: a 1200 x 850 skinned window (a top control and a grid of 80
// controls) is told by the window system that a 300 x 200 part of it was uncovered (the
// expose with its rectangle that the X11 backend makes of the server's, then SDL's own),
// takes the events, and brings that part back to the window; against a bare SDL and Cairo
// program doing the same pixel work for the same part: copying it from the picture it keeps
// to the window's surface and updating that rectangle (goal: at most 1.5x). The same for an
// expose of the whole window (SDL's own alone), against the raw copy of the whole window,
// shows what the part saves.
//
// Both sides keep the window's picture as a surface of their own and repaint nothing they
// still hold. SDL's driver is the one SDL_VIDEODRIVER names, else the offscreen driver.

#include <SDL2/SDL.h>
#include <cairo.h>

#include "Platform/Window/VideoBackend.h"
#include "Support/BenchWindows.h"
#include "Support/ColourControls.h"
#include "Support/RatioReporter.h"

namespace {

namespace Win = QZ::Platform::Window;

constexpr int kWidth = 1200;
constexpr int kHeight = 850;
constexpr SDL_Rect kUncovered{300, 200, 300, 200};

// The skinned window's tree: a top control and a grid of 80 controls of many colours.
QZ::RCPtr<QZ::LControl> GridTree() {
  const QZ::RCPtr<QZ::LControl> top(
      new QZBench::FilledControl(nullptr, u"filled", {0, 0, kWidth, kHeight}, {0xFF2B3A47}));
  for (int i = 0; i < 80; ++i) {
    QZ::RCPtr<QZ::LControl>(new QZBench::FilledControl(top, u"filled", {20 + i % 10 * 115, 20 + i / 10 * 100, 100, 80},
                                                       {0xFF000000u | (i * 2654435761u >> 8)}));
  }
  return top;
}

SDL_Event Exposed(uint32_t window, const SDL_Rect* part) {
  SDL_Event event{};
  if (part) {
    event.window = Win::ExposedEvent(window, part->x, part->y, part->w, part->h);
  } else {
    event.window.type = SDL_WINDOWEVENT;
    event.window.windowID = window;
    event.window.event = SDL_WINDOWEVENT_EXPOSED;
  }
  return event;
}

void SkinnedWindowExposed(benchmark::State& state, bool part) {
  QZBench::SkinnedWindow skinned(state, kWidth, kHeight);
  if (!skinned.Ready()) {
    return;
  }
  skinned.Show(GridTree());
  const uint32_t id = skinned.Id();
  for (auto _ : state) {
    if (part) {
      SDL_Event exposed = Exposed(id, &kUncovered);
      SDL_PushEvent(&exposed);
    }
    SDL_Event own = Exposed(id, nullptr);
    SDL_PushEvent(&own);
    skinned.PumpUntilFrames(skinned.Frames() + 1);
  }
  state.counters["frames"] = double(skinned.Frames());
}

void RawSdlCairoExposed(benchmark::State& state, bool part) {
  QZBench::RawSdlWindow raw(state, kWidth, kHeight);
  if (!raw.Ready()) {
    return;
  }
  // The picture the program keeps, painted once.
  cairo_surface_t* back = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
  cairo_t* drawing = cairo_create(back);
  cairo_set_source_rgb(drawing, 0x2B / 255.0, 0x3A / 255.0, 0x47 / 255.0);
  cairo_paint(drawing);
  cairo_destroy(drawing);
  const uint32_t id = raw.Id();
  const SDL_Rect whole{0, 0, kWidth, kHeight};
  const SDL_Rect rect = part ? kUncovered : whole;
  int64_t frames = 0;
  for (auto _ : state) {
    SDL_Event own = Exposed(id, nullptr);
    SDL_PushEvent(&own);
    SDL_Event event;
    const int64_t until = frames + 1;
    while (frames < until && SDL_PollEvent(&event)) {
      if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_EXPOSED) {
        cairo_t* copy = cairo_create(raw.Screen());
        cairo_set_operator(copy, CAIRO_OPERATOR_SOURCE);
        cairo_set_source_surface(copy, back, 0, 0);
        cairo_rectangle(copy, rect.x, rect.y, rect.w, rect.h);
        cairo_fill(copy);
        cairo_destroy(copy);
        cairo_surface_flush(raw.Screen());
        SDL_UpdateWindowSurfaceRects(raw.Window(), &rect, 1);
        ++frames;
      }
    }
  }
  state.counters["frames"] = double(frames);
  cairo_surface_destroy(back);
}

void BM_SkinnedWindowUncoveredPart(benchmark::State& state) { SkinnedWindowExposed(state, true); }
void BM_RawSdlCairoUncoveredPart(benchmark::State& state) { RawSdlCairoExposed(state, true); }
void BM_SkinnedWindowExposedWhole(benchmark::State& state) { SkinnedWindowExposed(state, false); }
void BM_RawSdlCairoExposedWhole(benchmark::State& state) { RawSdlCairoExposed(state, false); }
BENCHMARK(BM_SkinnedWindowUncoveredPart)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RawSdlCairoUncoveredPart)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SkinnedWindowExposedWhole)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RawSdlCairoExposedWhole)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
  return QZBench::RunWithRatios(argc, argv,
                                {{"BM_SkinnedWindowUncoveredPart", "BM_RawSdlCairoUncoveredPart"},
                                 {"BM_SkinnedWindowExposedWhole", "BM_RawSdlCairoExposedWhole"},
                                 {"BM_SkinnedWindowUncoveredPart", "BM_RawSdlCairoExposedWhole"}});
}
