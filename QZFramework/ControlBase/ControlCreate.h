#pragma once
// QZ::CreateControlOf<T>: the create function every control class registers with the
// control factory: the control made with its parent and the entry's name, then the entry
// applied, the children made, the control initialised and told its looks are set; from
// then on it accepts notifications.
//
//   factory->RegisterControlCreateFunction(u"Framework.Label", &QZ::CreateControlOf<QZ::LLabel>);
//   QZ::RCPtr<QZ::LControl> label = factory->CreateControl(panel, entry);   // null on failure
//
// A control that cannot be made whole leaves its parent again: its name is taken among the
// parent's children, or a step fails (null), or a step throws (the skin is faulty: the
// exception goes on to whoever asked for the control). UI thread.

#include "QZFramework/ControlBase/Control.h"
#include "QZFramework/ControlBase/ControlDescriptor.h"

namespace QZ {

template <class T>
RCPtr<LControl> CreateControlOf(const RCPtr<LControl>& parent, const RCPtr<LControlDescriptor>& descriptor) {
  if (!descriptor) {
    return nullptr;
  }
  const RCPtr<LControl> control(new T(parent, descriptor->GetName()));
  if (control->GetParent() != parent) {
    return nullptr;
  }
  // Half made, the control's handlers stay deaf to what its parts announce.
  control->SetAcceptsNotifications(false);
  try {
    if (Failed(control->ApplyDescriptor(descriptor)) || Failed(control->CreateChildren(descriptor)) ||
        Failed(control->Initialize())) {
      control->Detach();
      return nullptr;
    }
    control->OnLookChanged();
    control->SetAcceptsNotifications(true);
  } catch (...) {
    control->Detach();
    throw;
  }
  return control;
}

} // namespace QZ
