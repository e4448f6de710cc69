#pragma once
// Debian 12's fontconfig loses a block while it parses its configuration files. Test
// programs that use fonts load that configuration once, before any test runs, with leak
// detection paused: the loss is not reported, and any other leak still is. Include this
// header from one source file of each such program.

#include <fontconfig/fontconfig.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace QZTest {

inline const bool kFontconfigLoaded = [] {
#if defined(__SANITIZE_ADDRESS__)
  __lsan::ScopedDisabler paused;
#endif
  return FcInit() == FcTrue;
}();

} // namespace QZTest
