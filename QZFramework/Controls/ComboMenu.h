#pragma once
// QZ::LComboMenu ("Framework.ComboMenu"): a menu title that drops its "popupMenu" (a
// QZ::LPopupMenu) down below itself. The menu bar clones one per top-level menu; a press on
// the title opens the menu, a press on an open title closes it, and moving onto another
// title of the bar while a menu is open switches to that title's menu.
//
//   auto title = QZ::DynamicCast<QZ::LComboMenu>(factory->CreateControl(bar, templateEntry));
//   title->SetText(u"File");
//   title->GetPopupMenu()->SetMenuDescriptor(fileMenu);
//   // press on the title, drag onto a row, release: the row's item is chosen
//
// The title hides its pop-up itself (the pop-up's closeOnActivate is cleared): after an item
// is chosen (the pop-up's "NID_ITEM_ACTIVATED", which comes before the owner hears the
// item), when the focus leaves it, or on a second press. Item notifications go from the
// pop-up to its owner, not through the title.
//
// Looks (4): 0 normal, 1 pointer over, 2 open, 3 disabled.
//
// UI thread, like every control.

#include "QZFramework/ControlBase/HandlerTableControl.h"
#include "QZFramework/Controls/DropDownControl.h"
#include "QZFramework/Controls/PopupMenu.h"

namespace QZ {

class LComboMenu : public LHandlerTableControl<LComboMenu, LDropDownControl>, public IMenuTitle {
public:
  static constexpr int32_t kLookNormal = 0;
  static constexpr int32_t kLookHover = 1;
  static constexpr int32_t kLookOpen = 2;
  static constexpr int32_t kLookDisabled = 3;

  LComboMenu(const RCPtr<LControl>& parent, const WString& name);

  // --- The control's and the drop-down control's operations ------------------------------

  // The drop-down control's (QZ_E_FAIL on failure); the pop-up's visibility and chosen
  // items heard; the pop-up's closeOnActivate cleared. 0.
  QZResult Initialize() override;
  // The look of the state; moving onto the title while another title's menu is open
  // switches to this one; a left press remembers where it fell; then the drop-down
  // control's (a press opens or closes the menu).
  QZResult OnConditionsChanged(const RCPtr<LConditionsParam>& param) override;
  // Remembers the pop-up's X position as the skin places it. The base's result.
  QZResult OnLookChanged() override;
  // The pop-up is visible with a width and height above 0.
  bool IsDroppedDown() override;
  // The pop-up's rows are made when its menu first opens: a bar's menus are sized from the
  // row template, and most are never opened in a session.
  bool ListRowsWaitForOpening() const override { return true; }
  // Opens the pop-up below the title (moved left to stay within the top control's width,
  // never before 0), focused, with a held press handed over to it; or closes it. The look
  // follows. 0; QZ_E_FAIL without a pop-up.
  QZResult ShowDropDown(bool show) override;

  // --- The combo menu's own ----------------------------------------------------------------

  // The child "popupMenu" as a pop-up menu; null when there is none.
  RCPtr<LPopupMenu> GetPopupMenu() const;
  // Among the parent's children, last first, the first combo menu other than this one
  // whose menu is open; null when none is.
  RCPtr<LComboMenu> FindOpenSibling() const;

private:
  // Look 2 while open, else 1 under the pointer, else 0.
  void ShowStateLook();
  QZResult OnPopupItemActivated(const RCPtr<LNotificationDistributor>& distributor,
                                const RCPtr<LNotification>& notification);
  QZResult OnPopupVisibilityChange(const RCPtr<LNotificationDistributor>& distributor,
                                   const RCPtr<LNotification>& notification);

  double mDropDownOffsetX = 0.0;
  // The last left press, in the pop-up's coordinates.
  PointT<double> mPressInPopup;
};

} // namespace QZ
