// The control factory's creating half: controls from descriptors, top controls by name,
// skins applied again, and the string table of a control under its parent.

#include "QZFramework/ControlBase/Control.h"
#include "QZFramework/ControlBase/ControlFactory.h"
#include "QZFramework/ControlBase/Look.h"

namespace QZ {
namespace {

// Asks for the images of the shown controls inside visible (window coordinates) to be
// decoded ahead, in painting order, so that worker threads decode them while the window
// opens and the first frame draws them. origin: the control's place in the window, carried
// down the walk rather than found again up every control's ancestors.
void DecodeShownImagesAhead(const LControl& control, const PointT<double>& origin, const RectT<double>& window,
                            const RectT<double>& visible) {
  if (!control.IsShown(false)) {
    return;
  }
  RectT<double> shown;
  if (!RectT<double>::Intersect(shown, {origin.x, origin.y, control.GetRect().width, control.GetRect().height},
                                visible) ||
      shown.width <= 0.0 || shown.height <= 0.0) {
    return;
  }
  const auto& looks = control.GetLooks();
  for (uint32_t i = 0; i < looks.GetCount(); ++i) {
    if (looks.GetAt(i) && control.GetLookWeight(i) > 0.0f) {
      looks.GetAt(i)->DecodeImagesAhead();
    }
  }
  const auto& children = control.GetChildren();
  for (uint32_t i = 0; i < children.GetCount(); ++i) {
    const RCPtr<LControl>& child = children.GetAt(i, LControl::ChildControlList::kPaintOrder);
    const RCPtr<LLayoutDescriptor>& layout = child->GetLayoutDescriptor();
    DecodeShownImagesAhead(*child, child->GetOriginInParent() + origin, window,
                           !layout || layout->clipToParent ? shown : window);
  }
}

} // namespace

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
    const RectT<double> window{0.0, 0.0, control->GetRect().width, control->GetRect().height};
    DecodeShownImagesAhead(*control, control->GetWindowPosition(), window, window);
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
