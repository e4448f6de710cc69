#pragma once
// QZ::MillisecondClock: the clock a renderer times its cache purges by, in the form of
// the application's clock: milliseconds from an arbitrary origin, wrapping at 2^32.
// The application hands its own clock in; tests hand in a fake.

#include <cstdint>
#include <functional>

namespace QZ {

using MillisecondClock = std::function<uint32_t()>;

// A monotonic clock in that form (not changed by setting the system time). Any thread.
uint32_t MonotonicMilliseconds();

} // namespace QZ
