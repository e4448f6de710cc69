#pragma once
// QZ::TrafficLight: a gate for waiting threads: open (signalled) lets every waiter
// through until it is closed again. Starts closed. Any thread may call any member.

#include "QZFramework/Services/Sync/Event.h"

namespace QZ {

class TrafficLight : private Event {
public:
  TrafficLight() : Event(false) {}

  // Opens the gate.
  void Set() { Event::Set(); }
  // Closes the gate.
  void Reset() { Event::Reset(); }
  // Whether the gate is open; never changes it.
  using Event::IsSet;
  // Waits for the gate to open; Event::kSignalled or Event::kTimedOut.
  using Event::Wait;
};

} // namespace QZ
