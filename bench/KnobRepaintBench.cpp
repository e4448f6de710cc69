// What a click on the controller picture costs to show: the user clicks knob 3's button,
// then knob 4's, in turn, in the real editor's main window ("Skin1", 96 dots per inch, the
// program's own skin, string tables and images, headless: Support/HeadlessEditor.h), and the
// window repaints what each click changed, its dirty region only. Timed: the window's paint
// messages after each click (the tree painted by the renderer into the window's pixels, then
// presented); not timed: the input, the notifications and the idle passes around them.
//
// Against raw Cairo drawing the same pictures into the same dirty rectangles, frame by
// frame, each frame through a context of its own on an image surface of the window's size,
// as the renderer's frame is. What each frame drew was recorded before anything was timed
// (Support/PaintRecorder.h): the window's tree painted into the frame's rectangles again,
// right after the frame, through a renderer that logs each drawing in window pixels with its
// clip. Raw Cairo then draws, timed, every bitmap (the images' premultiplied pixels, copied
// once; a bitmap fitted to another size from a copy Cairo scaled once, as the renderer keeps
// its scaled copies; where the pixels a bitmap draws are all one opaque colour, a fill of
// that colour, as the renderer draws a bitmap of one colour), every text (the renderer's font face
// at the same em size, colour and pen position, clipped, cairo_show_text looking its glyphs
// up) and every solid fill (Support/CairoReplay.h). The recorder knows no other kind of
// drawing: any other that reaches a dirty rectangle stops the benchmark with an error.
// Goal: at most 1.5x.
//
// The replay is checked before timing: each recorded click's frames drawn over a copy of
// the window's pixels from before the click must leave, inside the dirty rectangles, the
// pixels the editor's window holds after it, all but 1 % within 2 per channel (text
// antialiasing may differ slightly); the figures go to the console.
//
// A click's frames depend on when the engine's values reach the knob page (in the first
// frame or in one of their own), so the reference replays, click by click, the frames the
// timed clicks presented (before any were timed, those of the settling clicks), each from
// the recorded click on the same knob that presented the same rectangles; a timed click
// whose rectangles no such recorded click presented is an error. Counters: frames, rectangles, thousands of pixels,
// fills, bitmaps and texts per click.

#include <SDL2/SDL.h>
#include <cairo.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "Support/CairoReplay.h"
#include "Support/HeadlessEditor.h"
#include "Support/PaintRecorder.h"
#include "Support/RatioReporter.h"

namespace {

using Frames = std::vector<std::vector<SDL_Rect>>;

constexpr char kKnobs[] = "viewDevice/tabControl/pageHolder/userPresetEditor/controlNavigation/knobGroup/";
// Clicks before any is timed: the first shows the knob page; the caches warm. The others
// are recorded.
constexpr int kSettlingClicks = 6;
// The replay passes when this share of the dirty rectangles' pixels is within kTolerance
// per channel of the editor's.
constexpr double kRequiredShare = 0.99;
constexpr int kTolerance = 2;

bool SameFrames(const Frames& a, const Frames& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
    return std::equal(x.begin(), x.end(), y.begin(), y.end(), [](const SDL_Rect& r, const SDL_Rect& s) {
      return r.x == s.x && r.y == s.y && r.w == s.w && r.h == s.h;
    });
  });
}

// A click: the knob whose button it pressed (0: knob 3), and the rectangles of its frames.
struct Click {
  size_t knob = 0;
  Frames frames;
};

// A click's frames as recorded, and as raw Cairo draws them.
struct RecordedClick {
  Click click;
  std::vector<QZBench::RecordedFrame> recorded;
  std::vector<QZBench::CairoReplay::Frame> replay;
  double fills = 0;
  double bitmaps = 0;
  double texts = 0;
};

// How the replay of the recorded clicks matched the editor's pixels.
struct PixelMatch {
  int64_t pixels = 0;
  int64_t exact = 0;
  int64_t withinTolerance = 0;
  int worst = 0; // the largest difference of a channel
};

// An image surface holding a copy of the window's pixels.
cairo_surface_t* CopyOf(const QZ::Platform::Window::WindowPixels& window) {
  cairo_surface_t* copy = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, window.width, window.height);
  cairo_surface_flush(copy);
  unsigned char* data = cairo_image_surface_get_data(copy);
  const int stride = cairo_image_surface_get_stride(copy);
  for (int32_t row = 0; row < window.height; ++row) {
    std::memcpy(data + ptrdiff_t(row) * stride,
                static_cast<const unsigned char*>(window.pixels) + ptrdiff_t(row) * window.pitch,
                size_t(window.width) * 4);
  }
  cairo_surface_mark_dirty(copy);
  return copy;
}

// Compares the surface with the window's pixels inside the rectangles.
void Compare(cairo_surface_t* surface, const QZ::Platform::Window::WindowPixels& window,
             const std::vector<SDL_Rect>& rects, PixelMatch& match) {
  cairo_surface_flush(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  for (const SDL_Rect& rect : rects) {
    for (int y = rect.y; y < rect.y + rect.h; ++y) {
      const auto* replayed = reinterpret_cast<const uint32_t*>(data + ptrdiff_t(y) * stride);
      const auto* editor = reinterpret_cast<const uint32_t*>(static_cast<const unsigned char*>(window.pixels) +
                                                             ptrdiff_t(y) * window.pitch);
      for (int x = rect.x; x < rect.x + rect.w; ++x) {
        int largest = 0;
        for (int shift = 0; shift < 32; shift += 8) {
          largest = std::max(largest, std::abs(int((replayed[x] >> shift) & 0xFF) - int((editor[x] >> shift) & 0xFF)));
        }
        ++match.pixels;
        match.exact += largest == 0;
        match.withinTolerance += largest <= kTolerance;
        match.worst = std::max(match.worst, largest);
      }
    }
  }
}

// The editor, its knobs' buttons, the frames of every click after the first, and the
// recordings of the settling clicks after the first.
struct KnobClicks {
  QZBench::HeadlessEditor editor{"qz-knob-bench", 96};
  std::array<QZ::RCPtr<QZ::LControl>, 2> buttons; // knob 3's, knob 4's
  std::vector<Click> clicks;
  std::vector<std::unique_ptr<RecordedClick>> recorded;
  QZBench::CairoReplay replay;
  PixelMatch match;
  int64_t changed = 0; // pixels of the dirty rectangles the clicks changed
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
    const QZ::RCPtr<QZ::LRootWindow> root = editor.RootWindow();
    const QZ::RCPtr<QZBench::PaintRecorder> recorder(new QZBench::PaintRecorder(root->GetRenderer()));
    for (int click = 0; click < kSettlingClicks && failure.empty(); ++click) {
      if (click == 0) {
        if (editor.Click(buttons[0]).frames.empty()) {
          failure = "a click on a knob painted nothing";
        }
        continue;
      }
      auto recording = std::make_unique<RecordedClick>();
      cairo_surface_t* replayed = CopyOf(editor.Pixels());
      editor.afterEachFrame = [&](const std::vector<SDL_Rect>& rects) {
        recording->recorded.push_back(recorder->Record(*root, rects));
      };
      const size_t knob = size_t(click % 2);
      Frames frames = editor.Click(buttons[knob]).frames;
      editor.afterEachFrame = nullptr;
      Check(*recording, frames, replayed);
      cairo_surface_destroy(replayed);
      recording->click = {knob, std::move(frames)};
      clicks.push_back(recording->click);
      recorded.push_back(std::move(recording));
    }
    if (failure.empty() && double(match.withinTolerance) < kRequiredShare * double(match.pixels)) {
      failure = "raw Cairo's replay does not draw the editor's pixels";
    }
  }

  // The recorded click on the same knob that presented the same rectangles; null when none
  // did.
  const RecordedClick* RecordingOf(const Click& click) const {
    for (const auto& recording : recorded) {
      if (recording->click.knob == click.knob && SameFrames(recording->click.frames, click.frames)) {
        return recording.get();
      }
    }
    return nullptr;
  }

private:
  // Prepares the replay of a click's recorded frames, draws them over the pixels from
  // before the click and compares with the window's.
  void Check(RecordedClick& click, const Frames& frames, cairo_surface_t* replayed) {
    if (frames.empty() || click.recorded.size() != frames.size()) {
      failure = "a click on a knob painted nothing, or a frame was not recorded";
      return;
    }
    std::vector<SDL_Rect> dirty;
    for (const auto& frame : frames) {
      dirty.insert(dirty.end(), frame.begin(), frame.end());
    }
    // Rectangles of later frames may cover earlier ones: each pixel is compared once.
    dirty = Disjoint(dirty);
    PixelMatch before;
    Compare(replayed, editor.Pixels(), dirty, before);
    changed += before.pixels - before.exact;
    bool prepared = true;
    for (const QZBench::RecordedFrame& frame : click.recorded) {
      if (!frame.unsupported.empty()) {
        failure = "a frame drew a kind of drawing the reference cannot replay: " + frame.unsupported.front();
        return;
      }
      for (const QZBench::Primitive& primitive : frame.primitives) {
        click.fills += primitive.kind == QZBench::Primitive::Kind::Fill;
        click.bitmaps += primitive.kind == QZBench::Primitive::Kind::Bitmap;
        click.texts += primitive.kind == QZBench::Primitive::Kind::Text;
      }
      click.replay.push_back(replay.Prepare(frame, prepared));
      replay.Draw(replayed, click.replay.back());
    }
    if (!prepared) {
      failure = "an image of the skin has no pixels to copy";
      return;
    }
    Compare(replayed, editor.Pixels(), dirty, match);
  }

  // The rectangles cut into pieces that do not overlap.
  static std::vector<SDL_Rect> Disjoint(const std::vector<SDL_Rect>& rects) {
    QZ::RectListT<int32_t> region;
    for (const SDL_Rect& rect : rects) {
      region.AddRect({rect.x, rect.y, rect.x + rect.w, rect.y + rect.h});
    }
    std::vector<SDL_Rect> pieces;
    for (const QZ::EdgeRect& piece : region) {
      pieces.push_back({piece.left, piece.top, piece.right - piece.left, piece.bottom - piece.top});
    }
    return pieces;
  }
};

// Frames, rectangles, thousands of pixels, fills, bitmaps and texts per click, over the
// clicks from first on.
void SetCounters(benchmark::State& state, const KnobClicks& knobs, size_t first) {
  double frames = 0;
  double rects = 0;
  double pixels = 0;
  double fills = 0;
  double bitmaps = 0;
  double texts = 0;
  for (size_t i = first; i < knobs.clicks.size(); ++i) {
    frames += double(knobs.clicks[i].frames.size());
    for (const auto& frame : knobs.clicks[i].frames) {
      rects += double(frame.size());
      for (const SDL_Rect& rect : frame) {
        pixels += double(rect.w) * rect.h;
      }
    }
    if (const RecordedClick* recorded = knobs.RecordingOf(knobs.clicks[i])) {
      fills += recorded->fills;
      bitmaps += recorded->bitmaps;
      texts += recorded->texts;
    }
  }
  const double count = double(knobs.clicks.size() - first);
  state.counters["frames"] = frames / count;
  state.counters["rects"] = rects / count;
  state.counters["kpixels"] = pixels / count / 1000;
  state.counters["fills"] = fills / count;
  state.counters["bitmaps"] = bitmaps / count;
  state.counters["texts"] = texts / count;
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
    knobs.clicks.push_back({next, std::move(repaint.frames)});
    next = 1 - next;
  }
  SetCounters(state, knobs, first);
}

void RawCairoKnobDrawing(benchmark::State& state, const KnobClicks& knobs) {
  const QZ::SizeT<int32_t> size = knobs.failure.empty() ? knobs.editor.PixelSize() : QZ::SizeT<int32_t>{0, 0};
  if (size.width <= 0 || size.height <= 0) {
    state.SkipWithError(knobs.failure.empty() ? "the window has no pixels" : knobs.failure.c_str());
    return;
  }
  std::vector<const RecordedClick*> sequence;
  for (const Click& click : knobs.clicks) {
    sequence.push_back(knobs.RecordingOf(click));
    if (!sequence.back()) {
      state.SkipWithError("a timed click presented rectangles no recorded click on its knob presented");
      return;
    }
  }
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size.width, size.height);
  size_t next = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    for (const QZBench::CairoReplay::Frame& frame : sequence[next]->replay) {
      knobs.replay.Draw(surface, frame);
    }
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    next = (next + 1) % sequence.size();
  }
  SetCounters(state, knobs, 0);
  cairo_surface_destroy(surface);
}

} // namespace

int main(int argc, char** argv) {
  KnobClicks knobs;
  if (knobs.match.pixels > 0) {
    std::printf("Raw Cairo's replay of %zu recorded clicks against the editor's pixels: %lld pixels (%lld changed by "
                "the clicks), %.3f %% equal, %.3f %% within %d per channel, largest difference %d\n",
                knobs.recorded.size(), static_cast<long long>(knobs.match.pixels),
                static_cast<long long>(knobs.changed), 100.0 * double(knobs.match.exact) / double(knobs.match.pixels),
                100.0 * double(knobs.match.withinTolerance) / double(knobs.match.pixels), kTolerance,
                knobs.match.worst);
  }
  benchmark::RegisterBenchmark("BM_EditorKnobRepaint",
                               [&knobs](benchmark::State& state) { EditorKnobRepaint(state, knobs); })
      ->UseManualTime()
      ->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("BM_RawCairoKnobDrawing",
                               [&knobs](benchmark::State& state) { RawCairoKnobDrawing(state, knobs); })
      ->UseManualTime()
      ->Unit(benchmark::kMicrosecond);
  return QZBench::RunWithRatios(argc, argv,
                                {{"BM_EditorKnobRepaint/manual_time", "BM_RawCairoKnobDrawing/manual_time"}});
}
