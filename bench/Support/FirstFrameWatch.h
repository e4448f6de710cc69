#pragma once
// When a program's first frame is on the X server, seen from outside the program: the same
// test for every program, so that the start-up figures of the editor and of its reference
// are taken alike and the program needs no hook of its own.
//
//   QZBench::FirstFrameWatch watch(1200, 850);          // before the program starts
//   QZBench::RunningProgram program(argv, environment);
//   const auto shown = watch.WaitForFirstFrame(program.Pid(), std::chrono::seconds(30),
//                                              [&](auto time) { program.ReadFor(time); });
//   if (shown) {
//     double seconds = std::chrono::duration<double>(*shown - program.Started()).count();
//   }
//
// The window is the top-level window of that process (its _NET_WM_PID, on the window or, under
// a window manager, on a child of its frame) of exactly width x height, so a splash window of
// another size is passed over. Its first frame is there when a band of its top kBandRows
// rows, across its width as far as the screen shows it, holds more than one colour and differs
// from what the screen showed there before the watch began, and the band of its bottom
// kBandRows rows differs too (a frame copied to the server in several pieces has then come
// whole, top to bottom). A window without a background (as SDL makes them) shows what was
// beneath it until the program paints. The top band holds the reference's line of text and
// the editor's menu bar.
//
// The bands are read with XGetImage every kPollInterval once the window is mapped (the tree is
// looked at when the root's children change, and every 5 ms). The time answered is when the
// look that showed the frame began: the frame came at most one interval plus two reads before
// it, or at most two reads after it (a read takes about 0.6 ms at 1200 x 32 pixels and 1.4 ms
// at 2400 x 32 on Xvfb). A finer interval would take the X server, which the program also waits
// on, from the program.
//
// Uses DISPLAY; one thread. X errors of the watch's own connection (a window gone between two
// requests) are ignored while it waits.

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace QZBench {

class FirstFrameWatch {
public:
  static constexpr int kBandRows = 32;
  static constexpr auto kPollInterval = std::chrono::milliseconds(1);

  // Connects to the X server, listens for the root's children being mapped and resized, and
  // keeps the screen's pixels as they are now.
  FirstFrameWatch(int width, int height);
  ~FirstFrameWatch();
  FirstFrameWatch(const FirstFrameWatch&) = delete;
  FirstFrameWatch& operator=(const FirstFrameWatch&) = delete;

  // Whether the X server could be reached and its screen read.
  bool Ready() const;

  // Waits until the first frame of pid's window is on the server; the time it was seen, or
  // none when limit passed first, the process ended or the watch is not ready. Between two
  // looks it calls meanwhile, when given, with the time to spend (at most kPollInterval), so
  // that the caller can read the program's output as it comes (RunningProgram::ReadFor).
  std::optional<std::chrono::steady_clock::time_point>
  WaitForFirstFrame(pid_t pid, std::chrono::steady_clock::duration limit,
                    const std::function<void(std::chrono::steady_clock::duration)>& meanwhile = {});

private:
  struct State;
  std::unique_ptr<State> mState;
};

} // namespace QZBench
