// The control factory's creating half: controls from descriptors, top controls by name,
// skins applied again, and the string table of a control under its parent.

#include "QZFramework/ControlBase/Control.h"
#include "QZFramework/ControlBase/ControlFactory.h"

namespace QZ {

RCPtr<LControl> LControlFactory::CreateControl(const RCPtr<LControl>& parent,
                                               const RCPtr<LControlDescriptor>& descriptor) {
  if (!descriptor) {
    return nullptr;
  }
  ControlCreateFunction function = descriptor->GetCreateFunction();
  if (!function) {
    // Throws for a class never registered, before anything is kept.
    GetControlCreateFunction(descriptor->GetClass(), function);
    descriptor->SetCreateFunction(function);
  }
  return function ? function(parent, descriptor) : nullptr;
}

RCPtr<LControl> LControlFactory::CreateControlByName(const WString& name, const RCPtr<IRootWindow>& rootWindow) {
  const RCPtr<LControlDescriptor> descriptor = FindControlDescriptor(name);
  if (!descriptor) {
    return nullptr;
  }
  // The skin's IsVisible is not read for top-level controls.
  if (const RCPtr<LLayoutDescriptor>& layout = descriptor->GetLayout()) {
    layout->isVisible = true;
  }
  RCPtr<LControl> control = CreateControl(nullptr, descriptor);
  if (control && rootWindow) {
    control->SetRootWindow(rootWindow); // a new top control: installed
  }
  return control;
}

QZResult LControlFactory::ReapplySkin(const RCPtr<LControl>& control) {
  if (!control) {
    return QZ_E_FAIL;
  }
  const RCPtr<LControlDescriptor> descriptor = FindControlDescriptor(control->GetName());
  return descriptor ? control->ApplyDescriptor(descriptor) : QZResult(QZ_E_FAIL);
}

RCPtr<LStringTable> LControlFactory::GetStringTable(const RCPtr<LControl>& parent, const WString& name) const {
  const RCPtr<LControlDescriptor> parentEntry = parent ? parent->GetControlDescriptor() : nullptr;
  return GetStringTable(parentEntry ? parentEntry->GetClass() : WString(), name);
}

} // namespace QZ
