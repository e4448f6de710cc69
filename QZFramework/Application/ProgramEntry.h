#pragma once
// What the program's entry does before it hands over to the run function: the locale
// from the environment, and the command line as one Windows-style text.
//
//   int main(int argc, char** argv) {
//     QZ::SetLocaleFromEnvironment();
//     return QZ::FrameworkAppMain(QZ::MakeCommandLine(argc, argv), SW_SHOWNORMAL, -1, u"Splash.png");
//   }
//
// Main thread, before any other thread runs.

#include <string>
#include <string_view>

namespace QZ {

// Character classes and messages follow the environment (LC_CTYPE, LC_MESSAGES); numbers
// keep the "C" locale, since every number the program reads or writes has '.' as its
// decimal point.
void SetLocaleFromEnvironment();

// The arguments joined by blanks, program path first, each quoted the way the Windows
// command-line parser reads it back: an argument that is empty or holds a blank, a tab or
// a '"' goes in quotes, its '"' escaped as \" and the backslashes before a '"' (or before
// the closing quote) doubled. UTF-8, as the arguments come.
std::string MakeCommandLine(int argc, const char* const* argv);
// One argument in that form.
std::string QuoteCommandLineArgument(std::string_view argument);

} // namespace QZ
