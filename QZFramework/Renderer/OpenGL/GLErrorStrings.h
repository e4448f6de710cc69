#pragma once
// The texts of the OpenGL renderer's failures, by their string-table keys ("GL_ERROR_..."),
// in English, until the framework's string tables carry them; and the report of a
// failure, which goes to the debug trace so that an unattended run is never held up by
// a message box.
//
//   QZ::ReportGLFailure("GL_ERROR_MESSAGE_CREATE_CONTEXT");   // then the caller throws
//
// Any thread.

#include <string>
#include <string_view>

namespace QZ {

// The text of key; the key itself when it has none.
std::string GetGLErrorString(std::string_view key);
// Writes "<caption>: <message text><update-driver text>" to the debug trace; detail,
// when given, follows the message text.
void ReportGLFailure(std::string_view messageKey, std::string_view detail = {});

} // namespace QZ
