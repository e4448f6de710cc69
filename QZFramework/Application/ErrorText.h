#pragma once
// The message text of a numeric error, as the program shows it to the user:
//
//   QZ::FormatErrorText(902);
//   // "The application encountered problems during startup and will now close.  (Error code = 902)"
//
// This is the text while no application object has its string table (the start-up); the
// application's "EXCEPTION_ID" text takes over once it has. Any thread.

#include <cstdint>

#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

WString FormatErrorText(int32_t code);

} // namespace QZ
