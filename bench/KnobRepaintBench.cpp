// What a click on the controller picture costs to show: the user clicks knob 3's button,
// then knob 4's, in turn, in the real editor's main window ("Skin1", 96 dots per inch, the
// program's own skin, string tables and images, headless: Support/HeadlessEditor.h), and the
// window repaints what each click changed, its dirty region only. Timed: the window's paint
// messages after each click (the tree painted by the renderer into the window's pixels, then
// presented); not timed: the input, the notifications and the idle passes around them.
// Against raw Cairo filling the same dirty rectangles, frame by frame, on an image surface
// of the window's size: the same pixels touched, each frame through a context of its own,
// as the renderer's frame is. Goal: at most 1.5x.
//
// A click's frames depend on when the engine's values reach the knob page (in the first
// frame or in one of their own), so the reference replays the frames the timed clicks
// presented, click by click (before any were timed, those of the settling clicks). Counters:
// frames, rectangles and thousands of pixels per click.

#include <SDL2/SDL.h>
#include <cairo.h>

#include <array>
#include <chrono>
#include <string>
#include <vector>

#include "Support/HeadlessEditor.h"
#include "Support/RatioReporter.h"

namespace {

using Frames = std::vector<std::vector<SDL_Rect>>;

constexpr char kKnobs[] = "viewDevice/tabControl/pageHolder/userPresetEditor/controlNavigation/knobGroup/";
// Clicks before any is timed: the first shows the knob page; the caches warm.
constexpr int kSettlingClicks = 6;

// The editor, its knobs' buttons, and the frames of every click after the first.
struct KnobClicks {
  QZBench::HeadlessEditor editor{"qz-knob-bench", 96};
  std::array<QZ::RCPtr<QZ::LControl>, 2> buttons; // knob 3's, knob 4's
  std::vector<Frames> clicks;
  std::string failure;

  KnobClicks() {
    if (!editor.Started()) {
      failure = editor.Failure();
      return;
    }
    buttons = {editor.Find(std::string(kKnobs) + "knob3/button"), editor.Find(std::string(kKnobs) + "knob4/button")};
    if (!buttons[0] || !buttons[1]) {
      failure = "the skin has no knob 3 or knob 4 button";
      return;
    }
    for (int click = 0; click < kSettlingClicks; ++click) {
      Frames frames = editor.Click(buttons[size_t(click % 2)]).frames;
      if (frames.empty()) {
        failure = "a click on a knob painted nothing";
        return;
      }
      if (click > 0) {
        clicks.push_back(std::move(frames));
      }
    }
  }
};

// Frames, rectangles and thousands of pixels per click, over the clicks from first on.
void SetCounters(benchmark::State& state, const std::vector<Frames>& clicks, size_t first) {
  double frames = 0;
  double rects = 0;
  double pixels = 0;
  for (size_t i = first; i < clicks.size(); ++i) {
    frames += double(clicks[i].size());
    for (const auto& frame : clicks[i]) {
      rects += double(frame.size());
      for (const SDL_Rect& rect : frame) {
        pixels += double(rect.w) * rect.h;
      }
    }
  }
  const double count = double(clicks.size() - first);
  state.counters["frames"] = frames / count;
  state.counters["rects"] = rects / count;
  state.counters["kpixels"] = pixels / count / 1000;
}

void EditorKnobRepaint(benchmark::State& state, KnobClicks& knobs) {
  if (!knobs.failure.empty()) {
    state.SkipWithError(knobs.failure.c_str());
    return;
  }
  const size_t first = knobs.clicks.size();
  // Every run goes on alternating where the last one stopped: a run that started again on
  // knob 3 after a run ending there would time a click that selects nothing new (one small
  // frame, a third of a click's paint), once a run, weighing most in the shortest runs.
  size_t next = (first + 1) % 2;
  for (auto _ : state) {
    QZBench::Repaint repaint = knobs.editor.Click(knobs.buttons[next]);
    state.SetIterationTime(repaint.seconds);
    if (repaint.paintedOutsideTheQueue) {
      state.SkipWithError("a frame was painted outside a paint message: its time is not counted");
      return;
    }
    knobs.clicks.push_back(std::move(repaint.frames));
    next = 1 - next;
  }
  SetCounters(state, knobs.clicks, first);
}

void RawCairoKnobFills(benchmark::State& state, const KnobClicks& knobs) {
  const QZ::SizeT<int32_t> size = knobs.failure.empty() ? knobs.editor.PixelSize() : QZ::SizeT<int32_t>{0, 0};
  if (size.width <= 0 || size.height <= 0) {
    state.SkipWithError(knobs.failure.empty() ? "the window has no pixels" : knobs.failure.c_str());
    return;
  }
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size.width, size.height);
  size_t next = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    for (const auto& frame : knobs.clicks[next]) {
      cairo_t* cairo = cairo_create(surface);
      cairo_set_antialias(cairo, CAIRO_ANTIALIAS_NONE);
      cairo_set_source_rgb(cairo, 0x3C / 255.0, 0x8D / 255.0, 0xBC / 255.0);
      for (const SDL_Rect& rect : frame) {
        cairo_rectangle(cairo, rect.x, rect.y, rect.w, rect.h);
        cairo_fill(cairo);
      }
      cairo_destroy(cairo);
      cairo_surface_flush(surface);
    }
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    next = (next + 1) % knobs.clicks.size();
  }
  SetCounters(state, knobs.clicks, 0);
  cairo_surface_destroy(surface);
}

} // namespace

int main(int argc, char** argv) {
  KnobClicks knobs;
  benchmark::RegisterBenchmark("BM_EditorKnobRepaint",
                               [&knobs](benchmark::State& state) { EditorKnobRepaint(state, knobs); })
      ->UseManualTime()
      ->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("BM_RawCairoKnobFills",
                               [&knobs](benchmark::State& state) { RawCairoKnobFills(state, knobs); })
      ->UseManualTime()
      ->Unit(benchmark::kMicrosecond);
  return QZBench::RunWithRatios(argc, argv, {{"BM_EditorKnobRepaint/manual_time", "BM_RawCairoKnobFills/manual_time"}});
}
