#pragma once
// LUserPresetEditPanel ("PresetEditor.UserPresetEditPanel", the "editPanel" beside the
// controller picture): the holder of the user preset's edit pages, of which it shows at
// most one. Its children are the pages, looked up by name for their kind:
//   0 "button"   the button page            4 "slider"   the fader page
//   1 "keyboard" arpeggiator, chord, scale  5 "sustain"  the sustain page
//              (its "tabControl")           6 "wheels"   "pitchBendWheel" and "modWheel"
//   2 "knob"     the knob page              7            no page
//   3 "pad"      the pad page
// The user preset panel (UserPresetPanel.h) binds the pages and shows the one of the
// element clicked; the pages edit and show the values themselves.
//
//   editPanel->ShowEditPage(LUserPresetEditPanel::kKnobPage);   // 0: "knob" alone shown, focused
//   editPanel->ShowEditPage(LUserPresetEditPanel::kNoPage);     // 0: every page hidden
//
// The handler table (its notification receiver, as every editor control with one) stays
// empty. UI thread, like every control.

#include <cstdint>

#include "QZFramework/ControlBase/HandlerTableControl.h"
#include "QZFramework/Controls/Panel.h"
#include "QZFramework/Controls/ScrollView.h"

class LUserPresetEditPanel : public QZ::LHandlerTableControl<LUserPresetEditPanel, QZ::LScrollView> {
public:
  // The page kinds.
  static constexpr uint32_t kButtonPage = 0;
  static constexpr uint32_t kKeyboardPage = 1;
  static constexpr uint32_t kKnobPage = 2;
  static constexpr uint32_t kPadPage = 3;
  static constexpr uint32_t kSliderPage = 4;
  static constexpr uint32_t kSustainPage = 5;
  static constexpr uint32_t kWheelsPage = 6;
  // Stands for no page.
  static constexpr uint32_t kNoPage = 7;

  LUserPresetEditPanel(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name);

  // The scroll view's, then the handler table: the scroll view's result. Throws "Runtime
  // Error : Null Pointer : Cannot create notification handler :
  // LUserPresetEditPanel::Initialize : UI\UserPresetEditPanel : Line 26" when no table can
  // be made.
  QZ::QZResult Initialize() override;

  // The page of kind (0 .. 6) as a panel; null for kNoPage and above, and when the child is
  // missing or no panel. Nothing is shown or changed.
  QZ::RCPtr<QZ::LPanel> GetEditPage(uint32_t kind) const;
  // Hides every other child (pages or not), then shows the page of kind (one shown already
  // is not hidden in between), keeps Tab inside it and gives it the focus: 0. kNoPage
  // leaves everything hidden: 0. A kind without a page: QZ_E_FAIL, everything hidden.
  QZ::QZResult ShowEditPage(uint32_t kind);
};
