#pragma once
// The clock of the widgets' timed behaviour (repeats, paging, flashes): the application's
// running time in seconds, and the test of a countdown that has run out.
//
//   double last = QZ::Widgets::Now();
//   left -= QZ::Widgets::Now() - last;
//   if (QZ::Widgets::IsDue(left)) { ... }
//
// UI thread.

#include "QZFramework/ControlBase/ControlApplication.h"

namespace QZ::Widgets {

// Seconds since the application started; 0 without an application.
inline double Now() {
  IControlApplication* application = GetControlApplication();
  return application ? application->GetElapsedSeconds() : 0.0;
}

// Whether a countdown with left seconds to go has run out. The clock sums milliseconds as
// fractions of a second, so a step due exactly at a tick may be left a rounding error
// short: a microsecond counts as nothing.
inline bool IsDue(double left) { return left <= 1e-6; }

} // namespace QZ::Widgets
