#pragma once
// The shared cursor names that an application may answer with cursors of its own. An
// application recognises them by the object, not by the characters: a caller that means
// the program's drag cursor passes the shared object, and a text with the same characters
// built elsewhere gets the application's standard table instead.
//
//   ShowCursor(window, QZ::CursorNames::DropMove());          // the program's drag cursor
//   if (&name == &QZ::CursorNames::DropMove()) { ... }        // in GetApplicationCursor
//
// Each object is made on first use and lives until the process ends. Any thread.

#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ::CursorNames {

// "UI_CURSOR_DROP_MOVE": a dragged control over a target that takes it.
const WString& DropMove();
// "UI_CURSOR_DROP_COPY".
const WString& DropCopy();
// "UI_CURSOR_SPLIT_V", "UI_CURSOR_SPLIT_H", "UI_CURSOR_ROTATE", "UI_CURSOR_MAG",
// "UI_CURSOR_MAG_PLUS", "UI_CURSOR_MAG_MINUS": the tool cursors.
const WString& SplitV();
const WString& SplitH();
const WString& Rotate();
const WString& Mag();
const WString& MagPlus();
const WString& MagMinus();

} // namespace QZ::CursorNames
