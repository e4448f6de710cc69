#pragma once
// The texts of the OpenGL renderer's failures, by their string-table keys ("GL_ERROR_..."):
// the framework string table's once the application hands them over, built-in English
// until then and for any key the table lacks; and the report of a failure, which goes to
// the debug trace so that an unattended run is never held up by a message box.
//
//   QZ::SetGLErrorTexts(frameworkTable->GetEntries());        // after the tables are loaded
//   QZ::ReportGLFailure("GL_ERROR_MESSAGE_CREATE_CONTEXT");   // then the caller throws
//
// Any thread.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

// Takes the "GL_ERROR_" texts of the framework string table's entries (ID to text),
// replacing those taken before; keys the entries lack fall back to the built-in texts.
void SetGLErrorTexts(const std::map<WString, WString>& frameworkTable);

// The text of key (UTF-8); the key itself when it has none.
std::string GetGLErrorString(std::string_view key);
// "GL_ERROR_MESSAGE_GET_PROC_ADDRESS", a format, filled with the error number and the
// system's text for it. A table text whose conversions do not fit gives way to the
// built-in one.
std::string GetGLProcAddressErrorString(uint32_t error, std::string_view systemText);

// Writes "<caption>: <message text><update-driver text>" to the debug trace.
void ReportGLFailure(std::string_view messageKey);
// The same with the message of a failed entry-point look-up.
void ReportGLProcAddressFailure(uint32_t error, std::string_view systemText);

} // namespace QZ
