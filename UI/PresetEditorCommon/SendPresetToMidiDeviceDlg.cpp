#include "UI/PresetEditorCommon/SendPresetToMidiDeviceDlg.h"

#include "Engine/PresetEditorCommon/MidiManager.h"
#include "QZFramework/Controls/Button.h"
#include "QZFramework/Controls/ComboBox.h"
#include "UI/EditorUIHost.h"

using QZ::QZResult;
using QZ::RCPtr;
using QZ::WString;

namespace {

constexpr char kInitialize[] = "LSendPresetToMidiDeviceDlg::Initialize";
constexpr char kSource[] = R"(UI\PresetEditorCommon\SendPresetToMidiDeviceDlg)";
// The manager's result when the keyboard's firmware cannot take the editor's presets.
constexpr int32_t kFirmwareNotUsable = -2;

} // namespace

int32_t LSendPresetToMidiDeviceDlg::SendPresetToDevice(int32_t presetSlot) {
  QZ::IEditorUIHost* host = QZ::GetEditorUIHost();
  const RCPtr<QZ::LMidiManager> midi = host ? host->GetMidiManager() : nullptr;
  const int32_t result = midi ? int32_t(midi->SendPresetToMidiDevice(presetSlot)) : QZ::LMidiManager::kNoPort;
  WString caption;
  WString text;
  if (result >= 0) {
    caption = GetAppString(WString(u"LABEL_SEND_PRESET_SUCEESS_MSGBOX_CAPTION"));
    text = GetAppString(WString(u"LABEL_SEND_PRESET_SUCEESS_MSGBOX_TEXT"));
  } else {
    caption = GetAppString(WString(u"LABEL_SEND_PRESET_FAILED_MSGBOX_CAPTION"));
    // Every failure but the firmware's is the connection's: a success box would be a lie.
    text = GetAppString(WString(result == kFirmwareNotUsable
                                    ? u"LABEL_SEND_PRESET_FAILED_FW_COMPATIBILITY_ERROR_MSGBOX_TEXT"
                                    : u"LABEL_SEND_PRESET_FAILED_MIDI_ERROR_MSGBOX_TEXT"));
  }
  if (!text.IsEmpty()) {
    QZ::ShowEditorMessageBox(text, caption, QZ::kMessageBoxOk);
  }
  return result;
}

QZResult LSendPresetToMidiDeviceDlg::Initialize() {
  const QZResult base = LDialog::Initialize();
  if (QZ::Failed(base)) {
    return base;
  }
  if (QZ::Failed(CreateHandlerTable())) {
    QZ::CheckResult(QZ::QZ_E_OUTOFMEMORY, {kInitialize, kSource, 42});
  }
  const RCPtr<QZ::LButton> button = QZ::DynamicCast<QZ::LButton>(FindChildByName(WString(u"send")));
  if (!button) {
    QZ::Throw<std::runtime_error>({kInitialize, kSource, 46}, "Null Pointer : Cannot find child send");
  }
  Subscribe(&LSendPresetToMidiDeviceDlg::OnSendButtonClick, button, u"NID_LEFT_CLICK", {kInitialize, kSource, 47});
  return base;
}

QZResult LSendPresetToMidiDeviceDlg::OnSendButtonClick(const RCPtr<QZ::LNotificationDistributor>&,
                                                       const RCPtr<QZ::LNotification>&) {
  const RCPtr<LSendPresetToMidiDeviceDlg> self(this); // the box's loop may close the window
  const RCPtr<QZ::LControl> slot = FindChildByName(WString(u"presetSlot"));
  const RCPtr<QZ::LComboBox> combo =
      slot ? QZ::DynamicCast<QZ::LComboBox>(slot->FindChildByName(WString(u"comboBox"))) : nullptr;
  if (SendPresetToDevice(combo ? combo->GetSelectedIndex() : -1) >= 0) {
    EndDialog(0);
  }
  return QZ::QZ_FALSE;
}
