#include "UI/SustainViewPanel.h"

LSustainViewPanel::LSustainViewPanel(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name)
    : LElementViewPanel(parent, name) {}

int32_t LSustainViewPanel::SetParamValueLocal(const QZ::ParamDescriptor&, const QZ::Variant&, bool) {
  UpdateToolTip();
  return QZ::QZ_OK;
}

void LSustainViewPanel::UpdateToolTip() {
  const uint32_t first = GetFirstParamID();
  SetToolTip(JoinLines({QZ::WString(u"Sustain"), ChannelToolTipLine(EngineByte(first)),
                        QZ::WString::Format(u"CC: %d", EngineByte(first + 1))}));
}
