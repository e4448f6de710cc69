#pragma once
// What a message box's style word (MessageBoxW's) asks for, the same for every way a box is
// shown (the framework's skinned box, SDL's box, standard error): its buttons left to right
// with the answer of each, the default one, its icon, and what a box answers when it is
// cancelled.
//
//   const MessageBoxButtons buttons = ButtonsOfStyle(MB_YESNOCANCEL);  // IDYES, IDNO, IDCANCEL
//   DefaultAnswer(MB_YESNOCANCEL | MB_DEFBUTTON2);                      // IDNO
//   EscapeAnswer(MB_YESNO);                                              // nothing: no Cancel
//   CancelAnswer(MB_YESNO);                                              // IDNO
//
// The types MB_OK ... MB_RETRYCANCEL are known; any other shows OK alone. Header only and
// without state, so that the message box program (MessageBoxProgram.h) shares it. Any
// thread.

#include <array>
#include <cstdint>
#include <optional>

#include "Platform/Window/WindowTypes.h"

namespace QZ::Platform::Window {

struct MessageBoxButtons {
  std::array<int32_t, 3> answers{};
  int32_t count = 0;
};

// The icon a style shows.
enum class MessageBoxIcon { NoIcon, Error, Question, Warning, Information };

constexpr MessageBoxButtons ButtonsOfStyle(uint32_t style) {
  switch (style & MB_TYPEMASK) {
  case MB_OKCANCEL:
    return {{IDOK, IDCANCEL}, 2};
  case MB_ABORTRETRYIGNORE:
    return {{IDABORT, IDRETRY, IDIGNORE}, 3};
  case MB_YESNOCANCEL:
    return {{IDYES, IDNO, IDCANCEL}, 3};
  case MB_YESNO:
    return {{IDYES, IDNO}, 2};
  case MB_RETRYCANCEL:
    return {{IDRETRY, IDCANCEL}, 2};
  default:
    return {{IDOK}, 1};
  }
}

// The answer of the default button: MB_DEFBUTTON1..3 pick it; one past the buttons picks the
// first, as the system's box does.
constexpr int32_t DefaultAnswer(uint32_t style) {
  const MessageBoxButtons buttons = ButtonsOfStyle(style);
  const uint32_t index = (style & MB_DEFMASK) >> 8;
  return index < uint32_t(buttons.count) ? buttons.answers[index] : buttons.answers[0];
}

// What Escape and the close box answer: Cancel where the box has one, OK for a box of OK
// alone; nothing for the others, which only their buttons close.
constexpr std::optional<int32_t> EscapeAnswer(uint32_t style) {
  const MessageBoxButtons buttons = ButtonsOfStyle(style);
  if (buttons.count == 1) {
    return IDOK;
  }
  for (int32_t i = 0; i < buttons.count; ++i) {
    if (buttons.answers[size_t(i)] == IDCANCEL) {
      return IDCANCEL;
    }
  }
  return std::nullopt;
}

// What a box answers when it is not shown or is taken down unanswered (the program ends,
// there is no display): Escape's answer, else the choice that does nothing (No, Abort).
constexpr int32_t CancelAnswer(uint32_t style) {
  if (const std::optional<int32_t> escape = EscapeAnswer(style)) {
    return *escape;
  }
  return (style & MB_TYPEMASK) == MB_YESNO ? IDNO : IDABORT;
}

constexpr MessageBoxIcon IconOfStyle(uint32_t style) {
  switch (style & MB_ICONMASK) {
  case MB_ICONERROR:
    return MessageBoxIcon::Error;
  case MB_ICONQUESTION:
    return MessageBoxIcon::Question;
  case MB_ICONWARNING:
    return MessageBoxIcon::Warning;
  case MB_ICONINFORMATION:
    return MessageBoxIcon::Information;
  default:
    return MessageBoxIcon::NoIcon;
  }
}

} // namespace QZ::Platform::Window
