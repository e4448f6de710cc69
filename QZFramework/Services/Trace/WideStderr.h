#pragma once
// QZ::WideStderr(): the process's standard error as a wide (UTF-16) stream, written
// out as UTF-8 at once; the wide twin of std::cerr for the trace's console.
//
//   QZ::WideStderr().write(u"ready\n", 6);
//
// Unbuffered: each write reaches stderr before it returns, except a high surrogate at
// the end of a write, which waits for the low one that completes it. Not synchronised:
// write under the trace's lock.

#include <ostream>

namespace QZ {

std::basic_ostream<char16_t>& WideStderr();

} // namespace QZ
