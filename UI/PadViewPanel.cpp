#include "UI/PadViewPanel.h"

using QZ::QZResult;
using QZ::RCPtr;

namespace {

constexpr uint8_t kLastMidiChannel = 16;
constexpr uint8_t kOmniChannel = 21;

// The tool tip's channel line, which names the pads' zones (17 .. 20) and omni (21).
QZ::WString PadChannelLine(uint8_t channel) {
  if (channel <= kLastMidiChannel) { // "Global" for 0
    return ChannelToolTipLine(channel);
  }
  if (channel == kOmniChannel) {
    return QZ::WString(u"Channel: Omni");
  }
  return QZ::WString::Format(u"Channel: Zone %d", channel - kLastMidiChannel);
}

} // namespace

LPadViewPanel::LPadViewPanel(const RCPtr<QZ::LControl>& parent, const QZ::WString& name)
    : LElementViewPanel(parent, name) {}

QZResult LPadViewPanel::Initialize() {
  const QZResult result = LElementViewPanel::Initialize();
  if (QZ::Failed(result)) {
    return result;
  }
  mMessageLabel = FindLabel(u"messageLabel");
  mChannelLabel = FindLabel(u"channelLabel");
  return result;
}

int32_t LPadViewPanel::SetParamValueLocal(const QZ::ParamDescriptor& descriptor, const QZ::Variant& value, bool) {
  int32_t result = QZ::QZ_E_FAIL;
  uint8_t channel = 0;
  if (descriptor.id == GetFirstParamID() && mChannelLabel) {
    if (OneByte(value, channel)) {
      ShowFormattedLabel(*mChannelLabel, ShortChannelText(int8_t(channel)));
    }
    result = QZ::QZ_OK;
  }
  UpdateNoteLabel();
  UpdateToolTip();
  return result;
}

void LPadViewPanel::UpdateNoteLabel() {
  // A skin without the note's label still shows the channel and the tool tip.
  if (mMessageLabel) {
    mMessageLabel->SetText(QZ::WString::Format(u"NT: %d", EngineByte(GetFirstParamID() + 1)));
  }
}

void LPadViewPanel::UpdateToolTip() {
  const uint32_t first = GetFirstParamID();
  SetToolTip(JoinLines({QZ::WString::Format(u"Pad: %d", GetIndex() + 1), PadChannelLine(EngineByte(first)),
                        QZ::WString::Format(u"Note: %d", EngineByte(first + 1))}));
}

QZResult LPadViewPanel::ReleaseInternalReferences() {
  mChannelLabel = nullptr;
  mMessageLabel = nullptr;
  return LPanel::ReleaseInternalReferences();
}
