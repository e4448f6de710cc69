#pragma once
// The roles the control base asks of controls it knows only by the name they have in the
// skin: the hint raised as "toolTip", the menu raised as "contextMenu", and the top control
// of a window whose close box ends it. The widgets that play them (QZFramework/Controls:
// LToolTip, LPopupMenu, LDialog) implement these interfaces; the control base finds them
// with dynamic_cast and otherwise treats the control as a plain one, so that it never
// names a widget class.
//
//   const QZ::RCPtr<QZ::LControl> tip = factory->CreateControl(owner, descriptor);
//   if (auto* timed = dynamic_cast<QZ::IToolTipRole*>(tip.Get())) {
//     timed->Popup();                  // shows after its delay
//   } else {
//     (void)tip->SetVisible(true);     // a plain control shows at once
//   }
//
// The caller holds the control while it uses the role. UI thread only, like every control.

#include <cstdint>

#include "QZFramework/ObjectBase/RCPtr.h"

namespace QZ {

class LMenuDescriptor;

// A hint that times its own showing and going.
class IToolTipRole {
public:
  // Starts the wait after which the tip shows next to the pointer.
  virtual void Popup() = 0;
  // Hides the tip and has its parent remove it at the parent's next idle tick.
  virtual void Dismiss() = 0;

protected:
  ~IToolTipRole() = default;
};

// A menu that shows a menu descriptor's rows.
class IContextMenuRole {
public:
  // Shows a copy of menu: 0, or 1 when there is no row to show it in; QZ_E_INVALIDARG for
  // null.
  virtual QZResult SetMenuDescriptor(const RCPtr<LMenuDescriptor>& menu) = 0;
  // Places the menu at the pointer, shows it and takes the focus. 0.
  virtual QZResult ShowAtMousePosition() = 0;

protected:
  ~IContextMenuRole() = default;
};

// A window's top control that ends itself when the window is closed (its close box, Alt+F4)
// instead of the window ending its modal loop with 0.
class IDialogRole {
public:
  // Ends as cancelled: 1 when a listener keeps it open; else 0, or QZ_E_FAIL without a
  // window to end.
  virtual QZResult CancelFromWindow() = 0;

protected:
  ~IDialogRole() = default;
};

} // namespace QZ
