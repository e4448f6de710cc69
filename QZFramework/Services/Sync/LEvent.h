#pragma once
// QZ::LEvent: a shared auto-reset event, held through QZ::RCPtr<QZ::LEvent>.
//
//   QZ::RCPtr<QZ::LEvent> gate(new QZ::LEvent(true));
//   gate->Set();                       // wakes one waiter, or the next one to wait
//
// Always auto-reset and initially not signalled, whatever flag it is built with: the
// flag exists for callers written against the shared event's constructor and is not
// used. Everything QZ::Event says about threads holds.

#include "QZFramework/ObjectBase/RefCountedObject.h"
#include "QZFramework/Services/Sync/Event.h"

namespace QZ {

class LEvent : public Event, public virtual LRefCountedObject {
public:
  explicit LEvent(bool /*unused*/ = true) : Event(true) {}
};

} // namespace QZ
