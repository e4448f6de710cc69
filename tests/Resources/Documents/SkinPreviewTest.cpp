// The shipped skin drawn by the application's renderer before any control exists: a sheet
// of every look each skin's controls use, and the main window, its pages and its dialogs
// drawn from the placements and the first looks of their controls, with the texts of the
// string tables. The pictures are written to the build folder to be looked at; the tests
// check that each look draws and that every text fits its control.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "QZFramework/ControlBase/ControlFactory.h"
#include "QZFramework/ControlBase/Look.h"
#include "QZFramework/Renderer/Gdi/GDIRenderer.h"
#include "Resources/Documents/RawSkinDocument.h"
#include "Resources/Documents/SkinLayout.h"
#include "Resources/SkinArt/Palette.h"
#include "Support/FontconfigInit.h"
#include "Support/ImageCompare.h"

namespace {

using QZTest::LaidOutControl;
using QZTest::RawControl;
using QZTest::RawSkin;

const std::string kDocumentFolder = QZ_RESOURCE_DOCUMENTS;
const std::string kOutput = QZ_SKIN_PREVIEW_OUTPUT;
// Behind the drawings: darker than any surface of the palette.
constexpr uint32_t kBackdrop = 0xFF0B0C0E;

const QZTest::RawSkinDocument& Document() {
  static const QZTest::RawSkinDocument document = QZTest::RawSkinDocument::Read(kDocumentFolder + "/Skins.xml");
  return document;
}

QZ::WString Wide(const std::string& text) { return QZ::WString(text.c_str()); }

// An offscreen frame of the application's renderer, with the factory that read the
// shipped skin and string tables.
class Canvas {
public:
  Canvas(int width, int height) : mRenderer(new QZ::LGDIRenderer), mFactory(new QZ::LControlFactory()) {
    QZ::RCPtr<QZ::LGDIRenderer> renderer = mRenderer;
    QZ::LFont::SetMeasurementRendererSource([renderer] { return QZ::RCPtr<QZ::LMeasurementRenderer>(renderer); });
    EXPECT_EQ(mFactory->LoadResources(u"::", 0x0409), 0);
    EXPECT_EQ(mRenderer->InitRenderContextInfo({0, 0, width, height}, nullptr, true, mContext), 0);
    mContext->GetUpdateRegion().AddRect({0, 0, width, height});
    mRenderer->RenderStart(mContext);
    mRenderer->FillRect({0, 0, width, height}, QZ::ColorT<float>::FromARGB(kBackdrop), false);
  }
  ~Canvas() {
    if (!mFinished) {
      mRenderer->RenderFinish(mContext);
    }
    QZ::LFont::SetMeasurementRendererSource({});
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  QZ::LGDIRenderer& Renderer() { return *mRenderer; }
  QZ::LControlFactory& Factory() { return *mFactory; }

  // Draws a look at (x, y) of the current origin in size, with text in font, cut at its
  // edges.
  void DrawLook(const QZ::RCPtr<QZ::LLookDescriptor>& descriptor, int x, int y, int width, int height,
                const QZ::WString& text, const QZ::RCPtr<QZ::LFont>& font, bool wrap = false) {
    const QZ::RCPtr<QZ::LLook> look = QZ::LLook::Create(descriptor, wrap);
    look->SetSize({width, height});
    look->SetFont(font);
    look->SetText(text);
    const QZ::RectT<double> frame{double(x), double(y), double(width), double(height)};
    mRenderer->PushClip(frame, frame, nullptr, true);
    const QZ::RectListT<int32_t>& region = mContext->GetUpdateRegion();
    look->DrawNonClientParts(QZ::RCPtr<QZ::LRenderer>(mRenderer), region);
    look->DrawClientParts(QZ::RCPtr<QZ::LRenderer>(mRenderer), region);
    look->DrawLabelText(QZ::RCPtr<QZ::LRenderer>(mRenderer), region, {0, 0});
    mRenderer->PopClip();
  }

  void Text(const std::string& text, int x, int y, const QZ::RCPtr<QZ::LFont>& font, uint32_t argb) {
    // Checked below.
    mRenderer->DrawText(Wide(text), *font, {double(x), double(y)}, QZ::ColorT<float>::FromARGB(argb));
  }

  // Ends the frame and writes it; the image stays readable.
  QZ::Platform::Graphics::Image& Finish(const std::string& name) {
    mRenderer->RenderFinish(mContext);
    mFinished = true;
    QZ::Platform::Graphics::Image& image =
        *dynamic_cast<QZ::LGDIRenderContextInfo&>(*mContext).GetCurrentSurface()->GetImage();
    std::filesystem::create_directories(kOutput);
    EXPECT_TRUE(QZTest::WritePng(image, kOutput + "/" + name + ".png"));
    return image;
  }

private:
  QZ::RCPtr<QZ::LGDIRenderer> mRenderer;
  QZ::RCPtr<QZ::LControlFactory> mFactory;
  QZ::RCPtr<QZ::LRenderContextInfo> mContext;
  bool mFinished = false;
};

int ScaleOf(int skin) { return skin == 0 ? 2 : 1; }
std::string SkinName(int skin) { return skin == 0 ? "HighDPI" : "Skin1"; }

QZ::RCPtr<QZ::LFont> SkinFont(int skin, int32_t style = QZ::LFont::kRegular) {
  return QZ::LFont::GetFont(u"Arial", skin == 0 ? 15.75f : 8.25f, style);
}

// The font a control asks for: the skin's, unless the control names its own.
QZ::RCPtr<QZ::LFont> FontOf(const RawControl& control, int skin) {
  if (!control.attributes.contains("FontSize")) {
    return SkinFont(skin);
  }
  return QZ::LFont::GetFont(u"Arial", std::stof(control.Attribute("FontSize")),
                            std::stoi(control.Attribute("FontStyle", "0")));
}

// --- The sheet of looks ---------------------------------------------------------------

struct ListUse {
  std::string list;
  std::string className;
  int width = 0;
  int height = 0;
};

// Each look list of a skin once, with the size of the first control that uses it.
std::vector<ListUse> ListsOf(int skin) {
  std::vector<ListUse> uses;
  std::set<std::string> seen;
  for (const RawControl& top : Document().skins[size_t(skin)].controls) {
    const LaidOutControl root = QZTest::LayOut(top, {}, nullptr);
    std::function<void(const LaidOutControl&)> visit = [&](const LaidOutControl& at) {
      const RawControl& control = *at.control;
      if (!control.lookList.empty() && seen.insert(control.lookList).second) {
        uses.push_back({control.lookList, control.className, int(at.rect.width), int(at.rect.height)});
      }
      for (const LaidOutControl& child : at.children) {
        visit(child);
      }
    };
    visit(root);
  }
  return uses;
}

// Looks that draw nothing on purpose: the transparent look of holders (also an unchecked
// menu row's check box), and the keyboard's overlay at rest, which only catches the mouse (and its pressed shade, which
// only darkens the keys below it).
bool DrawsNothingOnPurpose(const std::string& look) {
  return look == "Transparent" || look.starts_with("Keyboard.Normal") || look.starts_with("Keyboard.Disabled") ||
         look.starts_with("Keyboard.Pressed");
}

// The renderer's surfaces are at most this tall: longer sheets take several pages.
constexpr int kMaxSheetHeight = 4096;

TEST(SkinPreviewTest, EveryLookOfEachSkinDrawsIntoTheSheetOfLooks) {
  for (const int skin : {0, 1}) {
    SCOPED_TRACE(SkinName(skin));
    const int scale = ScaleOf(skin);
    const std::vector<ListUse> uses = ListsOf(skin);
    // Rows of one list each: its name, then its looks side by side, each cut to a cell.
    const int gap = 8 * scale;
    const int nameWidth = 230 * scale;
    const int width = 1800 * scale;
    const auto cellHeight = [&](const ListUse& use) { return std::min(use.height, 120 * scale); };
    const QZ::RCPtr<QZ::LFont> font = SkinFont(skin);
    size_t next = 0;
    for (int page = 1; next < uses.size(); ++page) {
      size_t end = next;
      int height = gap;
      while (end < uses.size() && height + cellHeight(uses[end]) + 2 * gap <= kMaxSheetHeight) {
        height += cellHeight(uses[end++]) + 2 * gap;
      }
      ASSERT_GT(end, next) << uses[next].list << " is taller than a page";
      Canvas canvas(width, height);
      struct Cell {
        std::string look;
        int x, y, width, height;
      };
      std::vector<Cell> cells;
      int y = gap;
      for (; next < end; ++next) {
        const ListUse& use = uses[next];
        const int cellWidth = std::min(use.width, 300 * scale);
        canvas.Text(use.list, gap, y, font, QZ::SkinArt::Palette::kTextSecondary);
        const QZ::RCPtr<QZ::LLookList> list = canvas.Factory().FindLookList(Wide(use.list));
        ASSERT_TRUE(list) << use.list;
        std::set<QZ::LLookDescriptor*> drawn;
        int x = nameWidth;
        for (uint32_t slot = 0; slot < list->GetCount(); ++slot) {
          const QZ::RCPtr<QZ::LLookDescriptor>& look = list->GetAt(slot);
          if (!look || !drawn.insert(look.Get()).second || x + cellWidth > width) {
            continue;
          }
          canvas.DrawLook(look, x, y, cellWidth, cellHeight(use), u"Preset 1", font);
          cells.push_back({look->GetName().ToUTF8().GetBuffer(), x, y, cellWidth, cellHeight(use)});
          x += cellWidth + gap;
        }
        y += cellHeight(use) + 2 * gap;
      }
      QZ::Platform::Graphics::Image& image = canvas.Finish(SkinName(skin) + "-looks-" + std::to_string(page));
      ASSERT_EQ(image.Height(), height);
      const QZ::Platform::Graphics::Color backdrop{kBackdrop};
      // A look that only tints by a unit or two does not count as drawing.
      const auto differs = [&](QZ::Platform::Graphics::Color colour) {
        return std::abs(colour.R() - backdrop.R()) > 2 || std::abs(colour.G() - backdrop.G()) > 2 ||
               std::abs(colour.B() - backdrop.B()) > 2;
      };
      for (const Cell& cell : cells) {
        bool changed = false;
        for (int py = cell.y; py < cell.y + cell.height && !changed; ++py) {
          for (int px = cell.x; px < cell.x + cell.width && !changed; ++px) {
            QZ::Platform::Graphics::Color colour;
            changed = image.GetPixel(px, py, colour) == QZ::Platform::Graphics::Status::Ok && differs(colour);
          }
        }
        EXPECT_EQ(changed, !DrawsNothingOnPurpose(cell.look)) << cell.look;
      }
    }
  }
}

// --- The window, drawn from the skin --------------------------------------------------

// What a preview changes in the skin's first state: controls shown or hidden, and the
// look each shows (by path from the top-level control).
struct Scene {
  std::string name;
  std::string top;
  std::map<std::string, bool> visible;
  std::map<std::string, int> looks;
  int model = 2;
};

const std::string kView = "mainControl/viewDevice/";
const std::string kUser = kView + "tabControl/pageHolder/userPresetEditor/";
const std::string kPicture = kUser + "controlNavigation/";
const std::string kEdit = kUser + "editPanel/";
const std::string kChordPage = kEdit + "keyboard/tabControl/pageHolder/";

// A sample text for a control: its table's "LABEL" (formats filled), its list's first
// item, or what the program would set.
std::string SampleText(QZ::LControlFactory& factory, const RawControl& control, const std::string& parentClass,
                       const std::string& path) {
  const auto lookup = [&](const std::string& table, const char* id) {
    const size_t bar = table.find('|');
    QZ::WString text;
    const QZ::RCPtr<QZ::LStringTable> strings =
        factory.GetStringTable(table.substr(0, bar) == "PresetEditor" ? QZ::WString() : Wide(table.substr(0, bar)),
                               Wide(table.substr(bar + 1)));
    return strings && QZ::LookupString(strings.Get(), QZ::WString(id), text) ? std::string(text.ToUTF8().GetBuffer())
                                                                             : std::string();
  };
  const std::string table = parentClass + "|" + control.name;
  if (control.className == "Framework.ComboBox") {
    return lookup(table, "ITEM.01").empty() ? lookup(table, "ITEM.00") : lookup(table, "ITEM.01");
  }
  if (control.className == "Framework.TextBox") {
    return path.find("tempo") != std::string::npos ? "120" : "64";
  }
  if (control.className == "Framework.ComboMenu") {
    return "File";
  }
  if (control.className == "Framework.ToolTip") {
    return "Knob: 3\nChannel: Global\nCC: 74";
  }
  if (parentClass == "PresetEditor.Control.CCSelector" && control.name == "label") {
    return lookup(table, "TEXT.074");
  }
  if (parentClass == "PresetEditor.Control.NoteSelector") {
    return control.name == "noteNameLabel" ? "C" : "(3)";
  }
  if (parentClass == "PresetEditor.Control.LabeledChordNoteSelector" && control.name == "controlNameLabel") {
    return "NOTE 1";
  }
  if (parentClass == "PresetEditor.CommonButtonEditPanel" && control.name == "label") {
    return "Button 3";
  }
  if (control.name == "labelProduct") {
    return "1.0.0";
  }
  if (control.name == "labelCopyright") {
    return "Copyright 2024 Vandrel. All rights reserved.";
  }
  std::string text = lookup(table, "LABEL");
  for (const auto& [format, sample] : {std::pair<std::string, std::string>{"%d", "3"}, {"%s", "G"}}) {
    for (size_t at = text.find(format); at != std::string::npos; at = text.find(format)) {
      text.replace(at, format.size(), sample);
    }
  }
  return text;
}

struct TextProblem {
  std::string path;
  std::string text;
};

// Draws a laid-out control at the current origin, then its shown children inside it.
void DrawTree(Canvas& canvas, const LaidOutControl& at, const std::string& path, const std::string& parentClass,
              const Scene& scene, int skin, std::vector<TextProblem>& problems) {
  const RawControl& control = *at.control;
  const auto shown = scene.visible.find(path);
  const bool visible = shown != scene.visible.end() ? shown->second : control.Attribute("IsVisible", "True") == "True";
  // Drop-down lists, pop-up menus and row templates appear only when the program opens them.
  if (!visible || control.name == "templateItem" ||
      (path.find('/') != std::string::npos && control.Attribute("ClipToParent", "True") != "True")) {
    return;
  }
  QZ::LRenderer& renderer = canvas.Renderer();
  const QZ::RectT<double> frame{at.rect.x, at.rect.y, at.rect.width, at.rect.height};
  renderer.PushClip(frame, frame, nullptr, true);
  if (!control.lookList.empty()) {
    const QZ::RCPtr<QZ::LLookList> list = canvas.Factory().FindLookList(Wide(control.lookList));
    const auto chosen = scene.looks.find(path);
    uint32_t index = chosen != scene.looks.end() ? uint32_t(chosen->second) : 0;
    if (control.className == "PresetEditor.Control.ProductLogoLabels") {
      index = uint32_t(scene.model);
    }
    if (list && index < list->GetCount() && list->GetAt(index)) {
      const std::string text = SampleText(canvas.Factory(), control, parentClass, path);
      const QZ::RCPtr<QZ::LFont> font = FontOf(control, skin);
      const QZ::RCPtr<QZ::LLookDescriptor>& descriptor = list->GetAt(index);
      canvas.DrawLook(descriptor, 0, 0, int(at.rect.width), int(at.rect.height), Wide(text), font,
                      control.Attribute("TextOverflowXType") == "Wrap");
      // A text wider or taller than its block is cut: a fault of the layout.
      if (!text.empty() && descriptor->HasTextProperties() && control.className != "Framework.ToolTip") {
        const QZ::RCPtr<QZ::LLook> look =
            QZ::LLook::Create(descriptor, control.Attribute("TextOverflowXType") == "Wrap");
        look->SetSize({int32_t(at.rect.width), int32_t(at.rect.height)});
        look->SetFont(font);
        look->SetText(Wide(text));
        const QZ::RectT<int32_t> block = look->GetTextBlockRect();
        QZ::LFontText& layout = *look->GetFontText();
        if (layout.GetNaturalWidth() > block.width + 1 || layout.GetTextHeight(block.width) > block.height + 1) {
          problems.push_back({path, text});
        }
      }
    }
  }
  for (const LaidOutControl& child : at.children) {
    DrawTree(canvas, child, path + "/" + child.control->name, control.className, scene, skin, problems);
  }
  renderer.PopClip();
}

std::vector<Scene> Scenes() {
  std::vector<Scene> scenes;
  Scene start{"start", "mainControl", {}, {}};
  // The keyboard page shows one sub-page at a time; the device view's content fits, so
  // its scroll bars and their corner have no size.
  start.visible = {{kChordPage + "chord", false},
                   {kChordPage + "scale", false},
                   {kView + "corner", false},
                   {kView + "hBar", false},
                   {kView + "vBar", false}};
  scenes.push_back(start);

  Scene knob = start;
  knob.name = "knob3";
  knob.visible[kEdit + "knob"] = true;
  knob.looks[kPicture + "knobGroup/knob3/button"] = 10;
  knob.looks[kPicture + "padGroup1/pad2/button"] = 1;
  scenes.push_back(knob);

  Scene chord = start;
  chord.name = "chord";
  chord.visible[kEdit + "keyboard"] = true;
  chord.visible[kChordPage + "arp"] = false;
  chord.visible[kChordPage + "chord"] = true;
  for (int i = 1; i <= 6; ++i) {
    chord.visible[kChordPage + "chord/userChordNote" + std::to_string(i)] = true;
  }
  chord.visible[kChordPage + "chord/smartRootNote"] = false;
  chord.visible[kChordPage + "chord/voicings"] = false;
  chord.looks[kEdit + "keyboard/tabControl/buttonHolder/chord"] = 7;
  chord.looks[kPicture + "keyboardGroup/keyboard1/button"] = 7;
  scenes.push_back(chord);

  Scene button = start;
  button.name = "button";
  button.visible[kEdit + "button"] = true;
  button.looks[kPicture + "buttonGroup/button1/button"] = 7;
  button.model = 0;
  for (int i = 2; i <= 9; ++i) {
    button.visible[kPicture + "sliderGroup/slider" + std::to_string(i)] = false;
    button.visible[kPicture + "buttonGroup/button" + std::to_string(i)] = false;
  }
  scenes.push_back(button);

  Scene wheels = start;
  wheels.name = "wheels";
  wheels.visible[kEdit + "wheels"] = true;
  wheels.looks[kPicture + "wheelGroup/wheel/button"] = 7;
  wheels.model = 1;
  scenes.push_back(wheels);

  Scene global = start;
  global.name = "global";
  global.visible[kView + "tabControl/pageHolder/userPresetEditor"] = false;
  global.visible[kView + "tabControl/pageHolder/globalPresetEditor"] = true;
  global.looks[kView + "tabControl/buttonHolder/globalPresetEditor"] = 7;
  global.model = 1;
  scenes.push_back(global);

  for (const char* dialog : {"dialogSendPreset", "dialogRetrievePresetFromHardware", "dialogAbout", "toolTip"}) {
    scenes.push_back({dialog, dialog, {}, {}});
  }
  return scenes;
}

TEST(SkinPreviewTest, TheWindowItsPagesAndItsDialogsDrawWithEveryTextInsideItsControl) {
  for (const int skin : {0, 1}) {
    SCOPED_TRACE(SkinName(skin));
    const RawSkin& raw = Document().skins[size_t(skin)];
    for (Scene scene : Scenes()) {
      SCOPED_TRACE(scene.name);
      if (scene.name == "start" || scene.top == "mainControl") {
        // Tabs not selected in the scene show their rest look; the selected one is on.
        const std::string tab = kView + "tabControl/buttonHolder/userPresetEditor";
        if (!scene.looks.contains(kView + "tabControl/buttonHolder/globalPresetEditor")) {
          scene.looks.emplace(tab, 7);
        }
        const std::string subTab = kEdit + "keyboard/tabControl/buttonHolder/arp";
        if (!scene.looks.contains(kEdit + "keyboard/tabControl/buttonHolder/chord")) {
          scene.looks.emplace(subTab, 7);
        }
      }
      LaidOutControl root = QZTest::LayOut(*raw.Control(scene.top), {}, nullptr);
      root.rect.x = root.rect.y = 0;
      if (scene.top == "toolTip") {
        // The tip grows to its text ("Expand" on both axes).
        const RawControl& tip = *root.control;
        const QZ::RCPtr<QZ::LLookList> list = Canvas(1, 1).Factory().FindLookList(Wide(tip.lookList));
        const QZ::RCPtr<QZ::LLook> look = QZ::LLook::Create(list->GetAt(0), false);
        look->SetSize({int32_t(root.rect.width), int32_t(root.rect.height)});
        look->SetFont(FontOf(tip, skin));
        look->SetText(Wide("Knob: 3\nChannel: Global\nCC: 74"));
        const QZ::RectT<int32_t> block = look->GetTextBlockRect();
        root.rect.width += std::max(0, look->GetFontText()->GetNaturalWidth() - block.width);
        root.rect.height += std::max(0, look->GetFontText()->GetTextHeight(block.width) - block.height);
      }
      Canvas canvas(int(root.rect.width), int(root.rect.height));
      std::vector<TextProblem> problems;
      DrawTree(canvas, root, scene.top, "PresetEditor", scene, skin, problems);
      canvas.Finish(SkinName(skin) + "-" + scene.name);
      for (const TextProblem& problem : problems) {
        ADD_FAILURE() << "\"" << problem.text << "\" does not fit " << problem.path;
      }
    }
  }
}

} // namespace
