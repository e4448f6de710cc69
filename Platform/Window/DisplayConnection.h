#pragma once
// The display the window layer runs on: which drivers count as a display, why the layer
// did not start, and what happens when the display goes away while it runs.
//
//   SetDisplayLostHandler([](const std::string& display) { ...save settings, placement... });
//   if (!Startup()) {
//     std::fprintf(stderr, "%s\n", GetStartupFailure().c_str());   // names the display
//   }
//
// Real displays only. Where no display can be opened, SDL falls back to its "offscreen"
// driver, on which a program would run without a window anyone sees. The layer's SDL
// backend therefore refuses the "offscreen" and "dummy" drivers unless SDL_VIDEODRIVER
// names them (tests ask for them so), and Startup fails.
//
// A lost display: when the connection to the X server breaks (the server ended), Xlib's
// own handler would end the process through exit(), whose tear-down waits on the dead
// connection. The layer's handler instead turns every further call into the window
// system into nothing (windows answer from what the layer last knew of them, nothing is
// drawn or shown), runs the lost-display handler on the UI thread (without one, says so on
// standard error), and ends the process
// at once with kDisplayLostExitCode, running no destructor and touching the connection
// no more. A break met on another thread waits up to a second for the UI thread to meet
// it, then ends the process the same way.

#include <functional>
#include <string>
#include <string_view>

namespace QZ::Platform::Window {

// The exit code of a process whose display was lost.
inline constexpr int kDisplayLostExitCode = 1;

// Whether SDL's driver of this name draws nowhere a user sees: "offscreen", "dummy".
bool IsHeadlessVideoDriver(std::string_view driver);

// The display the layer opens: DISPLAY, else WAYLAND_DISPLAY; empty when neither is set.
std::string GetDisplayName();

// Why the last Startup failed, as one sentence naming the display (for example
// "The display \":199\" could not be opened."); empty after a Startup that succeeded.
// UI thread.
std::string GetStartupFailure();

// Runs on the UI thread when the display is lost, with the display's name; it may still
// use the layer (which answers without the window system) and must not throw. An empty
// function removes it. Set it on the UI thread.
using DisplayLostHandler = std::function<void(const std::string& display)>;
void SetDisplayLostHandler(DisplayLostHandler handler);

// Whether the display was lost. Any thread.
bool IsDisplayLost();

namespace Detail {
// The layer's own: Startup records its failure here ("" clears it).
void SetStartupFailure(std::string text);
// Watches the SDL driver's X connection, when the driver is "x11" (a second call
// changes nothing).
void WatchDisplayConnection(std::string_view driver);
// From now on the layer does without the window system: its backend is replaced by one
// that answers from what it last knew and does nothing else. UI thread.
void DoWithoutDisplay();
} // namespace Detail

} // namespace QZ::Platform::Window
