#pragma once
// Every control class name the program registers: the framework's 40 ("Framework.") and
// the editor's 123 ("PresetEditor."), in registration order, each with the class its
// create function constructs; which of them the editor's skins use; and which classes are
// not built yet. A skin names only these classes; the registration tests check the same
// lists against the factory.
//
//   for (const QZTest::ControlClassName& name : QZTest::kFrameworkClassNames) { ... name.name, name.type ... }
//   QZTest::IsRegisteredClassName("Framework.Button")   // true

#include <algorithm>
#include <array>
#include <iterator>
#include <string_view>

namespace QZTest {

struct ControlClassName {
  std::string_view name;
  // The class constructed for it.
  std::string_view type;
};

inline constexpr ControlClassName kFrameworkClassNames[] = {
    {"Framework.Button", "QZ::LButton"},
    {"Framework.OverlayButton", "QZ::LListBoxItem"},
    {"Framework.ListBox", "QZ::LListBox"},
    {"Framework.listboxNoScroll", "QZ::LListBox"},
    {"Framework.ListBoxItem", "QZ::LListBoxItem"},
    {"Framework.CheckedListBox", "QZ::LCheckedListBox"},
    {"Framework.CheckedListBoxItem", "QZ::LCheckedListBoxItem"},
    {"Framework.ListBoxWithIcons", "QZ::LCheckedListBox"},
    {"Framework.listbox2ColumnSortable", "QZ::LMultiColumnListBox"},
    {"Framework.ScrollBar", "QZ::LScrollbar"},
    {"Framework.ScrollChannel", "QZ::LPanel"},
    {"Framework.ComboBox", "QZ::LComboBox"},
    {"Framework.ComboTextBox", "QZ::LComboBox"},
    {"Framework.CheckedComboBox", "QZ::LCheckedComboBox"},
    {"Framework.ComboBoxWithIcons", "QZ::LCheckedComboBox"},
    {"Framework.ComboSlider", "QZ::LComboSlider"},
    {"Framework.ComboSlider.DropDownPanel", "QZ::LPanel"},
    {"Framework.Slider", "QZ::LSlider"},
    {"Framework.Knob", "QZ::LKnob"},
    {"Framework.TabControl", "QZ::LTabControl"},
    {"Framework.Label", "QZ::LLabel"},
    {"Framework.TextBox", "QZ::LTextBox"},
    {"Framework.NumericUpDown", "QZ::LNumericUpDown"},
    {"Framework.Panel", "QZ::LPanel"},
    {"Framework.ToolTip", "QZ::LToolTip"},
    {"Framework.PopupMenu", "QZ::LPopupMenu"},
    {"Framework.MenuItem", "QZ::LMenuListBoxItem"},
    {"Framework.ComboMenu", "QZ::LComboMenu"},
    {"Framework.MainMenu", "QZ::LMainMenu"},
    {"Framework.FileDropper", "QZ::LFileDropper"},
    {"Framework.StatusBar", "QZ::LStatusBar"},
    {"Framework.SplitterH", "QZ::LSplitterH"},
    {"Framework.SplitterV", "QZ::LSplitterV"},
    {"Framework.LevelMeter", "QZ::LLevelMeter"},
    {"Framework.ProgressBar", "QZ::LProgressBar"},
    {"Framework.TreeView", "QZ::LTreeView"},
    {"Framework.TreeViewItem", "QZ::LTreeViewItem"},
    {"Framework.Dropper", "QZ::LDropper"},
    {"Framework.CenteredSlider", "QZ::LCenteredSlider"},
    {"Framework.CenteredSliderBounds", "QZ::LPanel"},
};

inline constexpr ControlClassName kEditorClassNames[] = {
    {"PresetEditor.MainControl", "QZ::LMainControl"},
    {"PresetEditor.MainControl.DeviceView", "LDeviceView"},
    {"PresetEditor.MainControl.DeviceView.TabControl", "QZ::LTabControl"},
    {"PresetEditor.TabControl", "QZ::LTabControl"},
    {"PresetEditor.EncoderEditPanel.TabControl", "QZ::LTabControl"},
    {"PresetEditor.EncoderTurnEditPanel.TabControl", "QZ::LTabControl"},
    {"PresetEditor.BackButtonUserPresetEditPanel.TabControl", "QZ::LTabControl"},
    {"PresetEditor.KeyboardUserPresetEditPanel.TabControl", "QZ::LTabControl"},
    {"PresetEditor.ButtonEditPanel.TabControl", "QZ::LTabControl"},
    {"PresetEditor.PadDawPresetEditPanel.TabControl", "QZ::LTabControl"},
    {"PresetEditor.DawButtonEditPanel.TabControl", "QZ::LTabControl"},
    {"PresetEditor.PadUserPresetEditPanel.TabControl", "QZ::LTabControl"},
    {"PresetEditor.EncoderPushEditPanel.TabControl", "QZ::LTabControl"},
    {"PresetEditor.MainControl.DeviceView.TabControl.PageHolder", "QZ::LScrollView"},
    {"PresetEditor.MainControl.DeviceView.TabControl.ButtonHolder", "QZ::LScrollView"},
    {"PresetEditor.UserPresetEditorView", "QZ::LScrollView"},
    {"PresetEditor.EncoderEditPanel.TabControl.ButtonHolder", "QZ::LScrollView"},
    {"PresetEditor.UserPresetEditor", "LUserPresetPanel"},
    {"PresetEditor.UserPresetEditPanel", "LUserPresetEditPanel"},
    {"PresetEditor.GlobalPresetEditor", "LGlobalPresetEditPanel"},
    {"PresetEditor.Dialog.SendPresetToHardware", "LSendPresetToMidiDeviceDlg"},
    {"PresetEditor.Dialog.RetrievePresetFromHardware", "LGetPresetFromMidiDeviceDlg"},
    {"PresetEditor.Control.PresetSlotCombobox", "QZ::LPanel"},
    {"PresetEditor.UserPresetSliderGroup", "QZ::LPanel"},
    {"PresetEditor.UserPresetKnobGroup", "QZ::LPanel"},
    {"PresetEditor.UserPresetPadGroup", "QZ::LPanel"},
    {"PresetEditor.EncoderGroup", "QZ::LPanel"},
    {"PresetEditor.UserWheelGroup", "QZ::LPanel"},
    {"PresetEditor.UserKeyboardGroup", "QZ::LPanel"},
    {"PresetEditor.UserSustainGroup", "QZ::LPanel"},
    {"PresetEditor.UserPitchWheel", "QZ::LPanel"},
    {"PresetEditor.UserModWheel", "QZ::LPanel"},
    {"PresetEditor.UserKeyboard", "QZ::LPanel"},
    {"PresetEditor.UserPresetButtonGroup", "QZ::LPanel"},
    {"PresetEditor.PadColor", "QZ::LPanel"},
    {"PresetEditor.BankButtonsPanel", "QZ::LPanel"},
    {"PresetEditor.MainControl.ButtonView.Button.ColorIndicator", "QZ::LPanel"},
    {"PresetEditor.Panel.TabControl", "QZ::LPanel"},
    {"PresetEditor.TabControl.ButtonHolder", "QZ::LPanel"},
    {"PresetEditor.TabControl.PageHolder", "QZ::LPanel"},
    {"PresetEditor.EncoderEditPanel.TabControl.PageHolder", "QZ::LPanel"},
    {"PresetEditor.EncoderTurnEditPanel.TabControl.PageHolder", "QZ::LPanel"},
    {"PresetEditor.EncoderTurnEditPanel.TabControl.ButtonHolder", "QZ::LPanel"},
    {"PresetEditor.BackButtonUserPresetEditPanel.TabControl.PageHolder", "QZ::LPanel"},
    {"PresetEditor.BackButtonUserPresetEditPanel.TabControl.ButtonHolder", "QZ::LPanel"},
    {"PresetEditor.KeyboardUserPresetEditPanel.TabControl.PageHolder", "QZ::LPanel"},
    {"PresetEditor.KeyboardUserPresetEditPanel.TabControl.ButtonHolder", "QZ::LPanel"},
    {"PresetEditor.KeyboardZonesUserPresetEditPanel", "QZ::LPanel"},
    {"PresetEditor.DawChannelModeButtonGroup", "QZ::LPanel"},
    {"PresetEditor.DawChannelModeButton", "QZ::LPanel"},
    {"PresetEditor.DawPresetButtonGroup", "QZ::LPanel"},
    {"PresetEditor.DawTransportButtonGroup", "QZ::LPanel"},
    {"PresetEditor.DawPresetModeButtonGroup", "QZ::LPanel"},
    {"PresetEditor.DawPresetSliderGroup", "QZ::LPanel"},
    {"PresetEditor.DawHotKeyGroup", "QZ::LPanel"},
    {"PresetEditor.HotKeyGroupEditPanel", "QZ::LPanel"},
    {"PresetEditor.DawHotKey", "QZ::LPanel"},
    {"PresetEditor.DawBackButtonGroup", "QZ::LPanel"},
    {"PresetEditor.DawBankButtonGroupPanel", "QZ::LPanel"},
    {"PresetEditor.DawPresetButtonGroupModeGroup", "QZ::LPanel"},
    {"PresetEditor.DawPresetKnobGroup", "QZ::LPanel"},
    {"PresetEditor.DawPresetPadGroup", "QZ::LPanel"},
    {"PresetEditor.ArpUserArpEditPanel", "QZ::LPanel"},
    {"PresetEditor.ButtonEditPanel.TabControl.PageHolder", "QZ::LPanel"},
    {"PresetEditor.ButtonEditPanel.TabControl.ButtonHolder", "QZ::LPanel"},
    {"PresetEditor.PadDawPresetEditPanel.TabControl.PageHolder", "QZ::LPanel"},
    {"PresetEditor.PadDawPresetEditPanel.TabControl.ButtonHolder", "QZ::LPanel"},
    {"PresetEditor.DawButtonEditPanel.TabControl.PageHolder", "QZ::LPanel"},
    {"PresetEditor.DawButtonEditPanel.TabControl.ButtonHolder", "QZ::LPanel"},
    {"PresetEditor.WheelsUserPresetEditPanel", "QZ::LPanel"},
    {"PresetEditor.KeyboardUserPresetEditPanel", "QZ::LPanel"},
    {"PresetEditor.PadUserPresetEditPanel.TabControl.PageHolder", "QZ::LPanel"},
    {"PresetEditor.PadUserPresetEditPanel.TabControl.ButtonHolder", "QZ::LPanel"},
    {"PresetEditor.EncoderPushEditPanel.TabControl.PageHolder", "QZ::LPanel"},
    {"PresetEditor.EncoderPushEditPanel.TabControl.ButtonHolder", "QZ::LPanel"},
    {"PresetEditor.UserWheelButton", "QZ::LPanel"},
    {"PresetEditor.DialogAbout", "LAboutDlg"},
    {"PresetEditor.UserSustain", "LSustainViewPanel"},
    {"PresetEditor.CommonButton", "LCommonButtonViewPanel"},
    {"PresetEditor.UserKnob", "LKnobViewPanel"},
    {"PresetEditor.UserSlider", "LKnobViewPanel"},
    {"PresetEditor.KnobUserPresetEditPanel", "LKnobEditPanel"},
    {"PresetEditor.SliderUserPresetEditPanel", "LKnobEditPanel"},
    {"PresetEditor.CommonButtonEditPanel", "LCommonButtonEditPanel"},
    {"PresetEditor.PadUserPresetEditPanel", "LPadEditPanel"},
    {"PresetEditor.Control.LabeledMinSelector", "LVariantBufferSetterParameterPanel"},
    {"PresetEditor.Control.LabeledMaxSelector", "LVariantBufferSetterParameterPanel"},
    {"PresetEditor.Control.LabeledMidiChannelSelector", "LVariantBufferSetterParameterPanel"},
    {"PresetEditor.Control.LabeledPressedSelector", "LVariantBufferSetterParameterPanel"},
    {"PresetEditor.Control.LabeledReleasedSelector", "LVariantBufferSetterParameterPanel"},
    {"PresetEditor.Control.LabeledCCSelector", "LVariantBufferSetterParameterPanel"},
    {"PresetEditor.Control.LabeledLatchingSelector", "LVariantBufferSetterParameterPanel"},
    {"PresetEditor.Control.LabeledButtonModeSelector", "LVariantBufferSetterParameterPanel"},
    {"PresetEditor.Control.LabeledProgramSelector", "LVariantBufferSetterParameterPanel"},
    {"PresetEditor.Control.LabeledNoteSelector", "LVariantBufferSetterParameterPanel"},
    {"PresetEditor.Control.LabeledChordModeSelector", "LVariantBufferSetterParameterPanel"},
    {"PresetEditor.Control.LabeledChordSmartScaleSelector", "LVariantBufferSetterParameterPanel"},
    {"PresetEditor.Control.LabeledRootNoteSelector", "LVariantBufferSetterParameterPanel"},
    {"PresetEditor.Control.LabeledChordVoicingsSelector", "LVariantBufferSetterParameterPanel"},
    {"PresetEditor.Control.LabeledScaleModeScaleSelector", "LVariantBufferSetterParameterPanel"},
    {"PresetEditor.Control.LabeledArpGateSelector", "LVariantBufferSetterParameterPanel"},
    {"PresetEditor.Control.LabeledArpLatchSelector", "LVariantBufferSetterParameterPanel"},
    {"PresetEditor.Control.LabeledArpOctaveSelector", "LVariantBufferSetterParameterPanel"},
    {"PresetEditor.Control.LabeledArpSwingSelector", "LVariantBufferSetterParameterPanel"},
    {"PresetEditor.Control.LabeledArpTypeSelector", "LVariantBufferSetterParameterPanel"},
    {"PresetEditor.Control.LabeledKeybedSensitivity", "LVariantBufferSetterParameterPanel"},
    {"PresetEditor.Control.LabeledPadSensitivity", "LVariantBufferSetterParameterPanel"},
    {"PresetEditor.Control.LabeledDawSettingSelector", "LVariantBufferSetterParameterPanel"},
    {"PresetEditor.Control.LabeledGlobalMidiChannelSelector", "LVariantBufferSetterParameterPanel"},
    {"PresetEditor.Control.LabeledTimeDivisionSelector", "LVariantBufferSetterParameterPanel"},
    {"PresetEditor.Control.LabeledClockSourceSelector", "LVariantBufferSetterParameterPanel"},
    {"PresetEditor.Control.CCSelector", "LNumberBoxTextSelector"},
    {"PresetEditor.Control.NoteSelector", "LMidiNoteSelector"},
    {"PresetEditor.ModWheelUserPresetEditPanel", "LModWheelEditPanel"},
    {"PresetEditor.SustainUserPresetEditPanel", "LSustainEditPanel"},
    {"PresetEditor.PitchBendUserPresetEditPanel", "LPitchBendEditPanel"},
    {"PresetEditor.ScaleModeUserPresetEditPanel", "LScaleEditPanel"},
    {"PresetEditor.ChordModeUserPresetEditPanel", "LUserPresetChordEditPanel"},
    {"PresetEditor.UserPresetTempoGroup", "LClockEditPanel"},
    {"PresetEditor.ArpUserPresetEditPanel", "LArpEditPanel"},
    {"PresetEditor.UserPad", "LPadViewPanel"},
    {"PresetEditor.Control.LabeledChordNoteSelector", "LChordModeNoteVariantBufferSetterParameterPanel"},
    {"PresetEditor.Control.ProductLogoLabels", "QZ::LLabel"},
};

// The framework names the editor's skins use; the other 25 are registered only.
inline constexpr std::string_view kFrameworkNamesInSkins[] = {
    "Framework.Button",        "Framework.ComboBox",      "Framework.ComboMenu",   "Framework.FileDropper",
    "Framework.Label",         "Framework.ListBox",       "Framework.ListBoxItem", "Framework.MainMenu",
    "Framework.MenuItem",      "Framework.NumericUpDown", "Framework.PopupMenu",   "Framework.ScrollBar",
    "Framework.ScrollChannel", "Framework.TextBox",       "Framework.ToolTip",     "Framework.Panel",
};

// The editor names that no skin of the editor uses; every other one is used.
inline constexpr std::string_view kEditorNamesNotInSkins[] = {
    "PresetEditor.EncoderGroup",
    "PresetEditor.UserPitchWheel",
    "PresetEditor.UserModWheel",
    "PresetEditor.PadColor",
    "PresetEditor.BankButtonsPanel",
    "PresetEditor.MainControl.ButtonView.Button.ColorIndicator",
    "PresetEditor.Panel.TabControl",
    "PresetEditor.TabControl",
    "PresetEditor.TabControl.ButtonHolder",
    "PresetEditor.TabControl.PageHolder",
    "PresetEditor.EncoderEditPanel.TabControl",
    "PresetEditor.EncoderEditPanel.TabControl.PageHolder",
    "PresetEditor.EncoderEditPanel.TabControl.ButtonHolder",
    "PresetEditor.EncoderTurnEditPanel.TabControl",
    "PresetEditor.EncoderTurnEditPanel.TabControl.PageHolder",
    "PresetEditor.EncoderTurnEditPanel.TabControl.ButtonHolder",
    "PresetEditor.BackButtonUserPresetEditPanel.TabControl",
    "PresetEditor.BackButtonUserPresetEditPanel.TabControl.PageHolder",
    "PresetEditor.BackButtonUserPresetEditPanel.TabControl.ButtonHolder",
    "PresetEditor.KeyboardZonesUserPresetEditPanel",
    "PresetEditor.DawChannelModeButtonGroup",
    "PresetEditor.DawChannelModeButton",
    "PresetEditor.DawPresetButtonGroup",
    "PresetEditor.DawTransportButtonGroup",
    "PresetEditor.DawPresetModeButtonGroup",
    "PresetEditor.DawPresetSliderGroup",
    "PresetEditor.DawHotKeyGroup",
    "PresetEditor.HotKeyGroupEditPanel",
    "PresetEditor.DawHotKey",
    "PresetEditor.DawBackButtonGroup",
    "PresetEditor.DawBankButtonGroupPanel",
    "PresetEditor.DawPresetButtonGroupModeGroup",
    "PresetEditor.DawPresetKnobGroup",
    "PresetEditor.DawPresetPadGroup",
    "PresetEditor.ArpUserArpEditPanel",
    "PresetEditor.ButtonEditPanel.TabControl",
    "PresetEditor.ButtonEditPanel.TabControl.PageHolder",
    "PresetEditor.ButtonEditPanel.TabControl.ButtonHolder",
    "PresetEditor.PadDawPresetEditPanel.TabControl",
    "PresetEditor.PadDawPresetEditPanel.TabControl.PageHolder",
    "PresetEditor.PadDawPresetEditPanel.TabControl.ButtonHolder",
    "PresetEditor.DawButtonEditPanel.TabControl",
    "PresetEditor.DawButtonEditPanel.TabControl.PageHolder",
    "PresetEditor.DawButtonEditPanel.TabControl.ButtonHolder",
    "PresetEditor.PadUserPresetEditPanel.TabControl",
    "PresetEditor.PadUserPresetEditPanel.TabControl.PageHolder",
    "PresetEditor.PadUserPresetEditPanel.TabControl.ButtonHolder",
    "PresetEditor.EncoderPushEditPanel.TabControl",
    "PresetEditor.EncoderPushEditPanel.TabControl.PageHolder",
    "PresetEditor.EncoderPushEditPanel.TabControl.ButtonHolder",
    "PresetEditor.Control.LabeledChordSmartScaleSelector",
};

// The names whose class is not built yet: the program registers them with the stand-in
// that makes a plain panel (QZ::CreateNotBuiltYet). The work that builds a class registers
// it under its names and takes them out of this list; every class is built now.
inline constexpr std::array<std::string_view, 0> kNamesNotBuiltYet{};

static_assert(std::size(kFrameworkClassNames) == 40);
static_assert(std::size(kEditorClassNames) == 123);
static_assert(std::size(kFrameworkNamesInSkins) == 16);
static_assert(std::size(kEditorNamesNotInSkins) == 51);

inline bool IsNotBuiltYet(std::string_view name) {
  return std::find(std::begin(kNamesNotBuiltYet), std::end(kNamesNotBuiltYet), name) != std::end(kNamesNotBuiltYet);
}

inline bool IsRegisteredClassName(std::string_view name) {
  const auto named = [name](const ControlClassName& entry) { return entry.name == name; };
  return std::any_of(std::begin(kFrameworkClassNames), std::end(kFrameworkClassNames), named) ||
         std::any_of(std::begin(kEditorClassNames), std::end(kEditorClassNames), named);
}

} // namespace QZTest
