#pragma once
// Internal to the shell layer: what its programs say, and why an open failed, handed to
// the diagnostic sink the program set (CommonDialogs.h, SetDiagnosticSink), never to our
// standard error.
//
//   ReportOutput("zenity", run.errors);        // "zenity: <line>" for each line
//   Report("xdg-open /home/me/guide.pdf: exit status 3");
//
// Any thread.

#include <string>
#include <string_view>

namespace QZ::Platform::Shell {

// One line to the sink; nothing without one.
void Report(const std::string& line);
// Each non-empty line of text, after the program's name and ": ".
void ReportOutput(std::string_view program, std::string_view text);

} // namespace QZ::Platform::Shell
