#include "Panel/Main/EditorControlClasses.h"

#include "QZFramework/ControlBase/ControlCreate.h"
#include "QZFramework/Controls/Label.h"
#include "QZFramework/Controls/Panel.h"
#include "QZFramework/Controls/ScrollView.h"
#include "QZFramework/Controls/TabControl.h"
#include "UI/ArpEditPanel.h"
#include "UI/ButtonEditPanel.h"
#include "UI/ButtonViewPanel.h"
#include "UI/ChordEditPanel.h"
#include "UI/ChordModeNoteVariantBufferSetterParameterPanel.h"
#include "UI/ClockEditPanel.h"
#include "UI/DeviceView.h"
#include "UI/DriverCommon/MainControl.h"
#include "UI/GlobalPresetEditPanel.h"
#include "UI/KnobEditPanel.h"
#include "UI/KnobViewPanel.h"
#include "UI/ModWheelEditPanel.h"
#include "UI/PadEditPanel.h"
#include "UI/PadViewPanel.h"
#include "UI/PitchBendEditPanel.h"
#include "UI/PresetEditorCommon/AboutDlg.h"
#include "UI/PresetEditorCommon/GetPresetFromMidiDeviceDlg.h"
#include "UI/PresetEditorCommon/MidiNoteSelector.h"
#include "UI/PresetEditorCommon/NumberBoxTextSelector.h"
#include "UI/PresetEditorCommon/SendPresetToMidiDeviceDlg.h"
#include "UI/PresetEditorCommon/VariantBufferSetterParameterPanel.h"
#include "UI/ScaleEditPanel.h"
#include "UI/SustainEditPanel.h"
#include "UI/SustainViewPanel.h"
#include "UI/UserPresetEditPanel.h"
#include "UI/UserPresetPanel.h"

namespace QZ {

namespace {

constexpr ControlClassEntry kEditorControlClasses[] = {
    {u"PresetEditor.MainControl", &CreateControlOf<LMainControl>},
    {u"PresetEditor.MainControl.DeviceView", &CreateControlOf<LDeviceView>},
    {u"PresetEditor.MainControl.DeviceView.TabControl", &CreateControlOf<LTabControl>},
    {u"PresetEditor.TabControl", &CreateControlOf<LTabControl>},
    {u"PresetEditor.EncoderEditPanel.TabControl", &CreateControlOf<LTabControl>},
    {u"PresetEditor.EncoderTurnEditPanel.TabControl", &CreateControlOf<LTabControl>},
    {u"PresetEditor.BackButtonUserPresetEditPanel.TabControl", &CreateControlOf<LTabControl>},
    {u"PresetEditor.KeyboardUserPresetEditPanel.TabControl", &CreateControlOf<LTabControl>},
    {u"PresetEditor.ButtonEditPanel.TabControl", &CreateControlOf<LTabControl>},
    {u"PresetEditor.PadDawPresetEditPanel.TabControl", &CreateControlOf<LTabControl>},
    {u"PresetEditor.DawButtonEditPanel.TabControl", &CreateControlOf<LTabControl>},
    {u"PresetEditor.PadUserPresetEditPanel.TabControl", &CreateControlOf<LTabControl>},
    {u"PresetEditor.EncoderPushEditPanel.TabControl", &CreateControlOf<LTabControl>},
    {u"PresetEditor.MainControl.DeviceView.TabControl.PageHolder", &CreateControlOf<LScrollView>},
    {u"PresetEditor.MainControl.DeviceView.TabControl.ButtonHolder", &CreateControlOf<LScrollView>},
    {u"PresetEditor.UserPresetEditorView", &CreateControlOf<LScrollView>},
    {u"PresetEditor.EncoderEditPanel.TabControl.ButtonHolder", &CreateControlOf<LScrollView>},
    {u"PresetEditor.UserPresetEditor", &CreateControlOf<LUserPresetPanel>},
    {u"PresetEditor.UserPresetEditPanel", &CreateControlOf<LUserPresetEditPanel>},
    {u"PresetEditor.GlobalPresetEditor", &CreateControlOf<LGlobalPresetEditPanel>},
    {u"PresetEditor.Dialog.SendPresetToHardware", &CreateControlOf<LSendPresetToMidiDeviceDlg>},
    {u"PresetEditor.Dialog.RetrievePresetFromHardware", &CreateControlOf<LGetPresetFromMidiDeviceDlg>},
    {u"PresetEditor.Control.PresetSlotCombobox", &CreateControlOf<LPanel>},
    {u"PresetEditor.UserPresetSliderGroup", &CreateControlOf<LPanel>},
    {u"PresetEditor.UserPresetKnobGroup", &CreateControlOf<LPanel>},
    {u"PresetEditor.UserPresetPadGroup", &CreateControlOf<LPanel>},
    {u"PresetEditor.EncoderGroup", &CreateControlOf<LPanel>},
    {u"PresetEditor.UserWheelGroup", &CreateControlOf<LPanel>},
    {u"PresetEditor.UserKeyboardGroup", &CreateControlOf<LPanel>},
    {u"PresetEditor.UserSustainGroup", &CreateControlOf<LPanel>},
    {u"PresetEditor.UserPitchWheel", &CreateControlOf<LPanel>},
    {u"PresetEditor.UserModWheel", &CreateControlOf<LPanel>},
    {u"PresetEditor.UserKeyboard", &CreateControlOf<LPanel>},
    {u"PresetEditor.UserPresetButtonGroup", &CreateControlOf<LPanel>},
    {u"PresetEditor.PadColor", &CreateControlOf<LPanel>},
    {u"PresetEditor.BankButtonsPanel", &CreateControlOf<LPanel>},
    {u"PresetEditor.MainControl.ButtonView.Button.ColorIndicator", &CreateControlOf<LPanel>},
    {u"PresetEditor.Panel.TabControl", &CreateControlOf<LPanel>},
    {u"PresetEditor.TabControl.ButtonHolder", &CreateControlOf<LPanel>},
    {u"PresetEditor.TabControl.PageHolder", &CreateControlOf<LPanel>},
    {u"PresetEditor.EncoderEditPanel.TabControl.PageHolder", &CreateControlOf<LPanel>},
    {u"PresetEditor.EncoderTurnEditPanel.TabControl.PageHolder", &CreateControlOf<LPanel>},
    {u"PresetEditor.EncoderTurnEditPanel.TabControl.ButtonHolder", &CreateControlOf<LPanel>},
    {u"PresetEditor.BackButtonUserPresetEditPanel.TabControl.PageHolder", &CreateControlOf<LPanel>},
    {u"PresetEditor.BackButtonUserPresetEditPanel.TabControl.ButtonHolder", &CreateControlOf<LPanel>},
    {u"PresetEditor.KeyboardUserPresetEditPanel.TabControl.PageHolder", &CreateControlOf<LPanel>},
    {u"PresetEditor.KeyboardUserPresetEditPanel.TabControl.ButtonHolder", &CreateControlOf<LPanel>},
    {u"PresetEditor.KeyboardZonesUserPresetEditPanel", &CreateControlOf<LPanel>},
    {u"PresetEditor.DawChannelModeButtonGroup", &CreateControlOf<LPanel>},
    {u"PresetEditor.DawChannelModeButton", &CreateControlOf<LPanel>},
    {u"PresetEditor.DawPresetButtonGroup", &CreateControlOf<LPanel>},
    {u"PresetEditor.DawTransportButtonGroup", &CreateControlOf<LPanel>},
    {u"PresetEditor.DawPresetModeButtonGroup", &CreateControlOf<LPanel>},
    {u"PresetEditor.DawPresetSliderGroup", &CreateControlOf<LPanel>},
    {u"PresetEditor.DawHotKeyGroup", &CreateControlOf<LPanel>},
    {u"PresetEditor.HotKeyGroupEditPanel", &CreateControlOf<LPanel>},
    {u"PresetEditor.DawHotKey", &CreateControlOf<LPanel>},
    {u"PresetEditor.DawBackButtonGroup", &CreateControlOf<LPanel>},
    {u"PresetEditor.DawBankButtonGroupPanel", &CreateControlOf<LPanel>},
    {u"PresetEditor.DawPresetButtonGroupModeGroup", &CreateControlOf<LPanel>},
    {u"PresetEditor.DawPresetKnobGroup", &CreateControlOf<LPanel>},
    {u"PresetEditor.DawPresetPadGroup", &CreateControlOf<LPanel>},
    {u"PresetEditor.ArpUserArpEditPanel", &CreateControlOf<LPanel>},
    {u"PresetEditor.ButtonEditPanel.TabControl.PageHolder", &CreateControlOf<LPanel>},
    {u"PresetEditor.ButtonEditPanel.TabControl.ButtonHolder", &CreateControlOf<LPanel>},
    {u"PresetEditor.PadDawPresetEditPanel.TabControl.PageHolder", &CreateControlOf<LPanel>},
    {u"PresetEditor.PadDawPresetEditPanel.TabControl.ButtonHolder", &CreateControlOf<LPanel>},
    {u"PresetEditor.DawButtonEditPanel.TabControl.PageHolder", &CreateControlOf<LPanel>},
    {u"PresetEditor.DawButtonEditPanel.TabControl.ButtonHolder", &CreateControlOf<LPanel>},
    {u"PresetEditor.WheelsUserPresetEditPanel", &CreateControlOf<LPanel>},
    {u"PresetEditor.KeyboardUserPresetEditPanel", &CreateControlOf<LPanel>},
    {u"PresetEditor.PadUserPresetEditPanel.TabControl.PageHolder", &CreateControlOf<LPanel>},
    {u"PresetEditor.PadUserPresetEditPanel.TabControl.ButtonHolder", &CreateControlOf<LPanel>},
    {u"PresetEditor.EncoderPushEditPanel.TabControl.PageHolder", &CreateControlOf<LPanel>},
    {u"PresetEditor.EncoderPushEditPanel.TabControl.ButtonHolder", &CreateControlOf<LPanel>},
    {u"PresetEditor.UserWheelButton", &CreateControlOf<LPanel>},
    {u"PresetEditor.DialogAbout", &CreateControlOf<LAboutDlg>},
    {u"PresetEditor.UserSustain", &CreateControlOf<LSustainViewPanel>},
    {u"PresetEditor.CommonButton", &CreateControlOf<LCommonButtonViewPanel>},
    {u"PresetEditor.UserKnob", &CreateControlOf<LKnobViewPanel>},
    {u"PresetEditor.UserSlider", &CreateControlOf<LKnobViewPanel>},
    {u"PresetEditor.KnobUserPresetEditPanel", &CreateControlOf<LKnobEditPanel>},
    {u"PresetEditor.SliderUserPresetEditPanel", &CreateControlOf<LKnobEditPanel>},
    {u"PresetEditor.CommonButtonEditPanel", &CreateControlOf<LCommonButtonEditPanel>},
    {u"PresetEditor.PadUserPresetEditPanel", &CreateControlOf<LPadEditPanel>},
    {u"PresetEditor.Control.LabeledMinSelector", &CreateControlOf<LVariantBufferSetterParameterPanel>},
    {u"PresetEditor.Control.LabeledMaxSelector", &CreateControlOf<LVariantBufferSetterParameterPanel>},
    {u"PresetEditor.Control.LabeledMidiChannelSelector", &CreateControlOf<LVariantBufferSetterParameterPanel>},
    {u"PresetEditor.Control.LabeledPressedSelector", &CreateControlOf<LVariantBufferSetterParameterPanel>},
    {u"PresetEditor.Control.LabeledReleasedSelector", &CreateControlOf<LVariantBufferSetterParameterPanel>},
    {u"PresetEditor.Control.LabeledCCSelector", &CreateControlOf<LVariantBufferSetterParameterPanel>},
    {u"PresetEditor.Control.LabeledLatchingSelector", &CreateControlOf<LVariantBufferSetterParameterPanel>},
    {u"PresetEditor.Control.LabeledButtonModeSelector", &CreateControlOf<LVariantBufferSetterParameterPanel>},
    {u"PresetEditor.Control.LabeledProgramSelector", &CreateControlOf<LVariantBufferSetterParameterPanel>},
    {u"PresetEditor.Control.LabeledNoteSelector", &CreateControlOf<LVariantBufferSetterParameterPanel>},
    {u"PresetEditor.Control.LabeledChordModeSelector", &CreateControlOf<LVariantBufferSetterParameterPanel>},
    {u"PresetEditor.Control.LabeledChordSmartScaleSelector", &CreateControlOf<LVariantBufferSetterParameterPanel>},
    {u"PresetEditor.Control.LabeledRootNoteSelector", &CreateControlOf<LVariantBufferSetterParameterPanel>},
    {u"PresetEditor.Control.LabeledChordVoicingsSelector", &CreateControlOf<LVariantBufferSetterParameterPanel>},
    {u"PresetEditor.Control.LabeledScaleModeScaleSelector", &CreateControlOf<LVariantBufferSetterParameterPanel>},
    {u"PresetEditor.Control.LabeledArpGateSelector", &CreateControlOf<LVariantBufferSetterParameterPanel>},
    {u"PresetEditor.Control.LabeledArpLatchSelector", &CreateControlOf<LVariantBufferSetterParameterPanel>},
    {u"PresetEditor.Control.LabeledArpOctaveSelector", &CreateControlOf<LVariantBufferSetterParameterPanel>},
    {u"PresetEditor.Control.LabeledArpSwingSelector", &CreateControlOf<LVariantBufferSetterParameterPanel>},
    {u"PresetEditor.Control.LabeledArpTypeSelector", &CreateControlOf<LVariantBufferSetterParameterPanel>},
    {u"PresetEditor.Control.LabeledKeybedSensitivity", &CreateControlOf<LVariantBufferSetterParameterPanel>},
    {u"PresetEditor.Control.LabeledPadSensitivity", &CreateControlOf<LVariantBufferSetterParameterPanel>},
    {u"PresetEditor.Control.LabeledDawSettingSelector", &CreateControlOf<LVariantBufferSetterParameterPanel>},
    {u"PresetEditor.Control.LabeledGlobalMidiChannelSelector", &CreateControlOf<LVariantBufferSetterParameterPanel>},
    {u"PresetEditor.Control.LabeledTimeDivisionSelector", &CreateControlOf<LVariantBufferSetterParameterPanel>},
    {u"PresetEditor.Control.LabeledClockSourceSelector", &CreateControlOf<LVariantBufferSetterParameterPanel>},
    {u"PresetEditor.Control.CCSelector", &CreateControlOf<LNumberBoxTextSelector>},
    {u"PresetEditor.Control.NoteSelector", &CreateControlOf<LMidiNoteSelector>},
    {u"PresetEditor.ModWheelUserPresetEditPanel", &CreateControlOf<LModWheelEditPanel>},
    {u"PresetEditor.SustainUserPresetEditPanel", &CreateControlOf<LSustainEditPanel>},
    {u"PresetEditor.PitchBendUserPresetEditPanel", &CreateControlOf<LPitchBendEditPanel>},
    {u"PresetEditor.ScaleModeUserPresetEditPanel", &CreateControlOf<LScaleEditPanel>},
    {u"PresetEditor.ChordModeUserPresetEditPanel", &CreateControlOf<LUserPresetChordEditPanel>},
    {u"PresetEditor.UserPresetTempoGroup", &CreateControlOf<LClockEditPanel>},
    {u"PresetEditor.ArpUserPresetEditPanel", &CreateControlOf<LArpEditPanel>},
    {u"PresetEditor.UserPad", &CreateControlOf<LPadViewPanel>},
    {u"PresetEditor.Control.LabeledChordNoteSelector",
     &CreateControlOf<LChordModeNoteVariantBufferSetterParameterPanel>},
    {u"PresetEditor.Control.ProductLogoLabels", &CreateControlOf<LLabel>},
};
static_assert(std::size(kEditorControlClasses) == 123);

} // namespace

std::span<const ControlClassEntry> EditorControlClasses() { return kEditorControlClasses; }

void RegisterEditorControlClasses(LControlFactory& factory) {
  for (const ControlClassEntry& entry : kEditorControlClasses) {
    factory.RegisterControlCreateFunction(WString(entry.name), entry.create);
  }
}

} // namespace QZ
