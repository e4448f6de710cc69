#pragma once
// The UI kit for the arpeggiator and scale pages and the tempo group: these classes
// registered under their skin names before the tree is made, and skin pieces shaped as the
// program's skins shape them (octave before latch on the arpeggiator page, root note before
// scale), each able to leave children out.
//
//   ArpClockScaleKit kit(Tree(ArpPage("arpPage", {0, 0, 700, 100})));
//   kit.Device().Route(127, "arpPage");      // the engine's values of 127 reach the page
//   kit.Find<LArpEditPanel>("viewDevice/arpPage")->SetFirstParamID(nullptr, 124, 0);

#include <gtest/gtest.h>

#include "ElementPageKit.h"
#include "UI/ArpEditPanel.h"
#include "UI/ClockEditPanel.h"
#include "UI/ScaleEditPanel.h"

namespace ArpClockScale {

namespace Xml = QZTest::UiXml;
using EditPages::Bytes;
using EditPages::SentList;
using Elements::NumberOf;
using Elements::Tree;
using Elements::Without;
using QZ::RCPtr;
using QZ::Variant;

// The arpeggiator page: "octave", "latch" (a toggle, or with "latchToggle" in without a
// selector without one), "type", "gate" and "swing" in a row.
inline std::string ArpPage(const std::string& name, Xml::Rect rect, const Without& without = {}) {
  std::string children;
  int x = 10;
  const std::pair<const char*, const char*> selectors[] = {{"octave", "LabeledArpOctaveSelector"},
                                                           {"latch", "LabeledArpLatchSelector"},
                                                           {"type", "LabeledArpTypeSelector"},
                                                           {"gate", "LabeledArpGateSelector"},
                                                           {"swing", "LabeledArpSwingSelector"}};
  for (const auto& [child, cls] : selectors) {
    const Xml::Rect place{x, 10, 120, 42};
    x += 130;
    if (without.count(child)) {
      continue;
    }
    if (std::string(child) != "latch") {
      children += Xml::ComboSelector(cls, child, place);
    } else if (without.count("latchToggle")) {
      children += Xml::Control(std::string("PresetEditor.Control.") + cls, child, place,
                               Elements::Label("controlNameLabel", {0, 0, 120, 16}));
    } else {
      children += Xml::ToggleSelector(cls, child, {place.x, place.y, 60, place.height});
    }
  }
  return Xml::Control("PresetEditor.ArpUserPresetEditPanel", name, rect, children);
}

// The scale page: "rootNote" then "scale".
inline std::string ScalePage(const std::string& name, Xml::Rect rect, const Without& without = {}) {
  std::string children;
  if (!without.count("rootNote")) {
    children += Xml::ComboSelector("LabeledRootNoteSelector", "rootNote", {10, 10, 120, 42});
  }
  if (!without.count("scale")) {
    children += Xml::ComboSelector("LabeledScaleModeScaleSelector", "scale", {140, 10, 180, 42});
  }
  return Xml::Control("PresetEditor.ScaleModeUserPresetEditPanel", name, rect, children);
}

// The tempo group: "tempoLabel", the up-down "tempo" (a plain label with "tempoUpDown" in
// without), "clockSource" and "timeDivision" one below the other.
inline std::string TempoGroup(const std::string& name, Xml::Rect rect, const Without& without = {}) {
  std::string children = Elements::Label("tempoLabel", {10, 10, 112, 16});
  if (without.count("tempoUpDown")) {
    children += Elements::Label("tempo", {10, 28, 112, 24});
  } else if (!without.count("tempo")) {
    children += Xml::UpDown("tempo", {10, 28, 112, 24});
  }
  if (!without.count("clockSource")) {
    children += Xml::ComboSelector("LabeledClockSourceSelector", "clockSource", {10, 62, 112, 42});
  }
  if (!without.count("timeDivision")) {
    children += Xml::ComboSelector("LabeledTimeDivisionSelector", "timeDivision", {10, 112, 112, 42});
  }
  return Xml::Control("PresetEditor.UserPresetTempoGroup", name, rect, children);
}

// The page kit with these classes too; the top control is made after they are registered.
class ArpClockScaleKit : public EditPages::PageKit {
public:
  explicit ArpClockScaleKit(const std::string& entries, int32_t width = 800, int32_t height = 300)
      : PageKit(entries, nullptr, QZ::kDeviceModel49Keys, width, height) {
    const std::pair<const char16_t*, QZ::ControlCreateFunction> classes[] = {
        {u"PresetEditor.ArpUserPresetEditPanel", &QZ::CreateControlOf<LArpEditPanel>},
        {u"PresetEditor.ScaleModeUserPresetEditPanel", &QZ::CreateControlOf<LScaleEditPanel>},
        {u"PresetEditor.UserPresetTempoGroup", &QZ::CreateControlOf<LClockEditPanel>},
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

} // namespace ArpClockScale
