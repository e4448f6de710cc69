#pragma once
// QZ::LLabel ("Framework.Label"): a control that shows its label and never takes the
// focus. Its tool tip is the label itself while the label is cut off, else its "TOOLTIP".
//
//   factory->RegisterControlCreateFunction(u"Framework.Label", &QZ::CreateControlOf<QZ::LLabel>);
//   QZ::RCPtr<QZ::LControl> caption = factory->CreateControl(panel, entry);  // "LABEL" shown
//   caption->SetText(u"Preset 1");
//
// UI thread, like every control.

#include "QZFramework/ControlBase/Control.h"

namespace QZ {

class LLabel : public LControl {
public:
  LLabel(const RCPtr<LControl>& parent, const WString& name);

  // Marks the label not focusable, whatever its skin entry says. 0.
  QZResult OnLookChanged() override;
  // The label while it is wider than the current look's text area, else the control's
  // tool tip ("TOOLTIP").
  WString GetToolTipText() override;
};

} // namespace QZ
