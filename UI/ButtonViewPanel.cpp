#include "UI/ButtonViewPanel.h"

using QZ::QZResult;
using QZ::RCPtr;

namespace {

constexpr uint32_t kModeOffset = 1;
constexpr uint32_t kNumberOffset = 2;

// The message label's and the tool tip's formats of a mode; null for a mode not known.
struct ModeTexts {
  const char16_t* label;
  const char16_t* line;
};
ModeTexts TextsOfMode(uint8_t mode) {
  switch (mode) {
  case 0: // CC momentary
  case 1: // CC toggle
    return {u"CC: %d", u"CC: %d"};
  case 2:
    return {u"PG: %d", u"Program: %d"};
  case 3: // note
  case 4: // note toggle
    return {u"NT: %d", u"Note: %d"};
  default:
    return {nullptr, nullptr};
  }
}

} // namespace

LCommonButtonViewPanel::LCommonButtonViewPanel(const RCPtr<QZ::LControl>& parent, const QZ::WString& name)
    : LElementViewPanel(parent, name) {}

QZResult LCommonButtonViewPanel::Initialize() {
  const QZResult result = LElementViewPanel::Initialize();
  if (QZ::Failed(result)) {
    return result;
  }
  mMessageLabel = FindLabel(u"messageLabel");
  mChannelLabel = FindLabel(u"channelLabel");
  return result;
}

int32_t LCommonButtonViewPanel::SetParamValueLocal(const QZ::ParamDescriptor& descriptor, const QZ::Variant& value,
                                                   bool) {
  const uint32_t k = descriptor.id - GetFirstParamID();
  uint8_t channel = 0;
  if (k == 0 && mChannelLabel && OneByte(value, channel)) {
    const QZ::WString text = channel == 0 ? QZ::WString(u"G") : QZ::WString::Format(u"%d", channel);
    ShowFormattedLabel(*mChannelLabel, text);
  }
  UpdateMessageLabel();
  UpdateToolTip();
  return k <= kModeOffset ? QZ::QZ_OK : QZ::QZ_E_FAIL;
}

void LCommonButtonViewPanel::UpdateMessageLabel() {
  // A skin without the message's label still shows the channel and the tool tip.
  if (!mMessageLabel) {
    return;
  }
  const uint32_t first = GetFirstParamID();
  const ModeTexts texts = TextsOfMode(EngineByte(first + kModeOffset));
  const QZ::WString text =
      texts.label ? QZ::WString::Format(texts.label, EngineByte(first + kNumberOffset)) : QZ::WString(u" ");
  mMessageLabel->SetText(text);
}

void LCommonButtonViewPanel::UpdateToolTip() {
  const uint32_t first = GetFirstParamID();
  const QZ::WString button = QZ::WString::Format(u"Button: %d", GetIndex() + 1);
  const QZ::WString channel = ChannelToolTipLine(EngineByte(first));
  const ModeTexts texts = TextsOfMode(EngineByte(first + kModeOffset));
  SetToolTip(texts.line
                 ? JoinLines({button, channel, QZ::WString::Format(texts.line, EngineByte(first + kNumberOffset))})
                 : JoinLines({button, channel}));
}

QZResult LCommonButtonViewPanel::ReleaseInternalReferences() {
  mMessageLabel = nullptr;
  mChannelLabel = nullptr;
  return LPanel::ReleaseInternalReferences();
}
