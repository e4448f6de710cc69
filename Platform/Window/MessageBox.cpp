#include "Platform/Window/MessageBox.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "Platform/Window/TextConversion.h"
#include "Platform/Window/Window.h"
#include "Platform/Window/WindowState.h"

namespace QZ::Platform::Window {

using namespace Detail;

namespace {

MessageBoxRecorder& Recorder() {
  static MessageBoxRecorder recorder;
  return recorder;
}

bool IsHeadlessDriver(const char* driver) {
  return driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

bool IsSet(const char* variable) {
  const char* value = std::getenv(variable);
  return value && *value;
}

uint32_t IconFlags(uint32_t style) {
  switch (style & MB_ICONMASK) {
  case MB_ICONERROR:
    return SDL_MESSAGEBOX_ERROR;
  case MB_ICONWARNING:
    return SDL_MESSAGEBOX_WARNING;
  case MB_ICONINFORMATION:
    return SDL_MESSAGEBOX_INFORMATION;
  default:
    return 0;
  }
}

// SDL's message box on the display, through the running layer or SDL itself; false
// where there is no display or the box cannot be shown.
bool ShowOnDisplay(const std::string& text, const std::string& caption, uint32_t style, HWND owner) {
  State& state = GetState();
  if (IsUiThread()) {
    if (IsHeadlessDriver(state.backend->GetCurrentVideoDriver())) {
      return false;
    }
    uint32_t ownerId = 0;
    {
      std::lock_guard hold(state.lock);
      if (const WindowRecord* record = FindLocked(state, owner)) {
        ownerId = record->sdlId;
      }
    }
    const bool shown = state.backend->ShowSimpleMessageBox(IconFlags(style), caption.c_str(), text.c_str(), ownerId);
    if (ownerId != 0 && IsWindow(owner)) {
      // The box had the focus: the owner takes the next click, not only once the window
      // system has given the focus back (never, without a window manager).
      SetActiveWindow(owner);
    }
    return shown;
  }
  if (IsHeadlessDriver(std::getenv("SDL_VIDEODRIVER")) || (!IsSet("DISPLAY") && !IsSet("WAYLAND_DISPLAY"))) {
    return false;
  }
  SdlVideoBackend sdl;
  return sdl.ShowSimpleMessageBox(IconFlags(style), caption.c_str(), text.c_str(), 0);
}

} // namespace

int32_t ShowMessageBox(std::u16string_view text, std::u16string_view caption, uint32_t style, HWND owner) {
  if (Recorder()) {
    return Recorder()(text, caption, style);
  }
  const std::string narrowText = ToUtf8(text);
  const std::string narrowCaption = ToUtf8(caption);
  if (!ShowOnDisplay(narrowText, narrowCaption, style, owner)) {
    std::fprintf(stderr, "%s: %s\n", narrowCaption.c_str(), narrowText.c_str());
    std::fflush(stderr);
  }
  return IDOK;
}

void SetMessageBoxRecorder(MessageBoxRecorder recorder) { Recorder() = std::move(recorder); }

} // namespace QZ::Platform::Window
