// The clipboard's SDL backend: SDL keeps the text as UTF-8 and, on X11, serves it to other
// programs from a window of its own while this process owns the selection.

#include <SDL2/SDL.h>

#include "Platform/Clipboard/Clipboard.h"

namespace QZ::Platform::Clipboard {
namespace {

class SdlBackend final : public Backend {
public:
  bool HasText() override { return SDL_HasClipboardText() == SDL_TRUE; }

  bool GetText(std::string& utf8) override {
    char* text = SDL_GetClipboardText();
    if (!text) {
      return false;
    }
    utf8 = text;
    SDL_free(text);
    return true;
  }

  bool SetText(const std::string& utf8) override { return SDL_SetClipboardText(utf8.c_str()) == 0; }
};

} // namespace

std::shared_ptr<Backend> CreateSdlBackend() { return std::make_shared<SdlBackend>(); }

} // namespace QZ::Platform::Clipboard
