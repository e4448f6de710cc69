// The shipped skin document as written and as the control factory reads it: its two skins,
// the class names and places of their controls, the sizes of their look lists, the order
// of its definitions, the images it names and the texts its controls show.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "Platform/Graphics/Image.h"
#include "Platform/Graphics/ImageResources.h"
#include "QZFramework/ControlBase/ControlFactory.h"
#include "Resources/Documents/RawSkinDocument.h"
#include "Resources/Documents/SkinLayout.h"
#include "Resources/SkinArt/Atlases.h"
#include "Support/ControlClassNames.h"
#include "Support/EditorSkinTree.h"
#include "Support/StringTableKeys.h"

namespace {

using QZTest::RawControl;
using QZTest::RawSkin;
using QZTest::RawSkinDocument;

const std::string kDocumentFolder = QZ_RESOURCE_DOCUMENTS;
constexpr int kHighDPI = 0;
constexpr int kSkin1 = 1;
const char* const kTopLevelNames[] = {"mainControl", "dialogSendPreset", "dialogRetrievePresetFromHardware",
                                      "dialogAbout", "dialogMessageBox", "toolTip",
                                      "fileDropper1"};

const RawSkinDocument& Document() {
  static const RawSkinDocument document = RawSkinDocument::Read(kDocumentFolder + "/Skins.xml");
  return document;
}

// The control at a path of names from a top-level control; null when one is missing.
const RawControl* At(const RawSkin& skin, const std::string& path) {
  const size_t slash = path.find('/');
  const RawControl* control = skin.Control(path.substr(0, slash));
  size_t start = slash;
  while (control && start != std::string::npos) {
    const size_t next = path.find('/', start + 1);
    control = control->Child(path.substr(start + 1, next == std::string::npos ? std::string::npos : next - start - 1));
    start = next;
  }
  return control;
}

// Every (control, parent class) of a skin.
std::vector<std::pair<const RawControl*, std::string>> AllControls(const RawSkin& skin) {
  std::vector<std::pair<const RawControl*, std::string>> all;
  QZTest::ForEachControl(skin.controls, "PresetEditor", [&](const RawControl& control, const std::string& parent) {
    all.emplace_back(&control, parent);
  });
  return all;
}

std::string SkinName(int index) { return index == kHighDPI ? "HighDPI" : "Skin1"; }

TEST(ShippedSkinTest, TheDocumentHoldsTheHighDPIAndTheStandardSkinWithTheirFontsAndTopLevelControls) {
  const RawSkinDocument& document = Document();
  ASSERT_TRUE(document.error.empty()) << document.error;
  EXPECT_EQ(document.encoding, "UTF-8");
  EXPECT_EQ(document.rootElement, "Vandrel_Skin_Definitions");
  EXPECT_EQ(document.applicationName, "PresetEditor");
  ASSERT_EQ(document.skins.size(), 2u);
  const struct {
    const char* name;
    const char* size;
    int scale;
  } skins[] = {{"HighDPI", "15.75", 2}, {"Skin1", "8.25", 1}};
  for (int index : {kHighDPI, kSkin1}) {
    SCOPED_TRACE(SkinName(index));
    const RawSkin& skin = document.skins[size_t(index)];
    EXPECT_EQ(skin.attributes.at("Name"), skins[index].name);
    EXPECT_EQ(skin.attributes.at("FontName"), "Arial");
    EXPECT_EQ(skin.attributes.at("FontSize"), skins[index].size);
    EXPECT_EQ(skin.attributes.at("FontStyle"), "0");
    std::set<std::string> names;
    for (const RawControl& control : skin.controls) {
      names.insert(control.name);
    }
    EXPECT_EQ(names, std::set<std::string>(std::begin(kTopLevelNames), std::end(kTopLevelNames)));

    const int scale = skins[index].scale;
    const RawControl& main = *skin.Control("mainControl");
    for (const char* axis : {"X", "Y"}) {
      const std::string size = std::to_string((*axis == 'X' ? 1200 : 850) * scale);
      EXPECT_EQ(main.Attribute(std::string(axis) + "SizeAbs"), size);
      // A window of fixed size: its minimum is its maximum.
      EXPECT_EQ(main.Attribute(std::string(axis) + "MinSizeAbs"), size);
      EXPECT_EQ(main.Attribute(std::string(axis) + "MaxSizeAbs"), size);
    }
    const RawControl& tip = *skin.Control("toolTip");
    EXPECT_EQ(tip.Attribute("XSizeAbs"), std::to_string(100 * scale));
    EXPECT_EQ(tip.Attribute("YSizeAbs"), std::to_string(20 * scale));
    EXPECT_EQ(tip.Attribute("TextOverflowXType"), "Expand");
    EXPECT_EQ(tip.Attribute("TextOverflowYType"), "Expand");
    if (index == kHighDPI) {
      EXPECT_EQ(tip.Attribute("FontName"), "Arial");
      EXPECT_EQ(tip.Attribute("FontSize"), "15.75");
    }
    EXPECT_EQ(skin.Control("fileDropper1")->lookList.rfind("CE.FileDropper", 0), 0u);
  }
}

TEST(ShippedSkinTest, TheSkinsReadThroughTheFactoryFromTheProgramAndFromTheFolder) {
  for (const bool fromFolder : {false, true}) {
    SCOPED_TRACE(fromFolder ? "folder" : "compiled in");
    QZ::RCPtr<QZ::LControlFactory> factory(new QZ::LControlFactory());
    const QZ::WString path =
        fromFolder ? QZ::WString((kDocumentFolder + "/Skins.xml").c_str()) : QZ::WString(u"::APP_SKINS");
    ASSERT_EQ(factory->LoadSkins(path), 0) << factory->GetParseErrorText().ToUTF8().GetBuffer();
    ASSERT_EQ(factory->GetSkinCount(), 2u);
    for (int index : {kHighDPI, kSkin1}) {
      factory->SetCurrentSkinIndex(index);
      QZ::WString font;
      float size = 0;
      int32_t style = -1;
      EXPECT_EQ(factory->GetSkinFont(font, size, style), 0);
      EXPECT_EQ(font, u"Arial");
      EXPECT_EQ(size, index == kHighDPI ? 15.75f : 8.25f);
      EXPECT_EQ(style, 0);
      for (const char* name : kTopLevelNames) {
        EXPECT_TRUE(factory->FindControlDescriptor(QZ::WString(name))) << SkinName(index) << " " << name;
      }
    }
  }
}

TEST(ShippedSkinTest, EveryClassIsRegisteredAndTheSkinsUseExactlyTheNamesTheProgramPlacesInThem) {
  std::set<std::string> expected;
  for (const std::string_view name : QZTest::kFrameworkNamesInSkins) {
    expected.insert(std::string(name));
  }
  const auto& unused = QZTest::kEditorNamesNotInSkins;
  for (const QZTest::ControlClassName& name : QZTest::kEditorClassNames) {
    if (std::find(std::begin(unused), std::end(unused), name.name) == std::end(unused)) {
      expected.insert(std::string(name.name));
    }
  }
  for (int index : {kHighDPI, kSkin1}) {
    SCOPED_TRACE(SkinName(index));
    std::set<std::string> used;
    for (const auto& [control, parent] : AllControls(Document().skins[size_t(index)])) {
      EXPECT_TRUE(QZTest::IsRegisteredClassName(control->className)) << control->className << " " << control->name;
      used.insert(control->className);
    }
    EXPECT_EQ(used, expected);
  }
}

TEST(ShippedSkinTest, EveryNameIsDefinedOnceAndBeforeItIsUsed) {
  const RawSkinDocument& document = Document();
  EXPECT_TRUE(document.undefinedUses.empty())
      << document.undefinedUses.size() << " such as " << document.undefinedUses.front();
  EXPECT_TRUE(document.duplicates.empty()) << document.duplicates.size() << " such as " << document.duplicates.front();
  // A part draws something: an image or a colour.
  for (const QZTest::RawAttributes& part : document.parts) {
    EXPECT_TRUE(part.contains("ImageFile") != part.contains("ColorizerName")) << part.at("Name");
  }
}

TEST(ShippedSkinTest, EveryControlTheProgramLooksUpStandsAtItsPlaceInBothSkins) {
  const std::vector<QZTest::SkinPlace> places = QZTest::EditorSkinPlaces();
  for (int index : {kHighDPI, kSkin1}) {
    SCOPED_TRACE(SkinName(index));
    const RawSkin& skin = Document().skins[size_t(index)];
    for (const QZTest::SkinPlace& place : places) {
      const RawControl* control = At(skin, place.path);
      ASSERT_TRUE(control) << place.path;
      EXPECT_EQ(control->className, place.className) << place.path;
    }
    // The tab controls' pages stand in the order of their buttons.
    for (const std::string tabs : {"mainControl/viewDevice/tabControl",
                                   "mainControl/viewDevice/tabControl/pageHolder/userPresetEditor/editPanel/keyboard/"
                                   "tabControl"}) {
      const RawControl& buttons = *At(skin, tabs + "/buttonHolder");
      const RawControl& pages = *At(skin, tabs + "/pageHolder");
      ASSERT_EQ(buttons.children.size(), pages.children.size()) << tabs;
      for (size_t i = 0; i < pages.children.size(); ++i) {
        EXPECT_EQ(buttons.children[i].name, pages.children[i].name) << tabs;
      }
    }
    // Hidden at first, as the program expects.
    for (const char* path :
         {"mainControl/viewDevice/productLogo", "mainControl/viewDevice/tabControl/pageHolder/globalPresetEditor",
          "mainControl/viewDevice/tabControl/pageHolder/userPresetEditor/editPanel/keyboard/label"}) {
      EXPECT_EQ(At(skin, path)->Attribute("IsVisible"), "False") << path;
    }
  }
}

TEST(ShippedSkinTest, LookListsHaveTheSizesTheirWidgetsAddressAndTheirLooksInPlace) {
  const RawSkinDocument& document = Document();
  for (int index : {kHighDPI, kSkin1}) {
    SCOPED_TRACE(SkinName(index));
    for (const auto& [control, parent] : AllControls(document.skins[size_t(index)])) {
      // Without a look a control paints and hit-tests none of its children.
      if (control->lookList.empty()) {
        ADD_FAILURE() << control->name << " (" << control->className << ") has no look list";
        continue;
      }
      const QZTest::RawLookList& list = document.LookList(control->lookList);
      // The message box's icon shows one of its four icons.
      const int count = control->name == "labelIcon" ? 4 : QZTest::LookCountOfClass(control->className);
      EXPECT_EQ(list.count, count) << control->name << " " << list.name;
      // Every slot holds a look, but the text box's unused ones (3-5, 7, 8).
      for (int slot = 0; slot < list.count; ++slot) {
        const bool unused = control->className == "Framework.TextBox" &&
                            (slot == 3 || slot == 4 || slot == 5 || slot == 7 || slot == 8);
        EXPECT_EQ(list.slots.contains(slot), !unused) << list.name << " slot " << slot;
      }
    }
    // A menu row's check box draws nothing while unchecked, then its mark (white on a
    // selected row); the rows' lists are the ones the framework skin names.
    const RawSkin& skin = document.skins[size_t(index)];
    const std::string row = "mainControl/mainMenu/templateMenu/popupMenu/templateItem";
    EXPECT_EQ(At(skin, row)->lookList, index == kSkin1 ? "CE.MenuItem" : "PresetEditor.MenuItem.HighDPI");
    EXPECT_EQ(At(skin, "mainControl/mainMenu/templateMenu")->lookList,
              index == kSkin1 ? "PresetEditor.MenuItem.MainMenu" : "PresetEditor.MenuItem.MainMenu.HighDPI");
    const QZTest::RawLookList& check = document.LookList(At(skin, row + "/checkBox")->lookList);
    for (int slot = 0; slot < 14; ++slot) {
      const QZTest::RawLook& look = document.Look(check.slots.at(slot));
      EXPECT_EQ(look.nonClientParts.empty() && look.clientPart.empty(), slot < 7) << slot;
      if (slot >= 7) {
        EXPECT_EQ(look.name.rfind(slot == 7 ? "CE.MenuItem.Check.Unselect" : "CE.MenuItem.Check.Select", 0), 0u);
      }
    }
  }
}

TEST(ShippedSkinTest, EveryButtonLooksDifferentWithTheFocusAndTabButtonsAreRadioGroupsWithTheFirstOn) {
  const RawSkinDocument& document = Document();
  for (int index : {kHighDPI, kSkin1}) {
    SCOPED_TRACE(SkinName(index));
    int buttons = 0;
    for (const auto& [control, parent] : AllControls(document.skins[size_t(index)])) {
      // A menu row's check box shows the row's state and never takes the focus.
      if (control->className != "Framework.Button" || parent == "Framework.MenuItem") {
        continue;
      }
      ++buttons;
      const QZTest::RawLookList& list = document.LookList(control->lookList);
      // Normal, hover, pressed, off and on, against the same with the focus.
      for (const int slot : {0, 1, 2, 7, 8, 9}) {
        EXPECT_NE(list.slots.at(slot), list.slots.at(slot + 3)) << control->name << " " << list.name << " " << slot;
      }
    }
    EXPECT_GT(buttons, 100);
    const RawSkin& skin = document.skins[size_t(index)];
    for (const std::string holder :
         {"mainControl/viewDevice/tabControl/buttonHolder",
          "mainControl/viewDevice/tabControl/pageHolder/userPresetEditor/editPanel/keyboard/tabControl/buttonHolder"}) {
      const RawControl& tabs = *At(skin, holder);
      for (size_t i = 0; i < tabs.children.size(); ++i) {
        const QZTest::RawAttributes& params = tabs.children[i].params;
        EXPECT_EQ(params.contains("IS_RADIO") ? params.at("IS_RADIO") : "", "True") << tabs.children[i].name;
        EXPECT_EQ(params.contains("AUTO_VALUE_SET") ? params.at("AUTO_VALUE_SET") : "", "True")
            << tabs.children[i].name;
        EXPECT_EQ(params.contains("INITIAL_VALUE"), i == 0) << tabs.children[i].name;
      }
    }
  }
}

// The resource name of a skin's image file: lower-cased, '.' and ' ' made '_', upper-cased.
std::u16string ResourceName(const std::string& file) {
  std::u16string name;
  for (const char c : file) {
    name += c == '.' || c == ' ' ? u'_' : char16_t(std::toupper(static_cast<unsigned char>(c)));
  }
  return name;
}

TEST(ShippedSkinTest, EveryImageASkinShowsIsCompiledInAtThatSkinsScale) {
  const RawSkinDocument& document = Document();
  for (int index : {kHighDPI, kSkin1}) {
    SCOPED_TRACE(SkinName(index));
    std::set<std::string> partNames;
    for (const auto& [control, parent] : AllControls(document.skins[size_t(index)])) {
      if (control->lookList.empty()) {
        continue;
      }
      for (const auto& [slot, lookName] : document.LookList(control->lookList).slots) {
        const QZTest::RawLook& look = document.Look(lookName);
        partNames.insert(look.nonClientParts.begin(), look.nonClientParts.end());
        for (const std::string& part : {look.clientPart, look.textPart}) {
          if (!part.empty()) {
            partNames.insert(part);
          }
        }
      }
    }
    int images = 0;
    for (const std::string& name : partNames) {
      const QZTest::RawAttributes& part = *document.Part(name);
      if (!part.contains("ImageFile")) {
        continue;
      }
      ++images;
      const std::string& file = part.at("ImageFile");
      EXPECT_EQ(file.ends_with("_2x.png"), index == kHighDPI) << name << " " << file;
      const auto bytes = QZ::Platform::Graphics::FindImageResource(ResourceName(file));
      ASSERT_TRUE(bytes) << file;
      const auto image = QZ::Platform::Graphics::Image::FromPngMemory(*bytes);
      ASSERT_TRUE(image) << file;
      const int x = std::stoi(part.at("ImageLocX"));
      const int y = std::stoi(part.at("ImageLocY"));
      EXPECT_TRUE(x >= 0 && y >= 0 && x + std::stoi(part.at("Width")) <= image->Width() &&
                  y + std::stoi(part.at("Height")) <= image->Height())
          << name << " outside " << file;
    }
    EXPECT_GT(images, 100);
  }
}

TEST(ShippedSkinTest, TheHighDPISkinIsTheStandardSkinDoubled) {
  const RawSkinDocument& document = Document();
  // Compares two controls and their subtrees: same names, classes and order, every
  // absolute number doubled.
  std::function<void(const RawControl&, const RawControl&, const std::string&)> compare =
      [&](const RawControl& high, const RawControl& standard, const std::string& path) {
        ASSERT_EQ(high.name, standard.name) << path;
        EXPECT_EQ(high.className, standard.className) << path;
        for (const auto& [key, value] : standard.attributes) {
          if (key.ends_with("Abs")) {
            EXPECT_EQ(high.Attribute(key), std::to_string(2 * std::stoi(value))) << path << " " << key;
          } else if (key != "FontSize") {
            EXPECT_EQ(high.Attribute(key), value) << path << " " << key;
          }
        }
        EXPECT_EQ(high.params, standard.params) << path;
        ASSERT_EQ(high.lookList.empty(), standard.lookList.empty()) << path;
        if (!high.lookList.empty()) {
          EXPECT_EQ(document.LookList(high.lookList).count, document.LookList(standard.lookList).count) << path;
        }
        ASSERT_EQ(high.children.size(), standard.children.size()) << path;
        for (size_t i = 0; i < high.children.size(); ++i) {
          compare(high.children[i], standard.children[i], path + "/" + standard.children[i].name);
        }
      };
  const RawSkin& high = document.skins[kHighDPI];
  const RawSkin& standard = document.skins[kSkin1];
  ASSERT_EQ(high.controls.size(), standard.controls.size());
  for (size_t i = 0; i < high.controls.size(); ++i) {
    compare(high.controls[i], standard.controls[i], standard.controls[i].name);
  }
}

TEST(ShippedSkinTest, EveryControlHasASizeAndSitsInsideTheParentThatClipsIt) {
  for (int index : {kHighDPI, kSkin1}) {
    SCOPED_TRACE(SkinName(index));
    for (const RawControl& top : Document().skins[size_t(index)].controls) {
      const QZTest::LaidOutControl root = QZTest::LayOut(top, {}, nullptr);
      std::function<void(const QZTest::LaidOutControl&, const std::string&)> check =
          [&](const QZTest::LaidOutControl& parent, const std::string& path) {
            for (const QZTest::LaidOutControl& child : parent.children) {
              const std::string at = path + "/" + child.control->name;
              const QZTest::LayoutRect& r = child.rect;
              EXPECT_TRUE(r.width > 0 && r.height > 0) << at;
              if (child.control->Attribute("ClipToParent", "True") == "True") {
                EXPECT_TRUE(r.x >= 0 && r.y >= 0 && r.x + r.width <= parent.rect.width &&
                            r.y + r.height <= parent.rect.height)
                    << at << " (" << r.x << ", " << r.y << ", " << r.width << ", " << r.height << ") in "
                    << parent.rect.width << " x " << parent.rect.height;
              }
              check(child, at);
            }
          };
      check(root, top.name);
    }
  }
}

TEST(ShippedSkinTest, ThePictureDrawsEachModelsKeybedUnderTheKeyboardButtonAndTheWellsOfItsElements) {
  namespace Art = QZ::SkinArt;
  QZ::RCPtr<QZ::LControlFactory> factory(new QZ::LControlFactory());
  ASSERT_EQ(factory->LoadSkins(u"::APP_SKINS"), 0);
  const char* const picture = "mainControl/viewDevice/tabControl/pageHolder/userPresetEditor/controlNavigation";
  for (int index : {kHighDPI, kSkin1}) {
    SCOPED_TRACE(SkinName(index));
    const int scale = index == kHighDPI ? 2 : 1;
    const RawSkin& skin = Document().skins[size_t(index)];
    const QZTest::LaidOutControl root = QZTest::LayOut(*skin.Control("mainControl"), {}, nullptr);
    const std::string at = std::string(picture).substr(std::string("mainControl/").size());
    const QZTest::LaidOutControl& view = *QZTest::Find(root, at);
    const QZTest::LaidOutControl& group = *QZTest::Find(view, "keyboardGroup");
    const QZTest::LaidOutControl& keys = *QZTest::Find(group, "keyboard1");
    const double keysX = group.rect.x + keys.rect.x;
    const double keysY = group.rect.y + keys.rect.y;

    const QZ::RCPtr<QZ::LLookList> looks = factory->FindLookList(
        QZ::WString(At(skin, std::string(picture) + "/productLogosMultiLookLabel")->lookList.c_str()));
    ASSERT_TRUE(looks);
    ASSERT_EQ(looks->GetCount(), 3u);
    for (uint32_t model = 0; model < 3; ++model) {
      SCOPED_TRACE(model);
      const QZ::RCPtr<QZ::LLookDescriptor>& look = looks->GetAt(model);
      ASSERT_TRUE(look);
      // The plate, the keybed, then the nine pieces of each of the two wells.
      ASSERT_EQ(look->GetNonClientParts().GetCount(), 20u);
      const QZ::LDockedPart& keybed = *look->GetNonClientParts().GetAt(1);
      EXPECT_EQ(keybed.GetDock().offsetLeft, keysX);
      EXPECT_EQ(keybed.GetDock().offsetTop, keysY);
      const int keyCount = Art::kModelKeys[model];
      EXPECT_EQ(keybed.GetPart()->GetSize().width, Art::Keybed::Area(keyCount).width * scale);
      EXPECT_EQ(keybed.GetPart()->GetSize().height, keys.rect.height);
      // Every model's keys fill the button.
      EXPECT_EQ(keybed.GetPart()->GetSize().width, keys.rect.width);
      // The wells frame the faders and the buttons the model shows: the 25-key model's
      // its first alone, with the margins the group gives it on its left.
      for (const char* const well : {"sliderGroup", "buttonGroup"}) {
        SCOPED_TRACE(well);
        const size_t first = well == std::string("sliderGroup") ? 2 : 11;
        const QZ::LDockedPart::Dock& topLeft = look->GetNonClientParts().GetAt(first)->GetDock();
        const QZ::LDockedPart::Dock& bottomRight = look->GetNonClientParts().GetAt(first + 8)->GetDock();
        const QZTest::LaidOutControl& elements = *QZTest::Find(view, well);
        const QZTest::LayoutRect& firstElement = elements.children.front().rect;
        const double right = model == 0 ? elements.rect.x + 2 * firstElement.x + firstElement.width
                                        : elements.rect.x + elements.rect.width;
        EXPECT_EQ(topLeft.offsetLeft, elements.rect.x);
        EXPECT_EQ(topLeft.offsetTop, elements.rect.y);
        EXPECT_EQ(view.rect.width + bottomRight.offsetRight, right);
        EXPECT_EQ(view.rect.height + bottomRight.offsetBottom, elements.rect.y + elements.rect.height);
      }
    }
  }
}

// Controls whose texts the program sets itself rather than reading their tables.
bool TextComesFromCode(const RawControl& control, const std::string& parentClass) {
  static const std::set<std::string> classes = {"Framework.ListBoxItem", "Framework.MenuItem", "Framework.ComboMenu",
                                                "Framework.TextBox", "Framework.ToolTip"};
  static const std::set<std::pair<std::string, std::string>> controls = {
      {"Framework.MenuItem", "hotKeyLabel"},                                 // the item's hot key
      {"PresetEditor.Control.LabeledChordNoteSelector", "controlNameLabel"}, // "NOTE 1" .. "NOTE 6"
      {"PresetEditor.CommonButtonEditPanel", "label"},                       // the page's own "Button %d"
      {"PresetEditor.DialogAbout", "labelProduct"},                          // the version block's texts
      {"PresetEditor.DialogAbout", "labelCopyright"},
      {"Framework.Panel", "labelText"}, // the message box's text and buttons
      {"Framework.Panel", "buttonOK"},
      {"Framework.Panel", "buttonCancel"},
      {"Framework.Panel", "buttonAbort"},
      {"Framework.Panel", "buttonRetry"},
      {"Framework.Panel", "buttonIgnore"},
      {"Framework.Panel", "buttonYes"},
      {"Framework.Panel", "buttonNo"},
  };
  return classes.contains(control.className) || controls.contains({parentClass, control.name});
}

TEST(ShippedSkinTest, EveryControlThatShowsTextHasItsStringTableAndEveryTableItsControl) {
  std::set<std::string> tables;
  for (const auto& key : QZTest::kSingleStringTableKeys) {
    tables.insert(key.table);
  }
  for (const auto& list : QZTest::kStringTableLists) {
    tables.insert(list.table);
  }
  tables.erase(QZTest::kFrameworkTable);
  tables.erase(QZTest::kApplicationTable);
  const RawSkinDocument& document = Document();
  for (int index : {kHighDPI, kSkin1}) {
    SCOPED_TRACE(SkinName(index));
    std::set<std::string> places;
    int texts = 0;
    for (const auto& [control, parent] : AllControls(document.skins[size_t(index)])) {
      const std::string table = parent + "|" + control->name;
      places.insert(table);
      if (control->lookList.empty()) {
        continue;
      }
      bool showsText = false;
      for (const auto& [slot, look] : document.LookList(control->lookList).slots) {
        showsText = showsText || !document.Look(look).textPart.empty();
      }
      if (showsText && !TextComesFromCode(*control, parent)) {
        ++texts;
        EXPECT_TRUE(tables.contains(table)) << table;
      }
    }
    EXPECT_GT(texts, 100);
    for (const std::string& table : tables) {
      EXPECT_TRUE(places.contains(table)) << "no control for " << table;
    }
  }
}

} // namespace
