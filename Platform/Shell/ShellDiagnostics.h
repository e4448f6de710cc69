#pragma once
// Internal to the shell layer: what its programs say, and why an open failed, handed to
// the diagnostic sink the program set (CommonDialogs.h, SetDiagnosticSink), never to our
// standard error.
//
//   ReportOutput("zenity", run.errors);        // "zenity: <line>" for each line
//   Report("xdg-open /home/me/guide.pdf: exit status 3");
//   Report("zenity: wrote more than " + SizeText(16 << 20) + " as its answer");   // "16 MiB"
//
// Any thread.

#include <cstddef>
#include <string>
#include <string_view>

namespace QZ::Platform::Shell {

// One line to the sink; nothing without one.
void Report(const std::string& line);
// Each non-empty line of text, after the program's name and ": ".
void ReportOutput(std::string_view program, std::string_view text);
// A size as people read it: "16 MiB", "64 KiB", or "1000 bytes" when neither divides it.
std::string SizeText(size_t bytes);

} // namespace QZ::Platform::Shell
