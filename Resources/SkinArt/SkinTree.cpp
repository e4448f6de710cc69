#include "Resources/SkinArt/SkinTree.h"

#include <array>
#include <string>

#include "Resources/SkinArt/Atlases.h"
#include "Resources/SkinArt/SkinLooks.h"

namespace QZ::SkinArt {

namespace {

// The main window's content and the dialogs, 1x.
constexpr int kWindowWidth = 1200;
constexpr int kWindowHeight = 850;
constexpr int kWindowOrigin = 40;
// The height of a selector: its caption, then its control.
constexpr int kCaptionHeight = 16;
constexpr int kFieldHeight = 24;
constexpr int kSelectorHeight = kCaptionHeight + 2 + kFieldHeight;
constexpr int kRowHeight = 22;
constexpr int kScrollThickness = 10;
constexpr int kFrameScrollThickness = 12;
// The edit panel below the controller picture.
constexpr int kEditHeight = 251;

// The editor's class names carry this prefix.
std::string Editor(const std::string& name) { return "PresetEditor." + name; }
std::string Framework(const std::string& name) { return "Framework." + name; }

// Builds one skin's controls at one scale; every number it is given is in 1x pixels.
class Tree {
public:
  explicit Tree(const LookLists& looks) : L(looks), mScale(looks.scale) {}

  std::string Px(int value) const { return std::to_string(value * mScale); }
  const char* SkinName() const { return mScale == 2 ? "HighDPI" : "StandardDPI"; }

  // A control without a look list of its own shows the transparent one: without a look
  // it would paint and hit none of its children.
  Control Make(const std::string& className, const std::string& name, const std::string& lookList = {}) const {
    Control control;
    control.className = className;
    control.name = name;
    control.skinName = SkinName();
    control.lookList = lookList.empty() ? L.transparent : lookList;
    return control;
  }

  // Fixed position and size in the parent's client area.
  Control& Place(Control& control, int x, int y, int width, int height) const {
    return control.Set("XPositionAbs", Px(x))
        .Set("YPositionAbs", Px(y))
        .Set("XSizeAbs", Px(width))
        .Set("YSizeAbs", Px(height));
  }
  Control Make(const std::string& className, const std::string& name, const std::string& lookList, int x, int y,
               int width, int height) const {
    Control control = Make(className, name, lookList);
    Place(control, x, y, width, height);
    return control;
  }
  static Control& Hidden(Control& control) { return control.Set("IsVisible", "False"); }
  // Drawn above everything else and not cut at the parent's edges.
  static Control& Floating(Control& control, int zOrder) {
    return control.Set("ClipToParent", "False").Set("Z_Order", zOrder);
  }
  Control& Bold(Control& control) const {
    return control.Set("FontName", "Arial").Set("FontSize", mScale == 2 ? "18.75" : "9.75").Set("FontStyle", "1");
  }
  static Control& Docked(Control& control) { return control.Set("XIsDocked", "True").Set("YIsDocked", "True"); }

  // A tab button: one of a radio group that a click selects, the first selected at first
  // (the tab control selects its first tab and turns the others off when a click changes it).
  Control TabButton(const std::string& name, const std::string& lookList, int x, int width, int height,
                    bool first) const {
    Control button = Make(Framework("Button"), name, lookList, x, 0, width, height);
    button.AddParam("AUTO_VALUE_SET", "Boolean", "True").AddParam("IS_RADIO", "Boolean", "True");
    if (first) {
      button.AddParam("INITIAL_VALUE", "Real", "1");
    }
    return button;
  }

  Control Label(const std::string& name, const std::string& lookList, int x, int y, int width, int height) const {
    return Make(Framework("Label"), name, lookList, x, y, width, height);
  }

  // --- Scroll bars ----------------------------------------------------------------------

  // The arrows, then the channel between them holding the thumb. inc comes before the
  // channel, whose far edge is inc's near edge.
  void AddBarParts(Control& bar, bool vertical, int t) const {
    Control dec = Make(Framework("Button"), "dec", vertical ? L.scrollUp : L.scrollLeft, 0, 0, t, t);
    Control inc = Make(Framework("Button"), "inc", vertical ? L.scrollDown : L.scrollRight, 0, 0, t, t);
    Control channel = Make(Framework("ScrollChannel"), "channel", L.scrollChannel);
    Control thumb = Make(Framework("Button"), "thumb", L.scrollThumb, 0, 0, t, t);
    const std::string along = vertical ? "Y" : "X";
    const std::string across = vertical ? "X" : "Y";
    inc.SetFloat(along + "PositionRel", 1).SetFloat(along + "PlacementAnchor", 1);
    channel.Set(across + "PositionAbs", "0")
        .Set(along + "PositionAbs", Px(t))
        .Set(across + "SizeToControl", "Client")
        .SetFloat(across + "SizeRel", 1)
        .Set(along + "SizeToControl", "inc")
        .Set(across + "SizeAbs", "0")
        .Set(along + "SizeAbs", "0");
    thumb.Set(across + "SizeToControl", "Client").SetFloat(across + "SizeRel", 1).Set(across + "SizeAbs", "0");
    channel.Add(thumb);
    bar.Add(dec);
    bar.Add(inc);
    bar.Add(channel);
  }

  // A vertical bar along the right edge of the parent's client area.
  Control VerticalBar(int t) const {
    Control bar = Make(Framework("ScrollBar"), "vBar", L.scrollBar);
    bar.SetFloat("XPositionRel", 1)
        .SetFloat("XPlacementAnchor", 1)
        .Set("XSizeAbs", Px(t))
        .Set("YPositionAbs", "0")
        .Set("YSizeToControl", "Client")
        .SetFloat("YSizeRel", 1)
        .Set("YSizeAbs", "0");
    Docked(bar);
    AddBarParts(bar, true, t);
    return bar;
  }

  // The scroll view's corner and both bars, sized by the corner (the view hides a bar by
  // giving the corner no width or no height).
  void AddCornerAndBars(Control& view, int t) const {
    Control corner = Make(Framework("Label"), "corner", L.scrollCorner);
    corner.SetFloat("XPositionRel", 1)
        .SetFloat("XPlacementAnchor", 1)
        .SetFloat("YPositionRel", 1)
        .SetFloat("YPlacementAnchor", 1)
        .Set("XSizeAbs", Px(t))
        .Set("YSizeAbs", Px(t));
    Docked(corner);
    Control hBar = Make(Framework("ScrollBar"), "hBar", L.scrollBar);
    hBar.Set("XPositionAbs", "0")
        .Set("XSizeToControl", "corner")
        .Set("XSizeAbs", "0")
        .Set("YPositionToControl", "corner")
        .Set("YSizeToControl", "corner")
        .SetFloat("YSizeRel", 1)
        .Set("YSizeAbs", "0");
    Docked(hBar);
    AddBarParts(hBar, false, t);
    Control vBar = Make(Framework("ScrollBar"), "vBar", L.scrollBar);
    vBar.Set("XPositionToControl", "corner")
        .Set("XSizeToControl", "corner")
        .SetFloat("XSizeRel", 1)
        .Set("XSizeAbs", "0")
        .Set("YPositionAbs", "0")
        .Set("YSizeToControl", "corner")
        .Set("YSizeAbs", "0");
    Docked(vBar);
    AddBarParts(vBar, true, t);
    view.Add(corner);
    view.Add(hBar);
    view.Add(vBar);
  }

  // --- Fields ---------------------------------------------------------------------------

  // A combo box whose list drops below it, rows tall enough for `rows` items before it
  // scrolls.
  Control ComboBox(const std::string& name, int x, int y, int width, int height, int rows = 8) const {
    Control combo = Make(Framework("ComboBox"), name, L.comboBox, x, y, width, height);
    Control list = Make(Framework("ListBox"), "listBox", L.listBox);
    const int listHeight = rows * kRowHeight + 6;
    list.Set("XPositionAbs", "0")
        .Set("XSizeToControl", "Parent")
        .SetFloat("XSizeRel", 1)
        .Set("XSizeAbs", "0")
        .Set("YPositionToControl", "Parent")
        .SetFloat("YPositionRel", 1)
        .Set("YPositionAbs", Px(2))
        .Set("YSizeAbs", Px(listHeight))
        .Set("YMaxSizeAbs", Px(listHeight));
    Floating(list, 10);
    list.Add(VerticalBar(kScrollThickness));
    // Rows end where the bar begins (at the right edge while the bar is hidden).
    Control row = Make(Framework("ListBoxItem"), "templateItem", L.listRow);
    row.Set("XPositionAbs", "0")
        .Set("XSizeToControl", "vBar")
        .Set("XSizeAbs", "0")
        .Set("YPositionAbs", "0")
        .Set("YSizeAbs", Px(kRowHeight));
    list.Add(row);
    combo.Add(list);
    return combo;
  }

  Control NumericUpDown(const std::string& name, int x, int y, int width, int height) const {
    Control upDown = Make(Framework("NumericUpDown"), name, {}, x, y, width, height);
    constexpr int kStepper = 18;
    upDown.Add(Make(Framework("TextBox"), "textBox", L.textBox, 0, 0, width - kStepper, height));
    upDown.Add(Make(Framework("Button"), "buttonUp", L.spinUp, width - kStepper, 0, kStepper, height / 2));
    upDown.Add(Make(Framework("Button"), "buttonDown", L.spinDown, width - kStepper, height / 2, kStepper,
                    height - height / 2));
    return upDown;
  }

  // --- Labelled selectors ---------------------------------------------------------------

  enum class Kind { Combo, Number, Toggle, CC, Note };

  // A selector of the class "PresetEditor.Control." + className: its caption above its
  // control.
  Control Selector(const std::string& className, const std::string& name, Kind kind, int x, int y, int width) const {
    Control selector = Make(Editor("Control." + className), name, {}, x, y, width, kSelectorHeight);
    selector.Add(Label("controlNameLabel", L.caption, 0, 0, width, kCaptionHeight));
    const int top = kCaptionHeight + 2;
    switch (kind) {
    case Kind::Combo:
      selector.Add(ComboBox("comboBox", 0, top, width, kFieldHeight));
      break;
    case Kind::Number:
      selector.Add(NumericUpDown("parameterControl", 0, top, width, kFieldHeight));
      break;
    case Kind::Toggle: {
      Control toggle = Make(Framework("Button"), "parameterControl", L.toggle, 0, top, 44, kFieldHeight);
      toggle.AddParam("AUTO_VALUE_SET", "Boolean", "True");
      selector.Add(toggle);
      break;
    }
    case Kind::CC: {
      Control cc = Make(Editor("Control.CCSelector"), "parameterControl", {}, 0, top, width, kFieldHeight);
      cc.Add(NumericUpDown("numericUpDown", 0, 0, 64, kFieldHeight));
      cc.Add(Label("label", L.body, 72, 0, width - 72, kFieldHeight));
      selector.Add(cc);
      break;
    }
    case Kind::Note: {
      Control note = Make(Editor("Control.NoteSelector"), "parameterControl", {}, 0, top, width, kFieldHeight);
      note.Add(Label("noteNameLabel", L.valueRight, 0, 0, 26, kFieldHeight));
      note.Add(NumericUpDown("numericUpDown", 32, 0, 64, kFieldHeight));
      note.Add(Label("octaveNameLabel", L.caption, 102, 0, width - 102, kFieldHeight));
      selector.Add(note);
      break;
    }
    }
    return selector;
  }

  // --- The main window ------------------------------------------------------------------

  Control MainMenu() const {
    Control menu = Make(Framework("MainMenu"), "mainMenu", L.menuBar, 0, 0, kWindowWidth, kMenuBarHeight);
    Control title = Make(Framework("ComboMenu"), "templateMenu", L.menuTitle, 4, 0, 44, kMenuBarHeight);
    title.Set("TextOverflowXType", "Expand");
    Control popup = Make(Framework("PopupMenu"), "popupMenu", L.popupMenu);
    popup.Set("XPositionAbs", "0")
        .Set("YPositionToControl", "Parent")
        .SetFloat("YPositionRel", 1)
        .Set("XSizeAbs", Px(240))
        .Set("YSizeAbs", Px(120));
    Floating(popup, 20);
    Control row = Make(Framework("MenuItem"), "templateItem", L.menuRow);
    row.Set("XPositionAbs", "0")
        .Set("XSizeToControl", "Client")
        .SetFloat("XSizeRel", 1)
        .Set("XSizeAbs", "0")
        .Set("YPositionAbs", "0")
        .Set("YSizeAbs", Px(24));
    Control hotKey = Make(Framework("Label"), "hotKeyLabel", L.bodyRight);
    hotKey.SetFloat("XPositionRel", 1)
        .SetFloat("XPlacementAnchor", 1)
        .Set("XPositionAbs", Px(-12))
        .Set("XSizeAbs", Px(88))
        .Set("YPositionAbs", "0")
        .Set("YSizeToControl", "Client")
        .SetFloat("YSizeRel", 1)
        .Set("YSizeAbs", "0");
    Control check = Make(Framework("Button"), "checkBox", L.menuCheck);
    check.Set("XPositionAbs", Px(8))
        .SetFloat("YPositionRel", 0.5)
        .SetFloat("YPlacementAnchor", 0.5)
        .Set("XSizeAbs", Px(16))
        .Set("YSizeAbs", Px(16));
    row.Add(hotKey);
    row.Add(check);
    popup.Add(row);
    title.Add(popup);
    menu.Add(title);
    return menu;
  }

  Control DeviceView() const {
    const int height = kWindowHeight - kMenuBarHeight;
    Control view =
        Make(Editor("MainControl.DeviceView"), "viewDevice", L.header, 0, kMenuBarHeight, kWindowWidth, height);
    AddCornerAndBars(view, kFrameScrollThickness);

    Control tabs = Make(Editor("MainControl.DeviceView.TabControl"), "tabControl", {}, 0, 0, kWindowWidth, height);
    Control buttons =
        Make(Editor("MainControl.DeviceView.TabControl.ButtonHolder"), "buttonHolder", {}, 440, 9, 320, 30);
    buttons.Add(TabButton("userPresetEditor", L.tab, 0, 160, 30, true));
    buttons.Add(TabButton("globalPresetEditor", L.tab, 160, 160, 30, false));
    const int pageTop = kHeaderHeight + 1;
    Control pages = Make(Editor("MainControl.DeviceView.TabControl.PageHolder"), "pageHolder", {}, 0, pageTop,
                         kWindowWidth, height - pageTop);
    // Pages in the order of their tab buttons.
    Control user = Make(Editor("UserPresetEditorView"), "userPresetEditor", {}, 0, 0, kWindowWidth, height - pageTop);
    user.Add(ControllerPicture());
    user.Add(EditPanel());
    pages.Add(user);
    pages.Add(GlobalPage());
    tabs.Add(buttons);
    tabs.Add(pages);
    view.Add(tabs);

    view.Add(Make(Framework("Label"), "companyLogo", L.logo, 20, 11, 180, 26));
    Control productLogo = Make(Framework("Label"), "productLogo", L.productLogo, 210, 6, 140, 36);
    view.Add(Hidden(productLogo));
    view.Add(Label("deviceSelectionLabel", L.bodyRight, 800, 13, 180, 22));
    view.Add(ComboBox("deviceSelectionComboBox", 990, 12, 190, kFieldHeight, 3));
    return view;
  }

  // --- The controller picture -----------------------------------------------------------

  // One element of the picture: its button over its two labels.
  Control Element(const std::string& className, const std::string& name, const std::string& lookList, int x, int y,
                  int width, int buttonX, int buttonWidth, int buttonHeight,
                  const std::array<const char*, 2>& labels) const {
    constexpr int kLine = 13;
    Control element = Make(Editor(className), name, {}, x, y, width, buttonHeight + 2 * kLine);
    Control button = Make(Framework("Button"), "button", lookList, buttonX, 0, buttonWidth, buttonHeight);
    button.AddParam("USE_PARENT_TOOLTIP", "Boolean", "True");
    element.Add(button);
    element.Add(Label(labels[0], L.captionCentre, 0, buttonHeight, width, kLine));
    element.Add(Label(labels[1], L.captionCentre, 0, buttonHeight + kLine, width, kLine));
    return element;
  }

  Control ControllerPicture() const {
    using namespace PictureGeometry;
    Control picture = Make(Editor("UserPresetEditor"), "controlNavigation", {}, 20, 10, kWidth, kHeight);
    picture.Add(Label("productBodyImage", L.chassis, 0, 0, kWidth, kHeight));
    picture.Add(
        Make(Editor("Control.ProductLogoLabels"), "productLogosMultiLookLabel", L.modelPicture, 0, 0, kWidth, kHeight));

    // The left column, under the name plate: the clock, the sustain input, the wheels.
    Control clock = Make(Editor("UserPresetTempoGroup"), "clockGroup", L.well, kPlateX, 64, 132, 164);
    clock.Add(Label("tempoLabel", L.caption, 10, 10, 112, kCaptionHeight));
    clock.Add(NumericUpDown("tempo", 10, 28, 112, kFieldHeight));
    clock.Add(Selector("LabeledClockSourceSelector", "clockSource", Kind::Combo, 10, 62, 112));
    clock.Add(Selector("LabeledTimeDivisionSelector", "timeDivision", Kind::Combo, 10, 112, 112));
    picture.Add(clock);

    Control sustain = Make(Editor("UserSustainGroup"), "sustainGroup", L.well, kPlateX, 240, 132, 104);
    Control jack = Make(Editor("UserSustain"), "sustain1", {}, 46, 14, 40, 40);
    Control jackButton = Make(Framework("Button"), "button", L.jack, 0, 0, 40, 40);
    jackButton.AddParam("USE_PARENT_TOOLTIP", "Boolean", "True");
    jack.Add(jackButton);
    sustain.Add(jack);
    sustain.Add(Label("labelSustain", L.captionCentre, 0, 62, 132, 20));
    picture.Add(sustain);

    Control wheels = Make(Editor("UserWheelGroup"), "wheelGroup", L.well, kPlateX, kKeybedY, 132, 108);
    Control wheel = Make(Editor("UserWheelButton"), "wheel", {}, 28, 2, 76, 104);
    wheel.Add(Make(Framework("Button"), "button", L.wheels, 0, 0, 76, 104));
    wheels.Add(wheel);
    picture.Add(wheels);

    // The middle: knobs over faders over buttons, each element over its two labels.
    Control knobs = Make(Editor("UserPresetKnobGroup"), "knobGroup", L.well, kKeybedX, 16, 464, 84);
    for (int k = 0; k < 8; ++k) {
      knobs.Add(Element("UserKnob", "knob" + std::to_string(k + 1), L.knob, 8 + k * 56, 7, 56, 6, 44, 44,
                        {"ccLabel", "channelLabel"}));
    }
    picture.Add(knobs);
    // Their wells are the model's: the 25-key one shows the first fader and button alone.
    Control faders = Make(Editor("UserPresetSliderGroup"), "sliderGroup", L.transparent, kFaderWell.x, kFaderWell.y,
                          kFaderWell.width, kFaderWell.height);
    for (int k = 0; k < 9; ++k) {
      faders.Add(Element("UserSlider", "slider" + std::to_string(k + 1), L.fader, 8 + k * 50, 5, 48, 8, 32, 128,
                         {"ccLabel", "channelLabel"}));
    }
    picture.Add(faders);
    Control buttons = Make(Editor("UserPresetButtonGroup"), "buttonGroup", L.transparent, kButtonWell.x, kButtonWell.y,
                           kButtonWell.width, kButtonWell.height);
    for (int k = 0; k < 9; ++k) {
      buttons.Add(Element("CommonButton", "button" + std::to_string(k + 1), L.hardwareButton, 8 + k * 50, 5, 48, 4, 40,
                          24, {"messageLabel", "channelLabel"}));
    }
    picture.Add(buttons);

    // The right: two banks of eight pads, centred beside the middle's rows.
    for (int bank = 0; bank < 2; ++bank) {
      const int x = 644 + bank * 258;
      const std::string number = std::to_string(bank + 1);
      picture.Add(Label("padBank" + number + "Label", L.caption, x + 2, 82, 240, 14));
      Control pads = Make(Editor("UserPresetPadGroup"), "padGroup" + number, L.well, x, 100, 242, 178);
      for (int k = 0; k < 8; ++k) {
        pads.Add(Element("UserPad", "pad" + std::to_string(k + 1), L.pad, 6 + k % 4 * 58, 6 + k / 4 * 84, 56, 0, 56, 56,
                         {"messageLabel", "channelLabel"}));
      }
      picture.Add(pads);
    }

    // The keys, drawn by the model's look below, under a button of the keybeds' size.
    const int keybedWidth = Keybed::kWidth;
    Control keyboardGroup =
        Make(Editor("UserKeyboardGroup"), "keyboardGroup", {}, kKeybedX - 2, kKeybedY - 2, keybedWidth + 4, 112);
    Control keyboard = Make(Editor("UserKeyboard"), "keyboard1", {}, 2, 2, keybedWidth, 108);
    keyboard.Add(Make(Framework("Button"), "button", L.keyboard, 0, 0, keybedWidth, 108));
    keyboardGroup.Add(keyboard);
    picture.Add(keyboardGroup);
    return picture;
  }

  // --- The edit pages -------------------------------------------------------------------

  // A page of the edit panel: hidden until the picture shows it, headed by its label.
  Control Page(const std::string& className, const std::string& name) const {
    Control page = Make(Editor(className), name, {}, 0, 0, 1160, kEditHeight);
    Hidden(page);
    Control header = Label("label", L.header1, 20, 14, 400, 22);
    page.Add(Bold(header));
    return page;
  }

  // Sub-tabs and their pages (the keyboard page).
  Control KeyboardPage() const {
    Control page = Page("KeyboardUserPresetEditPanel", "keyboard");
    Hidden(*page.Find("label"));
    Control tabs = Make(Editor("KeyboardUserPresetEditPanel.TabControl"), "tabControl", {}, 0, 0, 1160, kEditHeight);
    Control buttons =
        Make(Editor("KeyboardUserPresetEditPanel.TabControl.ButtonHolder"), "buttonHolder", {}, 20, 14, 300, 26);
    Control pages = Make(Editor("KeyboardUserPresetEditPanel.TabControl.PageHolder"), "pageHolder", {}, 0, 52, 1160,
                         kEditHeight - 52);
    const char* const names[] = {"arp", "chord", "scale"};
    for (int i = 0; i < 3; ++i) {
      buttons.Add(TabButton(names[i], L.subTab, i * 100, 100, 26, i == 0));
    }
    Control arp = Make(Editor("ArpUserPresetEditPanel"), "arp", {}, 0, 0, 1160, kEditHeight - 52);
    arp.Add(Selector("LabeledArpOctaveSelector", "octave", Kind::Combo, 20, 0, 120));
    arp.Add(Selector("LabeledArpLatchSelector", "latch", Kind::Toggle, 156, 0, 80));
    arp.Add(Selector("LabeledArpTypeSelector", "type", Kind::Combo, 252, 0, 150));
    arp.Add(Selector("LabeledArpGateSelector", "gate", Kind::Combo, 418, 0, 120));
    arp.Add(Selector("LabeledArpSwingSelector", "swing", Kind::Combo, 554, 0, 120));
    Control chord = Make(Editor("ChordModeUserPresetEditPanel"), "chord", {}, 0, 0, 1160, kEditHeight - 52);
    chord.Add(Selector("LabeledChordModeSelector", "mode", Kind::Combo, 20, 0, 140));
    chord.Add(Selector("LabeledRootNoteSelector", "smartRootNote", Kind::Combo, 172, 0, 140));
    chord.Add(Selector("LabeledChordVoicingsSelector", "voicings", Kind::Combo, 324, 0, 140));
    // The custom mode's notes take the places of the root note and the voicing.
    for (int i = 0; i < 6; ++i) {
      Control note = Selector("LabeledChordNoteSelector", "userChordNote" + std::to_string(i + 1), Kind::Combo,
                              172 + i * 152, 0, 140);
      chord.Add(Hidden(note));
    }
    Control scale = Make(Editor("ScaleModeUserPresetEditPanel"), "scale", {}, 0, 0, 1160, kEditHeight - 52);
    scale.Add(Selector("LabeledRootNoteSelector", "rootNote", Kind::Combo, 20, 0, 120));
    scale.Add(Selector("LabeledScaleModeScaleSelector", "scale", Kind::Combo, 156, 0, 180));
    pages.Add(arp);
    pages.Add(chord);
    pages.Add(scale);
    tabs.Add(buttons);
    tabs.Add(pages);
    page.Add(tabs);
    return page;
  }

  // A wheel's panel: its own label over its selectors.
  Control WheelPanel(const std::string& className, const std::string& name, int x, int width, bool modWheel) const {
    Control panel = Make(Editor(className), name, {}, x, 52, width, kSelectorHeight + 26);
    panel.Add(Label("label", L.body, 0, 0, 300, 20));
    constexpr int kTop = 26;
    panel.Add(Selector("LabeledMidiChannelSelector", "midiChannel", Kind::Combo, 0, kTop, 150));
    int at = 166;
    if (modWheel) {
      panel.Add(Selector("LabeledCCSelector", "cc", Kind::CC, at, kTop, 220));
      at += 236;
    }
    panel.Add(Selector("LabeledMinSelector", "min", Kind::Number, at, kTop, 100));
    panel.Add(Selector("LabeledMaxSelector", "max", Kind::Number, at + 116, kTop, 100));
    return panel;
  }

  Control EditPanel() const {
    Control panel = Make(Editor("UserPresetEditPanel"), "editPanel", L.card, 20, 514, 1160, kEditHeight);
    constexpr int kTop = 52;

    Control button = Page("CommonButtonEditPanel", "button");
    button.Add(Selector("LabeledMidiChannelSelector", "midiChannel", Kind::Combo, 20, kTop, 150));
    button.Add(Selector("LabeledButtonModeSelector", "mode", Kind::Combo, 186, kTop, 150));
    // Only the number the mode uses is shown; the three share a place.
    button.Add(Selector("LabeledCCSelector", "cc", Kind::CC, 352, kTop, 220));
    Control program = Selector("LabeledProgramSelector", "program", Kind::Number, 352, kTop, 100);
    button.Add(Hidden(program));
    Control note = Selector("LabeledNoteSelector", "note", Kind::Note, 352, kTop, 160);
    button.Add(Hidden(note));
    button.Add(Selector("LabeledPressedSelector", "pressed", Kind::Number, 588, kTop, 100));
    button.Add(Selector("LabeledReleasedSelector", "released", Kind::Number, 704, kTop, 100));
    panel.Add(button);

    panel.Add(KeyboardPage());

    Control knob = Page("KnobUserPresetEditPanel", "knob");
    knob.Add(Selector("LabeledMidiChannelSelector", "midiChannel", Kind::Combo, 20, kTop, 150));
    knob.Add(Selector("LabeledCCSelector", "cc", Kind::CC, 186, kTop, 220));
    panel.Add(knob);

    Control pad = Page("PadUserPresetEditPanel", "pad");
    pad.Add(Selector("LabeledMidiChannelSelector", "midiChannel", Kind::Combo, 20, kTop, 150));
    pad.Add(Selector("LabeledNoteSelector", "note", Kind::Note, 186, kTop, 160));
    panel.Add(pad);

    Control slider = Page("SliderUserPresetEditPanel", "slider");
    slider.Add(Selector("LabeledMidiChannelSelector", "midiChannel", Kind::Combo, 20, kTop, 150));
    slider.Add(Selector("LabeledCCSelector", "cc", Kind::CC, 186, kTop, 220));
    panel.Add(slider);

    Control sustain = Page("SustainUserPresetEditPanel", "sustain");
    sustain.Add(Selector("LabeledMidiChannelSelector", "midiChannel", Kind::Combo, 20, kTop, 150));
    sustain.Add(Selector("LabeledCCSelector", "cc", Kind::CC, 186, kTop, 220));
    sustain.Add(Selector("LabeledLatchingSelector", "latch", Kind::Toggle, 422, kTop, 80));
    panel.Add(sustain);

    Control wheels = Page("WheelsUserPresetEditPanel", "wheels");
    wheels.Add(WheelPanel("PitchBendUserPresetEditPanel", "pitchBendWheel", 20, 382, false));
    wheels.Add(WheelPanel("ModWheelUserPresetEditPanel", "modWheel", 442, 618, true));
    panel.Add(wheels);
    return panel;
  }

  Control GlobalPage() const {
    Control page = Make(Editor("GlobalPresetEditor"), "globalPresetEditor", L.card, 20, 10, 1160, 755);
    Hidden(page);
    Control header = Label("label", L.header1, 32, 24, 500, 26);
    page.Add(Bold(header));
    // The settings on the left, the model's plate and picture on the right, the block
    // centred in the page's height.
    constexpr int kTop = 200;
    page.Add(Selector("LabeledGlobalMidiChannelSelector", "midiChannel", Kind::Combo, 64, kTop, 240));
    page.Add(Selector("LabeledProgramSelector", "program", Kind::Number, 64, kTop + 72, 120));
    page.Add(Selector("LabeledKeybedSensitivity", "keyboardSensitivity", Kind::Combo, 64, kTop + 144, 240));
    page.Add(Selector("LabeledPadSensitivity", "padSensitivity", Kind::Combo, 64, kTop + 216, 240));
    page.Add(Selector("LabeledDawSettingSelector", "dawSetting", Kind::Combo, 64, kTop + 288, 240));
    page.Add(
        Make(Editor("Control.ProductLogoLabels"), "productLogosMultiLookLabel", L.modelPlate, 420, kTop - 8, 680, 80));
    page.Add(Label("productImageLabel", L.productImage, 420, kTop + 92, 680, 248));
    page.Add(Label("bottomColorLabel", L.accentStrip, 32, 723, 1096, 3));
    return page;
  }

  Control MainControl() const {
    Control main =
        Make(Editor("MainControl"), "mainControl", {}, kWindowOrigin, kWindowOrigin, kWindowWidth, kWindowHeight);
    // A fixed-size window: its minimum is its maximum.
    main.Set("XMinSizeAbs", Px(kWindowWidth))
        .Set("YMinSizeAbs", Px(kWindowHeight))
        .Set("XMaxSizeAbs", Px(kWindowWidth))
        .Set("YMaxSizeAbs", Px(kWindowHeight));
    main.Add(Label("backgroundLabel", L.background, 0, 0, kWindowWidth, kWindowHeight));
    main.Add(DeviceView());
    main.Add(MainMenu());
    return main;
  }

  // --- Dialogs and the rest -------------------------------------------------------------

  // A dialog centred over the main window.
  Control Dialog(const std::string& className, const std::string& name, int width, int height) const {
    return Make(Editor(className), name, L.dialog, kWindowOrigin + (kWindowWidth - width) / 2,
                kWindowOrigin + (kWindowHeight - height) / 2, width, height);
  }

  // The slot list opens below its box inside the dialog: the dialog is tall enough for all
  // eleven rows (RAM, Preset 1 to 10) and the list covers the hint and the buttons while open.
  Control TransferDialog(const std::string& className, const std::string& name, const std::string& action) const {
    constexpr int kSlots = 11;
    constexpr int kSlotTop = 58;
    constexpr int kSlotHeight = 26;
    constexpr int kListBottom = kSlotTop + kSlotHeight + 2 + kSlots * kRowHeight + 6;
    constexpr int kHeight = kListBottom + 8;
    constexpr int kButtonTop = kHeight - 20 - 30;
    Control dialog = Dialog(className, name, 380, kHeight);
    Control header = Label("labelHeader", L.header1, 24, 20, 332, 22);
    dialog.Add(Bold(header));
    Control slot = Make(Editor("Control.PresetSlotCombobox"), "presetSlot", {}, 24, kSlotTop, 332, kSlotHeight);
    slot.Add(ComboBox("comboBox", 0, 0, 200, kSlotHeight, kSlots));
    dialog.Add(slot);
    dialog.Add(Label("labelHint", L.caption, 24, kSlotTop + kSlotHeight + 14, 332, 18));
    dialog.Add(Make(Framework("Button"), action, L.primaryButton, 148, kButtonTop, 100, 30));
    dialog.Add(Make(Framework("Button"), "buttonClose", L.pushButton, 256, kButtonTop, 100, 30));
    return dialog;
  }

  Control AboutDialog() const {
    Control dialog = Dialog("DialogAbout", "dialogAbout", 420, 240);
    dialog.Add(Label("labelLogo", L.logo, 24, 22, 200, 26));
    Control product = Label("labelProduct", L.body, 24, 66, 372, 22);
    dialog.Add(Bold(product));
    Control copyright = Label("labelCopyright", L.caption, 24, 94, 372, 60);
    copyright.Set("TextOverflowXType", "Wrap");
    dialog.Add(copyright);
    // OK first: the first focus and Enter close the box rather than open the support page.
    dialog.Add(Make(Framework("Button"), "buttonOK", L.primaryButton, 304, 186, 92, 30));
    dialog.Add(Make(Framework("Button"), "buttonSupport", L.pushButton, 24, 186, 140, 30));
    return dialog;
  }

  // The message box: the style's icon beside its text, over the buttons of its style. The
  // framework sizes the box to its text and shows and places the buttons; the skin gives the
  // smallest box and the places it measures: the margins and the icon, where the text
  // begins (its panel scrolls a text too tall for the screen), the buttons' size and the gap
  // between them (the widest row, YES NO CANCEL, at the bottom right; the other buttons
  // stand in those places).
  Control MessageBoxDialog() const {
    constexpr int kWidth = 360;
    constexpr int kHeight = 126;
    constexpr int kMargin = 20;
    constexpr int kIcon = 32;
    constexpr int kTextX = kMargin + kIcon + 16;
    constexpr int kButtonWidth = 88;
    constexpr int kButtonHeight = 30;
    constexpr int kGap = 8;
    Control dialog = Make(Framework("Panel"), "dialogMessageBox", L.dialog, 0, 0, kWidth, kHeight);
    dialog.Add(Make(Framework("Label"), "labelIcon", L.messageIcon, kMargin, kMargin, kIcon, kIcon));
    Control text = Make(Framework("Panel"), "panelText", {}, kTextX, kMargin, kWidth - kTextX - kMargin, kIcon);
    Control label = Label("labelText", L.body, 0, 0, kWidth - kTextX - kMargin, kIcon);
    text.Add(label.Set("TextOverflowXType", "Wrap"));
    text.Add(VerticalBar(kScrollThickness));
    dialog.Add(text);
    const int y = kHeight - kMargin - kButtonHeight;
    const int third = kWidth - kMargin - kButtonWidth;
    const int second = third - kGap - kButtonWidth;
    const int first = second - kGap - kButtonWidth;
    const struct {
      const char* name;
      int x;
    } buttons[] = {{"buttonYes", first},    {"buttonNo", second},    {"buttonCancel", third}, {"buttonAbort", first},
                   {"buttonRetry", second}, {"buttonIgnore", third}, {"buttonOK", third}};
    for (const auto& button : buttons) {
      Control made = Make(Framework("Button"), button.name, L.pushButton, button.x, y, kButtonWidth, kButtonHeight);
      dialog.Add(Hidden(made));
    }
    return dialog;
  }

  Control ToolTip() const {
    Control tip = Make(Framework("ToolTip"), "toolTip", L.toolTip, 0, 0, 100, 20);
    if (mScale == 2) {
      tip.Set("FontName", "Arial").Set("FontSize", "15.75");
    }
    tip.Set("TextOverflowXType", "Expand").Set("TextOverflowYType", "Expand");
    return Floating(tip, 1000);
  }

  Control FileDropper() const { return Make(Framework("FileDropper"), "fileDropper1", L.fileDropper, 0, 0, 32, 32); }

  Skin Build() const {
    Skin skin;
    skin.name = mScale == 2 ? "HighDPI" : "Skin1";
    skin.fontName = "Arial";
    skin.fontSize = mScale == 2 ? "15.75" : "8.25";
    skin.fontStyle = "0";
    skin.controls.push_back(MainControl());
    skin.controls.push_back(FileDropper());
    skin.controls.push_back(TransferDialog("Dialog.SendPresetToHardware", "dialogSendPreset", "send"));
    skin.controls.push_back(
        TransferDialog("Dialog.RetrievePresetFromHardware", "dialogRetrievePresetFromHardware", "getButton"));
    skin.controls.push_back(AboutDialog());
    skin.controls.push_back(MessageBoxDialog());
    skin.controls.push_back(ToolTip());
    return skin;
  }

private:
  const LookLists& L;
  int mScale;
};

} // namespace

SkinDocument BuildSkinDocument() {
  SkinDocument document;
  const LookLists high = AddLooks(document, 2);
  const LookLists standard = AddLooks(document, 1);
  document.skins.push_back(Tree(high).Build());
  document.skins.push_back(Tree(standard).Build());
  return document;
}

} // namespace QZ::SkinArt
