#pragma once
// QZ::SplashBackend: what the splash screen's thread draws through: a borderless window at
// a rectangle showing the splash image with its alpha, a progress bar over its lower edge,
// and their end. QZ::NullSplashBackend, the program's, makes no window: windows of the
// window layer belong to the UI thread, and the program has no splash image anyway.
//
//   class Backend : public QZ::SplashBackend {
//     bool CreateSplashWindow(const RECT& window, const Image& image) override { ...; return true; }
//     ...
//   };
//   QZ::SplashScreen splash({.backend = std::make_unique<Backend>()});
//
// Every member runs on the splash screen's thread, in this order: GetWorkArea,
// CreateSplashWindow, then (only after it succeeded) PaintLayered and ShowSplashWindow,
// the bar's members, and DestroySplashWindow last.

#include <cstdint>

#include "Platform/Graphics/Image.h"
#include "Platform/Window/WindowTypes.h"

namespace QZ {

class SplashBackend {
public:
  virtual ~SplashBackend() = default;

  // The desktop's work area in screen coordinates.
  virtual Platform::Window::RECT GetWorkArea() = 0;
  // Makes the window (not shown yet) at the rectangle, to show image, which stays valid
  // until DestroySplashWindow. False when it cannot be made.
  virtual bool CreateSplashWindow(const Platform::Window::RECT& window, const Platform::Graphics::Image& image) = 0;
  // Puts the image with its per-pixel alpha on the screen at the window's place. False
  // when the window system refuses.
  virtual bool PaintLayered() = 0;
  // Shows the window without activating it.
  virtual void ShowSplashWindow() = 0;
  // Makes the progress bar at the rectangle (screen coordinates) with its range.
  virtual void CreateBar(const Platform::Window::RECT& bar, int32_t minimum, int32_t maximum) = 0;
  // The bar's position, within its range.
  virtual void SetBarPosition(int32_t position) = 0;
  // The bar's colour (0x00BBGGRR).
  virtual void SetBarColor(uint32_t color) = 0;
  // Destroys the bar, if made, and the window.
  virtual void DestroySplashWindow() = 0;
};

// Makes no window: CreateSplashWindow answers false.
class NullSplashBackend final : public SplashBackend {
public:
  Platform::Window::RECT GetWorkArea() override { return {}; }
  bool CreateSplashWindow(const Platform::Window::RECT&, const Platform::Graphics::Image&) override { return false; }
  bool PaintLayered() override { return false; }
  void ShowSplashWindow() override {}
  void CreateBar(const Platform::Window::RECT&, int32_t, int32_t) override {}
  void SetBarPosition(int32_t) override {}
  void SetBarColor(uint32_t) override {}
  void DestroySplashWindow() override {}
};

} // namespace QZ
