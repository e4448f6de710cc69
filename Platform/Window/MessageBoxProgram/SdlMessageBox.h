#pragma once
// SDL's message box for a message box's style word (MessageBoxStyle.h): its icon, its
// buttons left to right with English texts, Return on the default button, Escape on the
// cancelling one. Shared by the message box program and the window layer's own box where
// that program is missing; internal to the window layer (it names SDL).
//
//   const int32_t answer = ShowSdlMessageBox(MB_YESNO | MB_ICONQUESTION, "Load", "Replace it?", nullptr);
//
// Blocks until the box is closed. The thread that runs SDL's video.

#include <SDL2/SDL.h>

#include <cstdint>

#include "Platform/Window/MessageBoxStyle.h"

namespace QZ::Platform::Window {

inline const char* AnswerText(int32_t answer) {
  switch (answer) {
  case IDCANCEL:
    return "Cancel";
  case IDABORT:
    return "Abort";
  case IDRETRY:
    return "Retry";
  case IDIGNORE:
    return "Ignore";
  case IDYES:
    return "Yes";
  case IDNO:
    return "No";
  default:
    return "OK";
  }
}

inline uint32_t SdlIconFlags(uint32_t style) {
  switch (IconOfStyle(style)) {
  case MessageBoxIcon::Error:
    return SDL_MESSAGEBOX_ERROR;
  case MessageBoxIcon::Warning:
    return SDL_MESSAGEBOX_WARNING;
  case MessageBoxIcon::Question:
  case MessageBoxIcon::Information:
    return SDL_MESSAGEBOX_INFORMATION;
  default:
    return 0;
  }
}

// The answer of the button chosen; a box closed by its window's close box answers as
// Escape would, else as a cancelled box (CancelAnswer). 0 when SDL cannot show it
// (SDL_GetError says why).
inline int32_t ShowSdlMessageBox(uint32_t style, const char* title, const char* text, SDL_Window* owner) {
  const MessageBoxButtons buttons = ButtonsOfStyle(style);
  const std::optional<int32_t> escape = EscapeAnswer(style);
  const int32_t preferred = DefaultAnswer(style);
  SDL_MessageBoxButtonData data[3] = {};
  for (int32_t i = 0; i < buttons.count; ++i) {
    const int32_t answer = buttons.answers[size_t(i)];
    data[i].buttonid = answer;
    data[i].text = AnswerText(answer);
    data[i].flags = (answer == preferred ? uint32_t(SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT) : 0u) |
                    (escape && answer == *escape ? uint32_t(SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT) : 0u);
  }
  SDL_MessageBoxData box = {};
  box.flags = SdlIconFlags(style) | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
  box.window = owner;
  box.title = title;
  box.message = text;
  box.numbuttons = buttons.count;
  box.buttons = data;
  int chosen = -1;
  if (SDL_ShowMessageBox(&box, &chosen) != 0) {
    return 0;
  }
  return chosen > 0 ? chosen : CancelAnswer(style);
}

} // namespace QZ::Platform::Window
