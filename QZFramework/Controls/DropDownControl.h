#pragma once
// QZ::LDropDownControl: the base of the controls that drop a part down below (or above)
// themselves: the combo box (its list), the combo slider (its panel) and the combo menu (its
// menu). It decides from focus and presses when the part opens and closes, and leaves the
// part itself to the derived class (IsDroppedDown, ShowDropDown).
//
//   A press on a closed control opens the part; a press on an open one closes it, and that
//   same press does not open it again (the next one does); losing the keyboard focus closes
//   it. Focus moving from the control into its own part (a list taking the keyboard) is no
//   loss.
//
// A press runs, in order: the control takes the focus (SetFocus), "NID_MOUSE_DOWN" goes out,
// the condition word gains the left-button bit (OnConditionsChanged). UI thread, like every
// control.

#include "QZFramework/ControlBase/Control.h"
#include "QZFramework/ControlBase/HandlerTableControl.h"
#include "QZFramework/Controls/ListBox.h"

namespace QZ {

class LDropDownControl : public LHandlerTableControl<LDropDownControl, LControl>, public IListBoxDropDownOwner {
public:
  LDropDownControl(const RCPtr<LControl>& parent, const WString& name);

  // The control's, then the control hears its own "NID_MOUSE_DOWN". The control's failure
  // as it is; QZ_E_FAIL when it cannot hear itself.
  QZResult Initialize() override;
  // The control's; then an open part closes, and the press that brought the focus (if one
  // did) will not open it again. The control's result.
  QZResult SetFocus(bool forward) override;
  // A left button newly down opens the part, unless this press closed it.
  QZResult OnConditionsChanged(const RCPtr<LConditionsParam>& param) override;
  // The control's focus loss, then the part closes.
  bool KillFocus() override;

  // --- The drop-down control's own, in slot order ------------------------------------------

  // Whether the part is open: it exists, is visible and has a width and a height above 0.
  virtual bool IsDroppedDown() = 0;
  // Opens (show) or closes the part. 0; QZ_E_FAIL without a part.
  virtual QZResult ShowDropDown(bool show) = 0;

private:
  // The control's own press: one that came with a close by SetFocus must not reopen. 0
  // (never marked handled).
  QZResult OnMouseDownNotification(const RCPtr<LNotificationDistributor>& distributor,
                                   const RCPtr<LNotification>& notification);

  // Taking the focus closed the open part.
  bool mClosedOnFocus = false;
  // The press after such a close must not open it again.
  bool mSuppressOpen = false;
};

} // namespace QZ
