#pragma once
// The UI kit for the whole user preset page: the main window with its device view, both
// tabs, the controller picture ("controlNavigation") and every edit page ("editPanel"), on
// the real engine. The skin is a parameter (PictureSkin): the test skin below holds the
// whole "viewDevice" tree of the user and global pages in solid fills only (a selected
// element in the accent colour, one logo colour per keyboard model); the program's skins
// are further sources of the same shape.
//
//   UserPresetKit kit(TestPictureSkin());                  // built, the engine's values shown
//   kit.Click(kit.Picture("knobGroup/knob3/button"));      // the knob page, bound to 32
//   kit.Text(kit.Picture("knobGroup/knob3/ccLabel"));      // "CC: 38"
//
// A variant of the test skin can leave children of the picture out or add elements
// (TestSkinDocument), for the skins the panel refuses.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <ostream>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "ArpClockScalePageKit.h"
#include "ButtonWheelSustainKit.h"
#include "QZFramework/Application/FrameworkControlClasses.h"
#include "QZFramework/Controls/MainMenu.h"
#include "UI/DeviceView.h"
#include "UI/UserPresetEditPanel.h"
#include "UI/UserPresetPanel.h"

namespace UserPresets {

namespace Xml = QZTest::UiXml;
using EditPages::Bytes;
using QZ::RCPtr;
using QZ::WString;

// A skin the user preset page is built from.
struct PictureSkin {
  // Names the source in test names.
  std::string name;
  // The whole skin document.
  std::string document;
  // The skin made current, and a top-level entry the kit can make before the editor's
  // classes are registered (empty: none).
  int32_t skinIndex = 0;
  std::u16string start;
  // The folder of the skin's images; empty: none.
  std::string images;
  // The window's size (the main control's).
  int32_t width = 1200;
  int32_t height = 850;
};

// Test names and failures name the source.
inline void PrintTo(const PictureSkin& skin, std::ostream* out) { *out << skin.name; }

// What a variant of the test skin changes: parts of the picture left out, named by their
// path below it ("padGroup2", "wheelGroup/wheel/button", "knobGroup/knob5" ...), or its
// sibling "editPanel", elements
// added to "knobGroup" (knob views named so, after knob1 .. knob8, over knob8, knob7 ...),
// the order of the page's two children.
struct TestSkinVariant {
  static TestSkinVariant Without(std::set<std::string> names) {
    TestSkinVariant variant;
    variant.without = std::move(names);
    return variant;
  }
  static TestSkinVariant WithKnobs(std::vector<std::string> names) {
    TestSkinVariant variant;
    variant.extraKnobs = std::move(names);
    return variant;
  }
  static TestSkinVariant EditPanelLast() {
    TestSkinVariant variant;
    variant.editPanelLast = true;
    return variant;
  }

  std::set<std::string> without;
  std::vector<std::string> extraKnobs;
  // The edit panel after the picture in the page, rather than before it.
  bool editPanelLast = false;
};

namespace TestSkin {

// Solid fills: the page, the picture's body and groups, elements off and on (the accent),
// and one logo colour per keyboard model.
inline std::string Document(const std::string& entries) {
  std::string looks = R"(<?xml version="1.0" encoding="UTF-8"?>
<Vandrel_Skin_Definitions><Application Name="PresetEditor">
<Colorizers>
  <Colorizer Name="Kit.Fill" ColorType="SolidFill" Color="FFE0E0E0"/>
  <Colorizer Name="Kit.Ink" ColorType="SolidFill" Color="FF101010"/>
  <Colorizer Name="Kit.Body" ColorType="SolidFill" Color="FF30343A"/>
  <Colorizer Name="Kit.Group" ColorType="SolidFill" Color="FF4A5058"/>
  <Colorizer Name="Kit.Off" ColorType="SolidFill" Color="FF9AA2AC"/>
  <Colorizer Name="Kit.Hover" ColorType="SolidFill" Color="FFB8C0C8"/>
  <Colorizer Name="Kit.On" ColorType="SolidFill" Color="FFFF9900"/>
  <Colorizer Name="Kit.Model0" ColorType="SolidFill" Color="FF3A7BD5"/>
  <Colorizer Name="Kit.Model1" ColorType="SolidFill" Color="FF3AD57B"/>
  <Colorizer Name="Kit.Model2" ColorType="SolidFill" Color="FFD53A7B"/>
</Colorizers>
<Parts>
)";
  for (const char* part : {"Fill", "Ink", "Body", "Group", "Off", "Hover", "On", "Model0", "Model1", "Model2"}) {
    looks += std::string("  <Part Name=\"Kit.") + part + "\" Width=\"1\" Height=\"1\" ResizeType=\"Stretch\" " +
             "ColorizerName=\"Kit." + part + "\"/>\n";
  }
  looks += "</Parts>\n<Looks>\n";
  const auto fill = [](const std::string& part) {
    return "<ClientPart Name=\"Kit." + part +
           "\" OffsetLeft=\"0\" OffsetTop=\"0\" OffsetRight=\"0\" OffsetBottom=\"0\"/>";
  };
  for (const auto& [look, part] :
       {std::pair{"Plain", "Fill"}, std::pair{"Body", "Body"}, std::pair{"Group", "Group"}, std::pair{"Off", "Off"},
        std::pair{"Hover", "Hover"}, std::pair{"On", "On"}, std::pair{"Model0", "Model0"},
        std::pair{"Model1", "Model1"}, std::pair{"Model2", "Model2"}}) {
    looks += std::string("  <Look Name=\"Kit.") + look + "\">" + fill(part) + "</Look>\n";
  }
  // Texts: left-aligned, centred, and centred on the accent (a selected tab).
  for (const auto& [look, part, align] :
       {std::tuple{"Text", "Fill", "0"}, std::tuple{"Caption", "Fill", "0.5"}, std::tuple{"TabOn", "On", "0.5"}}) {
    looks += std::string("  <Look Name=\"Kit.") + look + "\">" + fill(part) +
             R"(<TextProperties TextLeftRel="0" TextLeftAbs="2" TextRightRel="1" TextRightAbs="-2" TextHAlign=")" +
             align + R"(" TextTopRel="0" TextTopAbs="0" TextBottomRel="1" TextBottomAbs="0" TextVAlign="0.5")" +
             R"( TextForegroundPart="Kit.Ink"/></Look>)" + "\n";
  }
  looks += "</Looks>\n<LookLists>\n";
  for (const char* list : {"Plain", "Text", "Caption", "Body", "Group"}) {
    looks += std::string("  <LookList Name=\"Kit.") + list + "\" NumLooks=\"1\"><Look Name=\"Kit." + list +
             "\" Index=\"0\"/></LookList>\n";
  }
  // A picture element's button and a tab's: looks 0 .. 6 off (1 hover), 7 .. 13 on.
  for (const auto& [list, off, hover, on] :
       {std::tuple{"Element", "Off", "Hover", "On"}, std::tuple{"Tab", "Caption", "Caption", "TabOn"}}) {
    looks += std::string("  <LookList Name=\"Kit.") + list + "\" NumLooks=\"14\">";
    for (int i = 0; i < 14; ++i) {
      looks += std::string("<Look Name=\"Kit.") +
               (i >= 7   ? on
                : i == 1 ? hover
                         : off) +
               "\" Index=\"" + std::to_string(i) + "\"/>";
    }
    looks += "</LookList>\n";
  }
  looks += "  <LookList Name=\"Kit.Logo\" NumLooks=\"3\">";
  for (int i = 0; i < 3; ++i) {
    looks += "<Look Name=\"Kit.Model" + std::to_string(i) + "\" Index=\"" + std::to_string(i) + "\"/>";
  }
  looks += "</LookList>\n</LookLists>\n<Skins><Skin Name=\"Kit\" FontName=\"Liberation Sans\" FontSize=\"9\">\n";
  return looks + entries + "\n</Skin></Skins>\n</Application></Vandrel_Skin_Definitions>\n";
}

inline std::string TabButton(const std::string& name, Xml::Rect rect) {
  return Xml::Control("Framework.Button", name, rect, {}, {}, "Kit.Tab");
}

inline std::string Caption(const std::string& name, Xml::Rect rect) {
  return Xml::Control("Framework.Label", name, rect, {}, {}, "Kit.Caption");
}

// A picture element's clickable button, showing its view's tool tip.
inline std::string ElementButton(Xml::Rect rect) {
  return Xml::Control("Framework.Button", "button", rect, {}, Xml::BoolParam("USE_PARENT_TOOLTIP", true),
                      "Kit.Element");
}

// A view of class cls: its button above its two labels.
inline std::string View(const std::string& cls, const std::string& name, Xml::Rect rect, const std::string& upper,
                        const std::string& lower, bool button = true) {
  const int labels = rect.height - 36;
  return Xml::Control("PresetEditor." + cls, name, rect,
                      (button ? ElementButton({4, 0, rect.width - 8, labels}) : std::string()) +
                          Caption(upper, {0, labels, rect.width, 18}) +
                          Caption(lower, {0, labels + 18, rect.width, 18}),
                      {}, "Kit.Group");
}

inline std::string Group(const std::string& cls, const std::string& name, Xml::Rect rect, const std::string& children) {
  return Xml::Control("PresetEditor." + cls, name, rect, children, {}, "Kit.Group");
}

inline std::string Picture(const TestSkinVariant& variant) {
  const auto keep = [&](const std::string& path, const std::string& xml) {
    return variant.without.count(path) ? std::string() : xml;
  };
  // The view group/name, unless left out, with its button unless that is.
  const auto view = [&](const std::string& group, const std::string& cls, const std::string& name, Xml::Rect rect,
                        const std::string& upper, const std::string& lower) {
    const std::string path = group + "/" + name;
    return keep(path, View(cls, name, rect, upper, lower, !variant.without.count(path + "/button")));
  };
  const auto button = [&](const std::string& path, Xml::Rect rect) {
    return keep(path + "/button", ElementButton(rect));
  };
  std::string knobs;
  for (int i = 0; i < 8; ++i) {
    knobs += view("knobGroup", "UserKnob", "knob" + std::to_string(i + 1), {4 + 57 * i, 4, 56, 84}, "ccLabel",
                  "channelLabel");
  }
  for (size_t i = 0; i < variant.extraKnobs.size(); ++i) {
    // Over the last knobs, which they hide from the pointer.
    knobs += View("UserKnob", variant.extraKnobs[i], {4 + 57 * (7 - int(i)), 4, 56, 84}, "ccLabel", "channelLabel");
  }
  std::string faders;
  std::string buttons;
  for (int i = 0; i < 9; ++i) {
    faders += view("sliderGroup", "UserSlider", "slider" + std::to_string(i + 1), {4 + 51 * i, 4, 48, 150}, "ccLabel",
                   "channelLabel");
    buttons += view("buttonGroup", "CommonButton", "button" + std::to_string(i + 1), {4 + 51 * i, 4, 48, 64},
                    "messageLabel", "channelLabel");
  }
  const auto pads = [&](const std::string& group) {
    std::string xml;
    for (int i = 0; i < 8; ++i) {
      xml += view(group, "UserPad", "pad" + std::to_string(i + 1), {4 + 59 * (i % 4), 4 + 86 * (i / 4), 56, 84},
                  "messageLabel", "channelLabel");
    }
    return xml;
  };
  const std::string children =
      Xml::Control("Framework.Label", "productBodyImage", {0, 0, 1160, 492}, {}, {}, "Kit.Body") +
      keep("productLogosMultiLookLabel",
           Xml::Control("PresetEditor.Control.ProductLogoLabels", "productLogosMultiLookLabel", {16, 16, 132, 36}, {},
                        {}, "Kit.Logo")) +
      ArpClockScale::TempoGroup("clockGroup", {16, 64, 132, 164}) +
      keep("sustainGroup", Group("UserSustainGroup", "sustainGroup", {16, 240, 132, 104},
                                 keep("sustainGroup/sustain1",
                                      Xml::Control("PresetEditor.UserSustain", "sustain1", {46, 10, 40, 40},
                                                   button("sustainGroup/sustain1", {0, 0, 40, 40}), {}, "Kit.Group")) +
                                     Caption("labelSustain", {0, 64, 132, 20}))) +
      keep("wheelGroup", Group("UserWheelGroup", "wheelGroup", {16, 360, 132, 112},
                               keep("wheelGroup/wheel",
                                    Xml::Control("PresetEditor.UserWheelButton", "wheel", {38, 4, 56, 104},
                                                 button("wheelGroup/wheel", {0, 0, 56, 104}), {}, "Kit.Group")))) +
      keep("knobGroup", Group("UserPresetKnobGroup", "knobGroup", {164, 16, 464, 92}, knobs)) +
      keep("sliderGroup", Group("UserPresetSliderGroup", "sliderGroup", {164, 116, 464, 158}, faders)) +
      keep("buttonGroup", Group("UserPresetButtonGroup", "buttonGroup", {164, 282, 464, 72}, buttons)) +
      Caption("padBank1Label", {644, 16, 240, 20}) +
      keep("padGroup1", Group("UserPresetPadGroup", "padGroup1", {644, 40, 240, 180}, pads("padGroup1"))) +
      Caption("padBank2Label", {900, 16, 240, 20}) +
      keep("padGroup2", Group("UserPresetPadGroup", "padGroup2", {900, 40, 240, 180}, pads("padGroup2"))) +
      keep("keyboardGroup",
           Group("UserKeyboardGroup", "keyboardGroup", {164, 362, 980, 112},
                 keep("keyboardGroup/keyboard1",
                      Xml::Control("PresetEditor.UserKeyboard", "keyboard1", {4, 4, 972, 104},
                                   button("keyboardGroup/keyboard1", {0, 0, 972, 104}), {}, "Kit.Group"))));
  return Xml::Control("PresetEditor.UserPresetEditor", "controlNavigation", {20, 10, 1160, 492}, children);
}

inline std::string KeyboardPage(Xml::Rect rect) {
  const std::string tabs = Xml::Control(
      "PresetEditor.KeyboardUserPresetEditPanel.TabControl", "tabControl", {0, 0, rect.width, rect.height},
      Xml::Control("PresetEditor.KeyboardUserPresetEditPanel.TabControl.ButtonHolder", "buttonHolder", {10, 6, 300, 24},
                   TabButton("arp", {0, 0, 100, 24}) + TabButton("chord", {100, 0, 100, 24}) +
                       TabButton("scale", {200, 0, 100, 24})) +
          Xml::Control("PresetEditor.KeyboardUserPresetEditPanel.TabControl.PageHolder", "pageHolder",
                       {0, 36, rect.width, rect.height - 36},
                       ArpClockScale::ArpPage("arp", {0, 0, rect.width, rect.height - 36}) +
                           EditPages::ChordPage("chord", {0, 0, rect.width, rect.height - 36}) +
                           ArpClockScale::ScalePage("scale", {0, 0, rect.width, rect.height - 36})));
  return Xml::Control("PresetEditor.KeyboardUserPresetEditPanel", "keyboard", rect,
                      EditPages::Label("label", {10, 10, 300, 20}) + tabs);
}

inline std::string EditPanel(const TestSkinVariant& variant) {
  if (variant.without.count("editPanel")) {
    return {};
  }
  const Xml::Rect page{0, 0, 1160, 266};
  const std::string wheels = Xml::Control("PresetEditor.WheelsUserPresetEditPanel", "wheels", page,
                                          EditPages::Label("label", {10, 10, 300, 20}) +
                                              Elements::PitchBendPage("pitchBendWheel", {0, 30, 1160, 100}) +
                                              Elements::ModWheelPage("modWheel", {0, 140, 1160, 100}));
  return Xml::Control("PresetEditor.UserPresetEditPanel", "editPanel", {20, 512, 1160, 266},
                      Elements::ButtonPage(page) + KeyboardPage(page) + Elements::KnobPage("knob", page) +
                          Elements::PadPage("pad", page) +
                          Elements::ElementPage("PresetEditor.SliderUserPresetEditPanel", "slider", page) +
                          Elements::SustainPage("sustain", page) + wheels);
}

} // namespace TestSkin

// The test skin's document: "mainControl" (1200 x 850) with its menu bar and the device
// view, whose tabs hold the user page (picture and edit pages) and the global page, and
// the plain "kitStart".
inline std::string TestSkinDocument(const TestSkinVariant& variant = {}) {
  const std::string userPage =
      Xml::Control("PresetEditor.UserPresetEditorView", "userPresetEditor", {0, 0, 1200, 788},
                   variant.editPanelLast ? TestSkin::Picture(variant) + TestSkin::EditPanel(variant)
                                         : TestSkin::EditPanel(variant) + TestSkin::Picture(variant));
  const std::string tabs = Xml::Control(
      "PresetEditor.MainControl.DeviceView.TabControl", "tabControl", {0, 0, 1200, 828},
      Xml::Control("PresetEditor.MainControl.DeviceView.TabControl.ButtonHolder", "buttonHolder", {440, 8, 320, 24},
                   TestSkin::TabButton("userPresetEditor", {0, 0, 160, 24}) +
                       TestSkin::TabButton("globalPresetEditor", {160, 0, 160, 24})) +
          Xml::Control("PresetEditor.MainControl.DeviceView.TabControl.PageHolder", "pageHolder", {0, 40, 1200, 788},
                       userPage + EditPages::GlobalPage("globalPresetEditor", {0, 0, 1200, 788})));
  const std::string view = Xml::Control("PresetEditor.MainControl.DeviceView", "viewDevice", {0, 22, 1200, 828},
                                        tabs + Xml::ComboBox("deviceSelectionComboBox", {1000, 8, 190, 24}));
  return TestSkin::Document(Xml::Control("PresetEditor.MainControl", "mainControl", {0, 0, 1200, 850},
                                         view + Xml::Control("Framework.MainMenu", "mainMenu", {0, 0, 1200, 22})) +
                            Xml::Control("Framework.Panel", "kitStart", {0, 0, 10, 10}));
}

inline PictureSkin TestPictureSkin(const TestSkinVariant& variant = {}, const std::string& name = "TestSkin") {
  return {.name = name, .document = TestSkinDocument(variant), .skinIndex = 0, .start = u"kitStart", .images = {}};
}

// A skin of the program's skin document ("Resources/Documents/Skins.xml") with its drawn
// images: skinIndex 0 "HighDPI" (2400 x 1700) or 1 "Skin1" (1200 x 850).
inline PictureSkin ShippedPictureSkin(int32_t skinIndex) {
  std::ifstream file(std::string(QZ_RESOURCE_DOCUMENTS) + "/Skins.xml", std::ios::binary);
  std::string document((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  const bool high = skinIndex == 0;
  return {.name = high ? "HighDPI" : "Skin1",
          .document = std::move(document),
          .skinIndex = skinIndex,
          .start = {},
          .images = QZ_SKIN_ART_IMAGES,
          .width = high ? 2400 : 1200,
          .height = high ? 1700 : 850};
}

// The editor's classes of the page under their skin names, as the program registers them.
inline void RegisterClasses(QZ::LControlFactory& factory) {
  const std::pair<const char16_t*, QZ::ControlCreateFunction> classes[] = {
      {u"Framework.MainMenu", &QZ::CreateControlOf<QZ::LMainMenu>},
      {u"PresetEditor.MainControl.DeviceView", &QZ::CreateControlOf<LDeviceView>},
      {u"PresetEditor.MainControl.DeviceView.TabControl", &QZ::CreateControlOf<QZ::LTabControl>},
      {u"PresetEditor.MainControl.DeviceView.TabControl.ButtonHolder", &QZ::CreateControlOf<QZ::LScrollView>},
      {u"PresetEditor.MainControl.DeviceView.TabControl.PageHolder", &QZ::CreateControlOf<QZ::LScrollView>},
      {u"PresetEditor.UserPresetEditorView", &QZ::CreateControlOf<QZ::LScrollView>},
      {u"PresetEditor.UserPresetEditor", &QZ::CreateControlOf<LUserPresetPanel>},
      {u"PresetEditor.UserPresetEditPanel", &QZ::CreateControlOf<LUserPresetEditPanel>},
      {u"PresetEditor.UserPresetSliderGroup", &QZ::CreateControlOf<QZ::LPanel>},
      {u"PresetEditor.UserPresetKnobGroup", &QZ::CreateControlOf<QZ::LPanel>},
      {u"PresetEditor.UserPresetPadGroup", &QZ::CreateControlOf<QZ::LPanel>},
      {u"PresetEditor.UserPresetButtonGroup", &QZ::CreateControlOf<QZ::LPanel>},
      {u"PresetEditor.UserWheelGroup", &QZ::CreateControlOf<QZ::LPanel>},
      {u"PresetEditor.UserKeyboardGroup", &QZ::CreateControlOf<QZ::LPanel>},
      {u"PresetEditor.UserSustainGroup", &QZ::CreateControlOf<QZ::LPanel>},
      {u"PresetEditor.UserKeyboard", &QZ::CreateControlOf<QZ::LPanel>},
      {u"PresetEditor.UserWheelButton", &QZ::CreateControlOf<QZ::LPanel>},
      {u"PresetEditor.KeyboardUserPresetEditPanel", &QZ::CreateControlOf<QZ::LPanel>},
      {u"PresetEditor.KeyboardUserPresetEditPanel.TabControl", &QZ::CreateControlOf<QZ::LTabControl>},
      {u"PresetEditor.KeyboardUserPresetEditPanel.TabControl.ButtonHolder", &QZ::CreateControlOf<QZ::LPanel>},
      {u"PresetEditor.KeyboardUserPresetEditPanel.TabControl.PageHolder", &QZ::CreateControlOf<QZ::LPanel>},
      {u"PresetEditor.WheelsUserPresetEditPanel", &QZ::CreateControlOf<QZ::LPanel>},
      {u"PresetEditor.UserPresetTempoGroup", &QZ::CreateControlOf<LClockEditPanel>},
      {u"PresetEditor.ArpUserPresetEditPanel", &QZ::CreateControlOf<LArpEditPanel>},
      {u"PresetEditor.ScaleModeUserPresetEditPanel", &QZ::CreateControlOf<LScaleEditPanel>},
      {u"PresetEditor.UserKnob", &QZ::CreateControlOf<LKnobViewPanel>},
      {u"PresetEditor.UserSlider", &QZ::CreateControlOf<LKnobViewPanel>},
      {u"PresetEditor.UserPad", &QZ::CreateControlOf<LPadViewPanel>},
      {u"PresetEditor.CommonButton", &QZ::CreateControlOf<LCommonButtonViewPanel>},
      {u"PresetEditor.UserSustain", &QZ::CreateControlOf<LSustainViewPanel>},
      {u"PresetEditor.KnobUserPresetEditPanel", &QZ::CreateControlOf<LKnobEditPanel>},
      {u"PresetEditor.SliderUserPresetEditPanel", &QZ::CreateControlOf<LKnobEditPanel>},
      {u"PresetEditor.PadUserPresetEditPanel", &QZ::CreateControlOf<LPadEditPanel>},
      {u"PresetEditor.CommonButtonEditPanel", &QZ::CreateControlOf<LCommonButtonEditPanel>},
      {u"PresetEditor.ModWheelUserPresetEditPanel", &QZ::CreateControlOf<LModWheelEditPanel>},
      {u"PresetEditor.PitchBendUserPresetEditPanel", &QZ::CreateControlOf<LPitchBendEditPanel>},
      {u"PresetEditor.SustainUserPresetEditPanel", &QZ::CreateControlOf<LSustainEditPanel>},
      {u"PresetEditor.Control.NoteSelector", &QZ::CreateControlOf<LMidiNoteSelector>},
      {u"PresetEditor.Control.CCSelector", &QZ::CreateControlOf<LNumberBoxTextSelector>},
  };
  EditPages::RegisterClasses(factory);
  for (const auto& [name, create] : classes) {
    factory.RegisterControlCreateFunction(WString(name), create);
  }
  // The menus of the program's skins, and every other widget.
  for (const QZ::ControlClassEntry& entry : QZ::FrameworkControlClasses()) {
    factory.RegisterControlCreateFunction(WString(entry.name), entry.create);
  }
}

class UserPresetKit : public QZTest::UiKit {
public:
  // The paths of the picture and the edit panel below the top control.
  static constexpr char kPicture[] = "viewDevice/tabControl/pageHolder/userPresetEditor/controlNavigation";
  static constexpr char kEditPanel[] = "viewDevice/tabControl/pageHolder/userPresetEditor/editPanel";

  // The stored keyboard model is model; the main window built unless build is false.
  explicit UserPresetKit(const PictureSkin& skin, int32_t model = QZ::kDeviceModel49Keys, bool build = true)
      : UiKit(Start(skin)) {
    factory->SetCurrentSkinIndex(skin.skinIndex);
    RegisterClasses(*factory);
    context.SetDeviceModel(model);
    if (build) {
      Build();
    }
  }

  // The main window's tree made anew and the engine's first values delivered.
  void Build() {
    EXPECT_EQ(root->SetRootControl(WString(u"mainControl")), QZ::QZ_OK);
    PumpIdle();
  }
  // The text of what making mainControl throws; "" when nothing is thrown.
  std::string BuildFails() {
    try {
      factory->CreateControlByName(WString(u"mainControl"), nullptr);
    } catch (const std::exception& error) {
      return error.what();
    }
    return "";
  }

  RCPtr<LUserPresetPanel> Panel() const { return Find<LUserPresetPanel>(kPicture); }
  RCPtr<LUserPresetEditPanel> Pages() const { return Find<LUserPresetEditPanel>(kEditPanel); }
  // Below the picture and the edit panel.
  RCPtr<QZ::LControl> Picture(const std::string& path) const { return Find(std::string(kPicture) + "/" + path); }
  RCPtr<QZ::LControl> Page(const std::string& path) const { return Find(std::string(kEditPanel) + "/" + path); }
  template <class T>
  RCPtr<T> Page(const std::string& path) const {
    return QZ::DynamicCast<T>(Page(path));
  }
  static std::u16string Text(const RCPtr<QZ::LControl>& control) { return TextOf(control); }

  // The names of the edit pages shown.
  std::vector<std::string> ShownPages() const {
    std::vector<std::string> shown;
    const RCPtr<LUserPresetEditPanel> pages = Pages();
    for (uint32_t i = 0; i < pages->GetChildren().GetCount(); ++i) {
      const RCPtr<QZ::LControl>& page = pages->GetChildren().GetAt(i, 0);
      if (page->IsShown(false)) {
        shown.emplace_back(page->GetName().ToUTF8().GetBuffer());
      }
    }
    return shown;
  }
  // The paths (below the picture) of the picture's buttons at value 1.
  std::vector<std::string> SelectedButtons() const {
    std::vector<std::string> selected;
    QZ::RCPtrArray<QZ::LControl, 1, 0> all;
    Panel()->CollectDescendants(all);
    for (uint32_t i = 0; i < all.GetCount(); ++i) {
      const RCPtr<QZ::LControl>& control = all.GetAt(i);
      if (control->GetName() == WString(u"button") && control->GetValue() >= 1.0) {
        selected.push_back(std::string(control->GetParent()->GetParent()->GetName().ToUTF8().GetBuffer()) + "/" +
                           control->GetParent()->GetName().ToUTF8().GetBuffer());
      }
    }
    return selected;
  }
  // The stored model becomes model and the change is announced, as the model box does.
  void ChangeModel(int32_t model) {
    context.SetDeviceModel(model);
    const RCPtr<QZ::LRefCountedObject> held(new QZ::LHolder<DEVICE_MODELS>(DEVICE_MODELS(model)));
    ASSERT_GE(centre->PostNotification(QZ::LNotification::Create(u"NID_DEVICE_MODEL_SELECTION_CHANGED", held)), 0);
    PumpIdle();
  }

private:
  static Options Start(const PictureSkin& skin) {
    Options options;
    options.width = skin.width;
    options.height = skin.height;
    options.document = skin.document;
    options.imageFolder = skin.images;
    options.top = skin.start;
    return options;
  }
};

} // namespace UserPresets
