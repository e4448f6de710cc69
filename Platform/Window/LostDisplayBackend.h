#pragma once
// The backend the window layer runs on once its display is lost (DisplayConnection.h):
// it answers from what the old backend knew without asking the window system (SDL's
// record of a window's flags, place and size, SDL's clock) and does nothing else. The old
// backend is borrowed, never called for anything that would reach the display.
//
//   state.backend = std::make_unique<LostDisplayBackend>(*oldBackend);
//
// UI thread, except PushEvent (any thread).

#include "Platform/Window/VideoBackend.h"

namespace QZ::Platform::Window {

class LostDisplayBackend final : public VideoBackend {
public:
  // old must outlive this object.
  explicit LostDisplayBackend(VideoBackend& old) : mOld(old) {}

  bool Init() override { return false; }
  void Quit() override {}
  const char* GetCurrentVideoDriver() override { return nullptr; }
  bool PollEvent(SDL_Event&) override { return false; }
  // Waits out the time, at most a tenth of a second: no event comes any more.
  bool WaitEventTimeout(SDL_Event& event, int32_t timeoutMs) override;
  bool PushEvent(SDL_Event&) override { return true; }
  uint32_t RegisterEventType() override { return 0; }
  uint64_t GetTicks() override { return mOld.GetTicks(); }
  uint32_t CreateWindow(const char*, int, int, int, int, uint32_t) override { return 0; }
  void DestroyWindow(uint32_t) override {}
  void SetWindowTitle(uint32_t, const char*) override {}
  void ShowWindow(uint32_t) override {}
  void HideWindow(uint32_t) override {}
  void RaiseWindow(uint32_t) override {}
  void MinimizeWindow(uint32_t) override {}
  void MaximizeWindow(uint32_t) override {}
  void RestoreWindow(uint32_t) override {}
  bool SetWindowInputFocus(uint32_t) override { return false; }
  uint32_t GetWindowFlags(uint32_t window) override { return mOld.GetWindowFlags(window); }
  void SetWindowPosition(uint32_t, int, int) override {}
  void GetWindowPosition(uint32_t window, int& x, int& y) override { mOld.GetWindowPosition(window, x, y); }
  void SetWindowSize(uint32_t, int, int) override {}
  void GetWindowSize(uint32_t window, int& width, int& height) override { mOld.GetWindowSize(window, width, height); }
  bool GetWindowBordersSize(uint32_t, int& top, int& left, int& bottom, int& right) override;
  void SetWindowMinimumSize(uint32_t, int, int) override {}
  void SetWindowMaximumSize(uint32_t, int, int) override {}
  void SetWindowAlwaysOnTop(uint32_t, bool) override {}
  bool SetWindowModalFor(uint32_t, uint32_t) override { return false; }
  void SetWindowActions(uint32_t, bool, bool, bool) override {}
  bool LearnWindowFrame(uint32_t, int& top, int& left, int& bottom, int& right) override {
    top = left = bottom = right = 0;
    return false;
  }
  void AwaitWindowFrame(uint32_t) override {}
  bool SetWindowIcon(uint32_t, const uint32_t*, int, int, int) override { return false; }
  SDL_Surface* GetWindowSurface(uint32_t) override { return nullptr; }
  bool UpdateWindowSurfaceRects(uint32_t, const SDL_Rect*, int) override { return false; }
  uint32_t GetKeyboardFocus() override { return 0; }
  uint32_t GetMouseFocus() override { return 0; }
  bool CaptureMouse(bool) override { return false; }
  uint32_t GetGlobalMouseState(int& x, int& y) override;
  bool WarpMouseGlobal(int, int) override { return false; }
  uint32_t GetModState() override { return 0; }
  SDL_Cursor* CreateSystemCursor(SDL_SystemCursor) override { return nullptr; }
  SDL_Cursor* CreateColorCursor(const uint32_t*, int, int, int, int, int) override { return nullptr; }
  void FreeCursor(SDL_Cursor*) override {}
  void SetCursor(SDL_Cursor*) override {}
  void ShowCursor(bool) override {}
  bool GetDisplayBounds(int, SDL_Rect&) override { return false; }
  bool GetDisplayUsableBounds(int, SDL_Rect&) override { return false; }
  int32_t ShowMessageBox(uint32_t, const char*, const char*, uint32_t, const std::function<bool()>&) override {
    return 0;
  }

private:
  VideoBackend& mOld;
};

} // namespace QZ::Platform::Window
