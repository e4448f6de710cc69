#pragma once
// Why the window system did not start (Startup answered false): SDL's own text, such as
// "No available video device".
//
//   if (!Startup()) { std::fprintf(stderr, "%s\n", GetStartupError().c_str()); }
//
// UI thread.

#include <string>

namespace QZ::Platform::Host {

// The text SDL left for its last failure; "unknown reason" when it left none.
std::string GetStartupError();

} // namespace QZ::Platform::Host
