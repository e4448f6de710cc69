#pragma once
// The UI kit for the button page and view, the wheel pages and the sustain page and pedal:
// these classes registered under their skin names before the tree is made (with the user
// preset's edit panel as a plain panel, so that a button page placed in it as "button" reads
// its title there), and skin pieces shaped as the program's skins shape them (each can leave
// children out).
//
//   ButtonWheelSustainKit kit(Tree(EditPanel(ButtonPage({0, 0, 800, 90}))));
//   kit.Device().Route(65, "editPanel/button");       // the engine's mode of button 5 reaches the page
//   kit.Find<LCommonButtonEditPanel>("viewDevice/editPanel/button")->SetFirstParamID(nullptr, 64, 4);

#include <initializer_list>
#include <string>
#include <utility>

#include "ElementPageKit.h"
#include "UI/ButtonEditPanel.h"
#include "UI/ButtonViewPanel.h"
#include "UI/ModWheelEditPanel.h"
#include "UI/PitchBendEditPanel.h"
#include "UI/SustainEditPanel.h"
#include "UI/SustainViewPanel.h"

namespace Elements {

// A page of class cls: its header "label" and the children (skin name, piece) that without
// does not name.
inline std::string Page(const std::string& cls, const std::string& name, Xml::Rect rect, const Without& without,
                        std::initializer_list<std::pair<std::string, std::string>> children) {
  std::string xml = Label("label", {10, 10, 300, 20}, without);
  for (const auto& [child, piece] : children) {
    xml += without.count(child) ? "" : piece;
  }
  return Xml::Control(cls, name, rect, xml);
}

// Pieces at x: the channel selector; a number selector (cls "LabeledCCSelector" or
// "LabeledNoteSelector") whose parameter control is a plain up-down, without a
// "numericUpDown", when bare; an up-down selector; a toggle selector; a selector without its
// parameter control when bare.
inline std::string Channel() {
  return Xml::ComboSelector("LabeledMidiChannelSelector", "midiChannel", {10, 40, 150, 42});
}
inline std::string Number(const std::string& cls, const std::string& name, int x, bool bare) {
  if (bare) {
    return Xml::UpDownSelector(cls, name, {x, 40, 200, 42});
  }
  return cls == "LabeledCCSelector" ? LabelledCC(name, {x, 40, 250, 42}) : LabelledNote(name, {x, 40, 200, 42});
}
inline std::string UpDown(const std::string& cls, const std::string& name, int x, bool bare = false) {
  return bare ? Xml::Control("PresetEditor.Control." + cls, name, {x, 40, 90, 42},
                             Label("controlNameLabel", {0, 0, 90, 16}))
              : Xml::UpDownSelector(cls, name, {x, 40, 90, 42});
}

// The user preset's edit panel ("editPanel") holding pages.
inline std::string EditPanel(const std::string& pages) {
  return Xml::Control("PresetEditor.UserPresetEditPanel", "editPanel", {0, 0, 800, 90}, pages);
}

// A button page (named "button" on the edit panel): cc, program and note share one place.
// without may also name "ccNumber" or "noteNumber" (a bare number selector).
inline std::string ButtonPage(Xml::Rect rect, const Without& without = {}, const std::string& name = "button") {
  return Page("PresetEditor.CommonButtonEditPanel", name, rect, without,
              {{"midiChannel", Channel()},
               {"mode", Xml::ComboSelector("LabeledButtonModeSelector", "mode", {170, 40, 150, 42})},
               {"cc", Number("LabeledCCSelector", "cc", 330, without.count("ccNumber"))},
               {"program", Xml::UpDownSelector("LabeledProgramSelector", "program", {330, 40, 100, 42})},
               {"note", Number("LabeledNoteSelector", "note", 330, without.count("noteNumber"))},
               {"pressed", UpDown("LabeledPressedSelector", "pressed", 590)},
               {"released", UpDown("LabeledReleasedSelector", "released", 690)}});
}
// The wheel and sustain pages; without may also name "ccNumber", or "minControl",
// "maxControl", "latchControl" (a selector without its parameter control).
inline std::string ModWheelPage(const std::string& name, Xml::Rect rect, const Without& without = {}) {
  return Page("PresetEditor.ModWheelUserPresetEditPanel", name, rect, without,
              {{"midiChannel", Channel()},
               {"cc", Number("LabeledCCSelector", "cc", 170, without.count("ccNumber"))},
               {"min", UpDown("LabeledMinSelector", "min", 430)},
               {"max", UpDown("LabeledMaxSelector", "max", 530)}});
}
inline std::string PitchBendPage(const std::string& name, Xml::Rect rect, const Without& without = {}) {
  return Page("PresetEditor.PitchBendUserPresetEditPanel", name, rect, without,
              {{"midiChannel", Channel()},
               {"min", UpDown("LabeledMinSelector", "min", 170, without.count("minControl"))},
               {"max", UpDown("LabeledMaxSelector", "max", 270, without.count("maxControl"))}});
}
inline std::string SustainPage(const std::string& name, Xml::Rect rect, const Without& without = {}) {
  const std::string latch = without.count("latchControl")
                                ? UpDown("LabeledLatchingSelector", "latch", 430, true)
                                : Xml::ToggleSelector("LabeledLatchingSelector", "latch", {430, 40, 90, 42});
  return Page("PresetEditor.SustainUserPresetEditPanel", name, rect, without,
              {{"midiChannel", Channel()},
               {"cc", Number("LabeledCCSelector", "cc", 170, without.count("ccNumber"))},
               {"latch", latch}});
}

// A button of the picture: its button, "messageLabel" and "channelLabel" (without may name
// the labels); the pedal: its button alone.
inline std::string ButtonView(const std::string& name, Xml::Rect rect, const Without& without = {}) {
  return Xml::Control("PresetEditor.CommonButton", name, rect,
                      Xml::Control("Framework.Button", "button", {0, 0, rect.width, rect.height - 40},
                                   Xml::BoolParam("USE_PARENT_TOOLTIP", true)) +
                          Label("messageLabel", {0, rect.height - 40, rect.width, 20}, without) +
                          Label("channelLabel", {0, rect.height - 20, rect.width, 20}, without));
}
inline std::string SustainView(const std::string& name, Xml::Rect rect) {
  return Xml::Control("PresetEditor.UserSustain", name, rect,
                      Xml::Control("Framework.Button", "button", {0, 0, rect.width, rect.height},
                                   Xml::BoolParam("USE_PARENT_TOOLTIP", true)));
}

// The page kit with these classes too; the top control is made after they are registered.
class ButtonWheelSustainKit : public EditPages::PageKit {
public:
  explicit ButtonWheelSustainKit(const std::string& entries, int32_t width = 800, int32_t height = 300)
      : PageKit(entries, nullptr, QZ::kDeviceModel49Keys, width, height) {
    const std::pair<const char16_t*, QZ::ControlCreateFunction> classes[] = {
        {u"PresetEditor.Control.NoteSelector", &QZ::CreateControlOf<LMidiNoteSelector>},
        {u"PresetEditor.Control.CCSelector", &QZ::CreateControlOf<LNumberBoxTextSelector>},
        {u"PresetEditor.UserPresetEditPanel", &QZ::CreateControlOf<QZ::LPanel>},
        {u"PresetEditor.CommonButtonEditPanel", &QZ::CreateControlOf<LCommonButtonEditPanel>},
        {u"PresetEditor.CommonButton", &QZ::CreateControlOf<LCommonButtonViewPanel>},
        {u"PresetEditor.ModWheelUserPresetEditPanel", &QZ::CreateControlOf<LModWheelEditPanel>},
        {u"PresetEditor.PitchBendUserPresetEditPanel", &QZ::CreateControlOf<LPitchBendEditPanel>},
        {u"PresetEditor.SustainUserPresetEditPanel", &QZ::CreateControlOf<LSustainEditPanel>},
        {u"PresetEditor.UserSustain", &QZ::CreateControlOf<LSustainViewPanel>},
    };
    for (const auto& [name, create] : classes) {
      factory->RegisterControlCreateFunction(QZ::WString(name), create);
    }
    EXPECT_EQ(root->SetRootControl(QZ::WString(u"mainControl")), QZ::QZ_OK);
    PumpIdle(); // the engine's first values
    engine->setCalls.clear();
  }

  // The text of what making the entry name on its own throws; "" when nothing is thrown.
  std::string CreateFails(const std::string& name) {
    try {
      factory->CreateControlByName(QZ::WString(name.c_str()), nullptr);
    } catch (const std::exception& error) {
      return error.what();
    }
    return "";
  }
  // Below "viewDevice": the control's text, the number it holds, whether it is shown.
  std::u16string Text(const std::string& path) const { return QZTest::UiKit::TextOf(Find("viewDevice/" + path)); }
  double Number(const std::string& path) const { return NumberOf(Find("viewDevice/" + path)); }
  bool Shown(const std::string& path) const { return Find("viewDevice/" + path)->IsShown(false); }
  // The engine holds each value and module is handed them in order.
  void Deliver(LParameterizedModule& module, std::initializer_list<std::pair<uint32_t, Variant>> values) {
    for (const auto& [id, value] : values) {
      Hold(id, value);
      module.SetParamValueLocal(QZ::ParamDescriptor(id), value, true); // the views' results vary
    }
  }
};

} // namespace Elements
