#pragma once
// Why the window system did not start (Startup answered false), as one sentence that
// names the display, such as "The display \":199\" could not be opened.": the reason is
// taken when the start fails, before the failed start is undone.
//
//   if (!Startup()) { std::fprintf(stderr, "%s\n", GetStartupError().c_str()); }
//
// UI thread.

#include <string>

namespace QZ::Platform::Host {

// The last failed start's reason; "The window system did not start." when none was given.
std::string GetStartupError();

} // namespace QZ::Platform::Host
