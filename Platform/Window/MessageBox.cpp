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

// The answer of SDL's message box on the display, through the running layer or SDL itself;
// 0 where there is no display or the box cannot be shown.
int32_t ShowOnDisplay(const std::string& text, const std::string& caption, uint32_t style, HWND owner,
                      const MessageBoxWait& whileShown) {
  State& state = GetState();
  if (IsUiThread()) {
    if (IsHeadlessDriver(state.backend->GetCurrentVideoDriver())) {
      return 0;
    }
    uint32_t ownerId = 0;
    {
      std::lock_guard hold(state.lock);
      if (const WindowRecord* record = FindLocked(state, owner)) {
        ownerId = record->sdlId;
      }
    }
    const int32_t answer = state.backend->ShowMessageBox(style, caption.c_str(), text.c_str(), ownerId, whileShown);
    if (ownerId != 0 && IsWindow(owner)) {
      // The box had the focus: the owner takes the next click, not only once the window
      // system has given the focus back (never, without a window manager).
      SetActiveWindow(owner);
    }
    return answer;
  }
  if (IsHeadlessDriver(std::getenv("SDL_VIDEODRIVER")) || (!IsSet("DISPLAY") && !IsSet("WAYLAND_DISPLAY"))) {
    return 0;
  }
  SdlVideoBackend sdl;
  return sdl.ShowMessageBox(style, caption.c_str(), text.c_str(), 0, whileShown);
}

} // namespace

int32_t ShowMessageBox(std::u16string_view text, std::u16string_view caption, uint32_t style, HWND owner,
                       const MessageBoxWait& whileShown) {
  if (Recorder()) {
    return Recorder()(text, caption, style);
  }
  const std::string narrowText = ToUtf8(text);
  const std::string narrowCaption = ToUtf8(caption);
  const int32_t answer = ShowOnDisplay(narrowText, narrowCaption, style, owner, whileShown);
  if (answer != 0) {
    return answer;
  }
  if (!whileShown || whileShown()) { // a box taken down on purpose is not written out
    std::fprintf(stderr, "%s: %s\n", narrowCaption.c_str(), narrowText.c_str());
    std::fflush(stderr);
  }
  return CancelAnswer(style);
}

void SetMessageBoxRecorder(MessageBoxRecorder recorder) { Recorder() = std::move(recorder); }

bool IsMessageBoxRecorderInstalled() { return bool(Recorder()); }

} // namespace QZ::Platform::Window
