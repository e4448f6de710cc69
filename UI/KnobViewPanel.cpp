#include "UI/KnobViewPanel.h"

using QZ::QZResult;
using QZ::RCPtr;

LKnobViewPanel::LKnobViewPanel(const RCPtr<QZ::LControl>& parent, const QZ::WString& name)
    : LElementViewPanel(parent, name) {}

QZResult LKnobViewPanel::Initialize() {
  const QZResult result = LElementViewPanel::Initialize();
  if (QZ::Failed(result)) {
    return result;
  }
  mCcLabel = FindLabel(u"ccLabel");
  mChannelLabel = FindLabel(u"channelLabel");
  return result;
}

int32_t LKnobViewPanel::SetParamValueLocal(const QZ::ParamDescriptor& descriptor, const QZ::Variant& value, bool) {
  const uint32_t k = descriptor.id - GetFirstParamID();
  int32_t result = QZ::QZ_OK;
  uint8_t channel = 0;
  if (k == 0 && mChannelLabel) {
    if (OneByte(value, channel)) {
      ShowFormattedLabel(*mChannelLabel, ShortChannelText(int8_t(channel)));
    }
  } else if (k == 1 && mCcLabel) {
    ShowFormattedLabel(*mCcLabel, value.ToUInt8());
  } else {
    result = QZ::QZ_E_FAIL;
  }
  UpdateToolTip();
  return result;
}

void LKnobViewPanel::UpdateToolTip() {
  const uint32_t first = GetFirstParamID();
  const char16_t* kind = first >= kFirstKnobParamId ? u"Knob: %d" : u"Fader: %d";
  SetToolTip(JoinLines({QZ::WString::Format(kind, GetIndex() + 1), ChannelToolTipLine(EngineByte(first)),
                        QZ::WString::Format(u"CC: %d", EngineByte(first + 1))}));
}

QZResult LKnobViewPanel::ReleaseInternalReferences() {
  mCcLabel = nullptr;
  mChannelLabel = nullptr;
  return LPanel::ReleaseInternalReferences();
}
