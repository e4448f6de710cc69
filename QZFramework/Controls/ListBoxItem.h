#pragma once
// QZ::LListBoxItem ("Framework.ListBoxItem", "Framework.OverlayButton"): a row of a list box.
// The list box clones rows from its "templateItem" (or finds the fixed rows "item1",
// "item2" ...) and fills each with the text, selection and flags of the item it shows; the
// row only chooses its look from that and from its conditions, from a list of 14:
//
//   0 normal, 1 hover, 2 pressed            3-5 the same for a marked item
//   6 disabled (a row below the last item)   7-12 the six above for a selected item
//   13 a disabled selected row, and a separator (which shows no text)
//
//   row->SetMarked(true);          // look 3 at rest
//   row->SetValue(1.0);            // selected: look 10
//
// A row never takes the focus: presses on it focus the list box, which handles the keys.
// UI thread, like every control.

#include "QZFramework/ControlBase/Control.h"

namespace QZ {

class LListBoxItem : public LControl {
public:
  // The looks of the 14-look list.
  static constexpr int32_t kLookHover = 1;
  static constexpr int32_t kLookPressed = 2;
  static constexpr int32_t kLookMarkedOffset = 3;
  static constexpr int32_t kLookDisabled = 6;
  static constexpr int32_t kLookSelectedOffset = 7;
  static constexpr int32_t kLookSeparator = 13;

  LListBoxItem(const RCPtr<LControl>& parent, const WString& name);

  // --- The control's operations --------------------------------------------------------

  // UpdateLook. 0.
  QZResult OnValueChanged() override;
  QZResult OnConditionsChanged(const RCPtr<LConditionsParam>& param) override;
  // Marks the row not focusable, whatever its skin says; then the look. 0.
  QZResult OnLookChanged() override;
  // In menu mode a press on the row captures the pointer for the parent list box (the
  // point moved into the list box's coordinates); a row the list box names for the press
  // (its item moved to another row while the press was handled) takes the capture
  // instead. Otherwise the control's own.
  QZResult SetCapture(uint32_t button, int32_t x, int32_t y) override;

  // --- The row's own --------------------------------------------------------------------

  // The look of the row's state: separator 13; a disabled row (itself or an ancestor) 13
  // when selected, else 6; otherwise 0 at rest, 1 hovered (or pressed with the pointer
  // outside), 2 pressed with the pointer over it (a left drag under the capture), plus 3
  // when marked and 7 when selected (value 0.5 or more).
  virtual int32_t GetLookIndex();

  // Store a flag when it differs, then UpdateLook. Setting the separator also clears the
  // text (clearing it does not bring the text back: the list box refills the row).
  void SetMarked(bool marked);
  void SetSeparator(bool separator);
  bool IsMarked() const { return mMarked; }
  bool IsSeparator() const { return mSeparator; }
  // Copied from the list box.
  void SetMenuMode(bool menuMode) { mMenuMode = menuMode; }
  bool IsMenuMode() const { return mMenuMode; }
  // Shows the look of GetLookIndex and repaints the row.
  void UpdateLook();

private:
  bool mMarked = false;
  bool mMenuMode = false;
  bool mSeparator = false;
};

} // namespace QZ
