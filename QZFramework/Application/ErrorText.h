#pragma once
// The message text of a numeric error, as the program shows it to the user:
//
//   QZ::FormatErrorText(902);
//   // with the application's string table: its "EXCEPTION_ID" text with the code,
//   //   "The application has encountered Error ID 902.  Please contact Vandrel Technical Support."
//   // before (the start-up), or when the table has no such text:
//   //   "The application encountered problems during startup and will now close.  (Error code = 902)"
//
// Any thread while no application object exists; its UI thread once one does.

#include <cstdint>

#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

WString FormatErrorText(int32_t code);

} // namespace QZ
