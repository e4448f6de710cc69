#pragma once
// The UI kit for the element pages and views (knob, fader and pad pages, their views, the
// note and CC selectors): these classes registered under their skin names before the tree
// is made, skin pieces shaped as the program's skins shape them (each can leave children
// out), and a listener that counts a control's "NID_VALUE_CHANGE".
//
//   ElementKit kit(Elements::Tree(Elements::KnobPage("knobPage", {0, 0, 700, 120})));
//   kit.Device().Route(33, "knobPage");      // the engine's values of 33 reach the page
//   kit.Find<LKnobEditPanel>("viewDevice/knobPage")->SetFirstParamID(nullptr, 32, 2);

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "EditPageKit.h"
#include "QZFramework/ControlBase/ControlParams.h"
#include "UI/KnobEditPanel.h"
#include "UI/KnobViewPanel.h"
#include "UI/PadEditPanel.h"
#include "UI/PadViewPanel.h"
#include "UI/PresetEditorCommon/MidiNoteSelector.h"
#include "UI/PresetEditorCommon/NumberBoxTextSelector.h"

namespace Elements {

namespace Xml = QZTest::UiXml;
using EditPages::Bytes;
using EditPages::SentList;
using QZ::RCPtr;
using QZ::Variant;
// The children a skin piece leaves out.
using Without = std::set<std::string>;

// A label, or nothing when without names it.
inline std::string Label(const std::string& name, Xml::Rect rect, const Without& without = {}) {
  return without.count(name) ? "" : Xml::Control("Framework.Label", name, rect, {}, {}, "Kit.Text");
}

// A labelled selector "PresetEditor.Control.<cls>" whose "parameterControl" is a note
// selector (note name, up-down, octave) or a CC selector (up-down, controller name).
inline std::string LabelledNote(const std::string& name, Xml::Rect rect, const Without& without = {}) {
  const int h = rect.height - 18;
  const std::string parts = Label("noteNameLabel", {0, 0, 30, h}, without) +
                            (without.count("numericUpDown") ? "" : Xml::UpDown("numericUpDown", {34, 0, 60, h})) +
                            Label("octaveNameLabel", {98, 0, rect.width - 98, h}, without);
  return Xml::Control(
      "PresetEditor.Control.LabeledNoteSelector", name, rect,
      Label("controlNameLabel", {0, 0, rect.width, 16}) +
          Xml::Control("PresetEditor.Control.NoteSelector", "parameterControl", {0, 18, rect.width, h}, parts));
}
inline std::string LabelledCC(const std::string& name, Xml::Rect rect, const Without& without = {}) {
  const int h = rect.height - 18;
  const std::string parts = (without.count("numericUpDown") ? "" : Xml::UpDown("numericUpDown", {0, 0, 60, h})) +
                            Label("label", {64, 0, rect.width - 64, h}, without);
  return Xml::Control(
      "PresetEditor.Control.LabeledCCSelector", name, rect,
      Label("controlNameLabel", {0, 0, rect.width, 16}) +
          Xml::Control("PresetEditor.Control.CCSelector", "parameterControl", {0, 18, rect.width, h}, parts));
}

// A knob or fader page (cls) or a pad page: header "label", "midiChannel" and the number
// selector ("cc" or "note"). without may name those three, or "number": the number selector's
// parameter control is then a plain up-down, without a "numericUpDown" of its own.
inline std::string ElementPage(const std::string& cls, const std::string& name, Xml::Rect rect,
                               const Without& without = {}) {
  const bool pad = cls == "PresetEditor.PadUserPresetEditPanel";
  const std::string number = pad ? "note" : "cc";
  std::string children = Label("label", {10, 10, 300, 20}, without);
  if (!without.count("midiChannel")) {
    children += Xml::ComboSelector("LabeledMidiChannelSelector", "midiChannel", {10, 40, 150, 42});
  }
  if (without.count("number")) {
    children += Xml::UpDownSelector(pad ? "LabeledNoteSelector" : "LabeledCCSelector", number, {170, 40, 260, 42});
  } else if (!without.count(number)) {
    children += pad ? LabelledNote(number, {170, 40, 200, 42}) : LabelledCC(number, {170, 40, 260, 42});
  }
  return Xml::Control(cls, name, rect, children);
}
inline std::string KnobPage(const std::string& name, Xml::Rect rect, const Without& without = {}) {
  return ElementPage("PresetEditor.KnobUserPresetEditPanel", name, rect, without);
}
inline std::string PadPage(const std::string& name, Xml::Rect rect, const Without& without = {}) {
  return ElementPage("PresetEditor.PadUserPresetEditPanel", name, rect, without);
}

// A view of the picture (cls "PresetEditor.UserKnob", "...UserSlider" or "...UserPad"): its
// button and two labels ("ccLabel" or, on a pad, "messageLabel", then "channelLabel").
inline std::string View(const std::string& cls, const std::string& name, Xml::Rect rect, const Without& without = {}) {
  const std::string upper = cls == "PresetEditor.UserPad" ? "messageLabel" : "ccLabel";
  return Xml::Control(cls, name, rect,
                      Xml::Control("Framework.Button", "button", {0, 0, rect.width, rect.height - 40},
                                   Xml::BoolParam("USE_PARENT_TOOLTIP", true)) +
                          Label(upper, {0, rect.height - 40, rect.width, 20}, without) +
                          Label("channelLabel", {0, rect.height - 20, rect.width, 20}, without));
}

// The main control with the test device holding children.
inline std::string Tree(const std::string& children, int width = 800, int height = 300) {
  return Xml::Control("PresetEditor.MainControl", "mainControl", {0, 0, width, height},
                      Xml::Control("Test.Device", "viewDevice", {0, 0, width, height}, children));
}

// The page kit with these classes too; the top control is made after they are registered.
class ElementKit : public EditPages::PageKit {
public:
  explicit ElementKit(const std::string& entries, int32_t width = 800, int32_t height = 300)
      : PageKit(entries, nullptr, QZ::kDeviceModel49Keys, width, height) {
    const std::pair<const char16_t*, QZ::ControlCreateFunction> classes[] = {
        {u"PresetEditor.Control.NoteSelector", &QZ::CreateControlOf<LMidiNoteSelector>},
        {u"PresetEditor.Control.CCSelector", &QZ::CreateControlOf<LNumberBoxTextSelector>},
        {u"PresetEditor.KnobUserPresetEditPanel", &QZ::CreateControlOf<LKnobEditPanel>},
        {u"PresetEditor.SliderUserPresetEditPanel", &QZ::CreateControlOf<LKnobEditPanel>},
        {u"PresetEditor.PadUserPresetEditPanel", &QZ::CreateControlOf<LPadEditPanel>},
        {u"PresetEditor.UserKnob", &QZ::CreateControlOf<LKnobViewPanel>},
        {u"PresetEditor.UserSlider", &QZ::CreateControlOf<LKnobViewPanel>},
        {u"PresetEditor.UserPad", &QZ::CreateControlOf<LPadViewPanel>},
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
  std::u16string Text(const std::string& path) const { return QZTest::UiKit::TextOf(Find("viewDevice/" + path)); }
};

// Counts a control's "NID_VALUE_CHANGE", keeping the values in range units they carried.
class ValueChanges final : public QZ::LNotificationClient {
public:
  static RCPtr<ValueChanges> On(const RCPtr<QZ::LControl>& control) {
    RCPtr<ValueChanges> changes(new ValueChanges);
    EXPECT_TRUE(changes->RegisterNotification(control, u"NID_VALUE_CHANGE"));
    return changes;
  }
  QZ::QZResult ReceiveNotification(const RCPtr<QZ::LNotificationDistributor>&,
                                   const RCPtr<QZ::LNotification>& notification) override {
    if (const auto value = notification->GetParameterAs<QZ::LValueParam>()) {
      scaled.push_back(value->GetScaledValue());
    }
    return QZ::QZ_OK;
  }
  std::vector<double> scaled;
};

// The number a control (an up-down, a selector) holds in its range.
inline double NumberOf(const RCPtr<QZ::LControl>& control) { return control->NormalizedToValue(control->GetValue()); }

} // namespace Elements
