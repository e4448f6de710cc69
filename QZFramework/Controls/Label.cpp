#include "QZFramework/Controls/Label.h"

namespace QZ {

LLabel::LLabel(const RCPtr<LControl>& parent, const WString& name) : LControl(parent, name) {}

QZResult LLabel::OnLookChanged() {
  SetFocusable(true);
  return LControl::OnLookChanged();
}

WString LLabel::GetToolTipText() { return IsTextTruncated() ? GetText() : LControl::GetToolTipText(); }

} // namespace QZ
