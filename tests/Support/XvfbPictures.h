#pragma once
// Waiting for what a window shows on the X server of the Xvfb fixture: its first frame, or
// a picture it is expected to show.
//
//   ASSERT_TRUE(QZTest::XWindowDrawn(display, dialog));             // no longer black
//   std::unique_ptr<QZ::Platform::Graphics::Image> shot;
//   ASSERT_TRUE(QZTest::XWindowComesToShow(display, main, rect, expected, 0, kWaitBound, shot));
//
// Include it last, in place of XvfbSupport.h: X11's macros (None, Bool, Status...) break
// headers included after it.

#include <chrono>
#include <memory>

#include "Platform/Graphics/Image.h"
#include "QZFramework/Utilities/Graphics/Geometry.h"
#include "Support/ImageCompare.h"
#include "Support/WaitUntil.h"
#include "Support/XvfbSupport.h"

namespace QZTest {

// The whole window as the X server shows it now (what was drawn synced first); null when
// the window is gone.
inline std::unique_ptr<QZ::Platform::Graphics::Image> XWholeWindowImage(Display* display, ::Window window) {
  XSync(display, False);
  XWindowAttributes attributes{};
  return XGetWindowAttributes(display, window, &attributes)
             ? XWindowImage(display, window, attributes.width, attributes.height)
             : nullptr;
}

// Whether the window has drawn itself within bound: until its first frame the server
// shows it black, so a picture taken before changes with that frame, whatever a click did.
inline bool XWindowDrawn(Display* display, ::Window window, std::chrono::milliseconds bound = kWaitBound) {
  return WaitUntil(
      [&] {
        const std::unique_ptr<QZ::Platform::Graphics::Image> shot = XWholeWindowImage(display, window);
        return shot && Painted(*shot);
      },
      bound);
}

// Whether rect of the window comes to look like expected on the X server (each channel
// within tolerance) within bound: what a step means, not any change. shot: the last
// picture taken.
inline bool XWindowComesToShow(Display* display, ::Window window, const QZ::RectT<int32_t>& rect,
                               QZ::Platform::Graphics::Image& expected, int tolerance, std::chrono::milliseconds bound,
                               std::unique_ptr<QZ::Platform::Graphics::Image>& shot) {
  return WaitUntil(
      [&] {
        XSync(display, False);
        shot = XWindowImage(display, window, rect.width, rect.height, rect.x, rect.y);
        return shot && ImagesAlike(*shot, expected, tolerance);
      },
      bound);
}

} // namespace QZTest
