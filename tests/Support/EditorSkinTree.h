#pragma once
// Where every control that the editor's code looks up by name stands in both skins: its
// path of control names from the top-level control ("mainControl/viewDevice/tabControl")
// and its class. The string tables' control tables (StringTableKeys.h) are named after the
// same places ("<parent class>|<name>").
//
//   for (const QZTest::SkinPlace& place : QZTest::EditorSkinPlaces()) {
//     ... place.path, place.className ...
//   }

#include <map>
#include <string>
#include <vector>

namespace QZTest {

// The number of looks a control of the skin class className addresses: its look list's
// size in the editor's skins.
inline int LookCountOfClass(const std::string& className) {
  static const std::map<std::string, int> sizes = {
      {"Framework.Button", 14},   {"Framework.ListBoxItem", 14},
      {"Framework.MenuItem", 14}, {"Framework.ListBox", 3},
      {"Framework.PopupMenu", 3}, {"Framework.ComboBox", 7},
      {"Framework.ComboMenu", 4}, {"Framework.ScrollChannel", 2},
      {"Framework.TextBox", 10},  {"PresetEditor.Control.ProductLogoLabels", 3},
  };
  const auto found = sizes.find(className);
  return found == sizes.end() ? 1 : found->second;
}

struct SkinPlace {
  std::string path;
  std::string className;
};

namespace SkinTreeDetail {

inline void Add(std::vector<SkinPlace>& places, const std::string& path, const std::string& className) {
  places.push_back({path, className});
}

// A combo box with its drop-down list and the list's row template.
inline void AddComboBox(std::vector<SkinPlace>& places, const std::string& path) {
  Add(places, path, "Framework.ComboBox");
  Add(places, path + "/listBox", "Framework.ListBox");
  Add(places, path + "/listBox/templateItem", "Framework.ListBoxItem");
}

inline void AddUpDown(std::vector<SkinPlace>& places, const std::string& path) {
  Add(places, path, "Framework.NumericUpDown");
  Add(places, path + "/textBox", "Framework.TextBox");
  Add(places, path + "/buttonUp", "Framework.Button");
  Add(places, path + "/buttonDown", "Framework.Button");
}

enum class Control { Combo, Number, Toggle, CC, Note };

// A labelled selector "PresetEditor.Control.<selectorClass>" and its parts.
inline void AddSelector(std::vector<SkinPlace>& places, const std::string& path, const std::string& selectorClass,
                        Control control) {
  Add(places, path, "PresetEditor.Control." + selectorClass);
  Add(places, path + "/controlNameLabel", "Framework.Label");
  const std::string parameter = path + "/parameterControl";
  switch (control) {
  case Control::Combo:
    AddComboBox(places, path + "/comboBox");
    break;
  case Control::Number:
    AddUpDown(places, parameter);
    break;
  case Control::Toggle:
    Add(places, parameter, "Framework.Button");
    break;
  case Control::CC:
    Add(places, parameter, "PresetEditor.Control.CCSelector");
    AddUpDown(places, parameter + "/numericUpDown");
    Add(places, parameter + "/label", "Framework.Label");
    break;
  case Control::Note:
    Add(places, parameter, "PresetEditor.Control.NoteSelector");
    Add(places, parameter + "/noteNameLabel", "Framework.Label");
    AddUpDown(places, parameter + "/numericUpDown");
    Add(places, parameter + "/octaveNameLabel", "Framework.Label");
    break;
  }
}

inline void AddScrollBar(std::vector<SkinPlace>& places, const std::string& path) {
  Add(places, path, "Framework.ScrollBar");
  Add(places, path + "/dec", "Framework.Button");
  Add(places, path + "/inc", "Framework.Button");
  Add(places, path + "/channel", "Framework.ScrollChannel");
  Add(places, path + "/channel/thumb", "Framework.Button");
}

// An element of the controller picture: its view panel, its button and its labels.
inline void AddElement(std::vector<SkinPlace>& places, const std::string& path, const std::string& viewClass,
                       const char* firstLabel, const char* secondLabel) {
  Add(places, path, "PresetEditor." + viewClass);
  Add(places, path + "/button", "Framework.Button");
  Add(places, path + "/" + firstLabel, "Framework.Label");
  Add(places, path + "/" + secondLabel, "Framework.Label");
}

inline void AddPicture(std::vector<SkinPlace>& places, const std::string& picture) {
  Add(places, picture, "PresetEditor.UserPresetEditor");
  Add(places, picture + "/productBodyImage", "Framework.Label");
  Add(places, picture + "/productLogosMultiLookLabel", "PresetEditor.Control.ProductLogoLabels");
  Add(places, picture + "/padBank1Label", "Framework.Label");
  Add(places, picture + "/padBank2Label", "Framework.Label");
  const std::string sliders = picture + "/sliderGroup";
  Add(places, sliders, "PresetEditor.UserPresetSliderGroup");
  const std::string buttons = picture + "/buttonGroup";
  Add(places, buttons, "PresetEditor.UserPresetButtonGroup");
  for (int i = 1; i <= 9; ++i) {
    AddElement(places, sliders + "/slider" + std::to_string(i), "UserSlider", "ccLabel", "channelLabel");
    AddElement(places, buttons + "/button" + std::to_string(i), "CommonButton", "channelLabel", "messageLabel");
  }
  const std::string knobs = picture + "/knobGroup";
  Add(places, knobs, "PresetEditor.UserPresetKnobGroup");
  for (int i = 1; i <= 8; ++i) {
    AddElement(places, knobs + "/knob" + std::to_string(i), "UserKnob", "ccLabel", "channelLabel");
  }
  for (const char* group : {"/padGroup1", "/padGroup2"}) {
    Add(places, picture + group, "PresetEditor.UserPresetPadGroup");
    for (int i = 1; i <= 8; ++i) {
      AddElement(places, picture + group + "/pad" + std::to_string(i), "UserPad", "messageLabel", "channelLabel");
    }
  }
  Add(places, picture + "/keyboardGroup", "PresetEditor.UserKeyboardGroup");
  Add(places, picture + "/keyboardGroup/keyboard1", "PresetEditor.UserKeyboard");
  Add(places, picture + "/keyboardGroup/keyboard1/button", "Framework.Button");
  Add(places, picture + "/wheelGroup", "PresetEditor.UserWheelGroup");
  Add(places, picture + "/wheelGroup/wheel", "PresetEditor.UserWheelButton");
  Add(places, picture + "/wheelGroup/wheel/button", "Framework.Button");
  Add(places, picture + "/sustainGroup", "PresetEditor.UserSustainGroup");
  Add(places, picture + "/sustainGroup/sustain1", "PresetEditor.UserSustain");
  Add(places, picture + "/sustainGroup/sustain1/button", "Framework.Button");
  Add(places, picture + "/sustainGroup/labelSustain", "Framework.Label");
  const std::string clock = picture + "/clockGroup";
  Add(places, clock, "PresetEditor.UserPresetTempoGroup");
  AddUpDown(places, clock + "/tempo");
  Add(places, clock + "/tempoLabel", "Framework.Label");
  AddSelector(places, clock + "/clockSource", "LabeledClockSourceSelector", Control::Combo);
  AddSelector(places, clock + "/timeDivision", "LabeledTimeDivisionSelector", Control::Combo);
}

inline void AddEditPanel(std::vector<SkinPlace>& places, const std::string& panel) {
  Add(places, panel, "PresetEditor.UserPresetEditPanel");
  const std::string button = panel + "/button";
  Add(places, button, "PresetEditor.CommonButtonEditPanel");
  Add(places, button + "/label", "Framework.Label");
  AddSelector(places, button + "/midiChannel", "LabeledMidiChannelSelector", Control::Combo);
  AddSelector(places, button + "/mode", "LabeledButtonModeSelector", Control::Combo);
  AddSelector(places, button + "/cc", "LabeledCCSelector", Control::CC);
  AddSelector(places, button + "/program", "LabeledProgramSelector", Control::Number);
  AddSelector(places, button + "/note", "LabeledNoteSelector", Control::Note);
  AddSelector(places, button + "/pressed", "LabeledPressedSelector", Control::Number);
  AddSelector(places, button + "/released", "LabeledReleasedSelector", Control::Number);

  const std::string keyboard = panel + "/keyboard";
  Add(places, keyboard, "PresetEditor.KeyboardUserPresetEditPanel");
  Add(places, keyboard + "/label", "Framework.Label");
  const std::string tabs = keyboard + "/tabControl";
  Add(places, tabs, "PresetEditor.KeyboardUserPresetEditPanel.TabControl");
  Add(places, tabs + "/buttonHolder", "PresetEditor.KeyboardUserPresetEditPanel.TabControl.ButtonHolder");
  Add(places, tabs + "/pageHolder", "PresetEditor.KeyboardUserPresetEditPanel.TabControl.PageHolder");
  for (const char* tab : {"arp", "chord", "scale"}) {
    Add(places, tabs + "/buttonHolder/" + tab, "Framework.Button");
  }
  const std::string arp = tabs + "/pageHolder/arp";
  Add(places, arp, "PresetEditor.ArpUserPresetEditPanel");
  AddSelector(places, arp + "/octave", "LabeledArpOctaveSelector", Control::Combo);
  AddSelector(places, arp + "/latch", "LabeledArpLatchSelector", Control::Toggle);
  AddSelector(places, arp + "/type", "LabeledArpTypeSelector", Control::Combo);
  AddSelector(places, arp + "/gate", "LabeledArpGateSelector", Control::Combo);
  AddSelector(places, arp + "/swing", "LabeledArpSwingSelector", Control::Combo);
  const std::string chord = tabs + "/pageHolder/chord";
  Add(places, chord, "PresetEditor.ChordModeUserPresetEditPanel");
  AddSelector(places, chord + "/mode", "LabeledChordModeSelector", Control::Combo);
  AddSelector(places, chord + "/smartRootNote", "LabeledRootNoteSelector", Control::Combo);
  AddSelector(places, chord + "/voicings", "LabeledChordVoicingsSelector", Control::Combo);
  for (int i = 1; i <= 6; ++i) {
    AddSelector(places, chord + "/userChordNote" + std::to_string(i), "LabeledChordNoteSelector", Control::Combo);
  }
  const std::string scale = tabs + "/pageHolder/scale";
  Add(places, scale, "PresetEditor.ScaleModeUserPresetEditPanel");
  AddSelector(places, scale + "/rootNote", "LabeledRootNoteSelector", Control::Combo);
  AddSelector(places, scale + "/scale", "LabeledScaleModeScaleSelector", Control::Combo);

  const struct {
    const char* page;
    const char* className;
    const char* number; // the selector of the element's number
  } elements[] = {{"knob", "KnobUserPresetEditPanel", "cc"},
                  {"slider", "SliderUserPresetEditPanel", "cc"},
                  {"pad", "PadUserPresetEditPanel", "note"}};
  for (const auto& element : elements) {
    const std::string page = panel + "/" + element.page;
    Add(places, page, std::string("PresetEditor.") + element.className);
    Add(places, page + "/label", "Framework.Label");
    AddSelector(places, page + "/midiChannel", "LabeledMidiChannelSelector", Control::Combo);
    if (std::string(element.number) == "cc") {
      AddSelector(places, page + "/cc", "LabeledCCSelector", Control::CC);
    } else {
      AddSelector(places, page + "/note", "LabeledNoteSelector", Control::Note);
    }
  }
  const std::string sustain = panel + "/sustain";
  Add(places, sustain, "PresetEditor.SustainUserPresetEditPanel");
  Add(places, sustain + "/label", "Framework.Label");
  AddSelector(places, sustain + "/midiChannel", "LabeledMidiChannelSelector", Control::Combo);
  AddSelector(places, sustain + "/cc", "LabeledCCSelector", Control::CC);
  AddSelector(places, sustain + "/latch", "LabeledLatchingSelector", Control::Toggle);

  const std::string wheels = panel + "/wheels";
  Add(places, wheels, "PresetEditor.WheelsUserPresetEditPanel");
  Add(places, wheels + "/label", "Framework.Label");
  const std::string pitch = wheels + "/pitchBendWheel";
  Add(places, pitch, "PresetEditor.PitchBendUserPresetEditPanel");
  Add(places, pitch + "/label", "Framework.Label");
  AddSelector(places, pitch + "/midiChannel", "LabeledMidiChannelSelector", Control::Combo);
  AddSelector(places, pitch + "/min", "LabeledMinSelector", Control::Number);
  AddSelector(places, pitch + "/max", "LabeledMaxSelector", Control::Number);
  const std::string mod = wheels + "/modWheel";
  Add(places, mod, "PresetEditor.ModWheelUserPresetEditPanel");
  Add(places, mod + "/label", "Framework.Label");
  AddSelector(places, mod + "/midiChannel", "LabeledMidiChannelSelector", Control::Combo);
  AddSelector(places, mod + "/cc", "LabeledCCSelector", Control::CC);
  AddSelector(places, mod + "/min", "LabeledMinSelector", Control::Number);
  AddSelector(places, mod + "/max", "LabeledMaxSelector", Control::Number);
}

inline void AddGlobalPage(std::vector<SkinPlace>& places, const std::string& page) {
  Add(places, page, "PresetEditor.GlobalPresetEditor");
  for (const char* label : {"/label", "/productImageLabel", "/bottomColorLabel"}) {
    Add(places, page + label, "Framework.Label");
  }
  Add(places, page + "/productLogosMultiLookLabel", "PresetEditor.Control.ProductLogoLabels");
  AddSelector(places, page + "/midiChannel", "LabeledGlobalMidiChannelSelector", Control::Combo);
  AddSelector(places, page + "/program", "LabeledProgramSelector", Control::Number);
  AddSelector(places, page + "/keyboardSensitivity", "LabeledKeybedSensitivity", Control::Combo);
  AddSelector(places, page + "/padSensitivity", "LabeledPadSensitivity", Control::Combo);
  AddSelector(places, page + "/dawSetting", "LabeledDawSettingSelector", Control::Combo);
}

inline void AddDialog(std::vector<SkinPlace>& places, const std::string& dialog, const std::string& className,
                      const char* action) {
  Add(places, dialog, className);
  Add(places, dialog + "/labelHeader", "Framework.Label");
  Add(places, dialog + "/presetSlot", "PresetEditor.Control.PresetSlotCombobox");
  AddComboBox(places, dialog + "/presetSlot/comboBox");
  Add(places, dialog + "/" + action, "Framework.Button");
  Add(places, dialog + "/buttonClose", "Framework.Button");
}

} // namespace SkinTreeDetail

inline std::vector<SkinPlace> EditorSkinPlaces() {
  using namespace SkinTreeDetail;
  std::vector<SkinPlace> places;
  Add(places, "mainControl", "PresetEditor.MainControl");
  Add(places, "mainControl/backgroundLabel", "Framework.Label");
  const std::string menu = "mainControl/mainMenu";
  Add(places, menu, "Framework.MainMenu");
  Add(places, menu + "/templateMenu", "Framework.ComboMenu");
  Add(places, menu + "/templateMenu/popupMenu", "Framework.PopupMenu");
  Add(places, menu + "/templateMenu/popupMenu/templateItem", "Framework.MenuItem");
  Add(places, menu + "/templateMenu/popupMenu/templateItem/hotKeyLabel", "Framework.Label");
  Add(places, menu + "/templateMenu/popupMenu/templateItem/checkBox", "Framework.Button");

  const std::string view = "mainControl/viewDevice";
  Add(places, view, "PresetEditor.MainControl.DeviceView");
  Add(places, view + "/companyLogo", "Framework.Label");
  Add(places, view + "/productLogo", "Framework.Label");
  Add(places, view + "/corner", "Framework.Label");
  AddScrollBar(places, view + "/hBar");
  AddScrollBar(places, view + "/vBar");
  Add(places, view + "/deviceSelectionLabel", "Framework.Label");
  AddComboBox(places, view + "/deviceSelectionComboBox");
  const std::string tabs = view + "/tabControl";
  Add(places, tabs, "PresetEditor.MainControl.DeviceView.TabControl");
  Add(places, tabs + "/buttonHolder", "PresetEditor.MainControl.DeviceView.TabControl.ButtonHolder");
  Add(places, tabs + "/buttonHolder/userPresetEditor", "Framework.Button");
  Add(places, tabs + "/buttonHolder/globalPresetEditor", "Framework.Button");
  Add(places, tabs + "/pageHolder", "PresetEditor.MainControl.DeviceView.TabControl.PageHolder");
  const std::string user = tabs + "/pageHolder/userPresetEditor";
  Add(places, user, "PresetEditor.UserPresetEditorView");
  AddPicture(places, user + "/controlNavigation");
  AddEditPanel(places, user + "/editPanel");
  AddGlobalPage(places, tabs + "/pageHolder/globalPresetEditor");

  AddDialog(places, "dialogSendPreset", "PresetEditor.Dialog.SendPresetToHardware", "send");
  AddDialog(places, "dialogRetrievePresetFromHardware", "PresetEditor.Dialog.RetrievePresetFromHardware", "getButton");
  Add(places, "dialogAbout", "PresetEditor.DialogAbout");
  for (const char* label : {"/labelProduct", "/labelCopyright"}) {
    Add(places, std::string("dialogAbout") + label, "Framework.Label");
  }
  Add(places, "dialogAbout/buttonSupport", "Framework.Button");
  Add(places, "dialogAbout/buttonOK", "Framework.Button");
  Add(places, "toolTip", "Framework.ToolTip");
  Add(places, "fileDropper1", "Framework.FileDropper");
  return places;
}

} // namespace QZTest
